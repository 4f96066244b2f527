#include "app/data_set_provider.h"

#include "app/ib_error.h"
#include "app/ib_query.h"

namespace veltrix {

TRowSet TDataSetProvider::GetRecords(const std::string& command_text) {
  if (dataset_ == nullptr) throw EIBError("Missing data provider or data packet");
  if (!command_text.empty() && (options_ & poAllowCommandText) == 0)
    throw EIBError("Provider does not allow a command text");
  dataset_->Close();
  if (!command_text.empty()) dataset_->SetSQL(command_text);
  try {
    dataset_->Open();
    dataset_->FetchAll();
  } catch (...) {
    dataset_->Close();
    throw;
  }
  TRowSet rows = dataset_->Rows();
  dataset_->Close();
  return rows;
}

}  // namespace veltrix
