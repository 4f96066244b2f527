// Feeds snapshots from a statement object.
//
// A snapshot asks its provider for records; the provider runs the snapshot's
// command text on its statement (DataSet), fetches every row, copies the
// rows and column names, and closes the statement again, so nothing of the
// result stays tied to the statement, its transaction or its connection.
// A command text is accepted only with poAllowCommandText among the
// options; without one the statement's own text is run.
#pragma once

#include <cstdint>
#include <string>

#include "app/row_set.h"

namespace veltrix {

class TIBQuery;

enum TProviderOption : uint8_t { poAllowCommandText = 1 };
using TProviderOptions = uint8_t;

class TDataSetProvider {
 public:
  TIBQuery* DataSet() const { return dataset_; }
  // REQUIRES: the statement outlives its use by this provider.
  void SetDataSet(TIBQuery* dataset) { dataset_ = dataset; }
  TProviderOptions Options() const { return options_; }
  void SetOptions(TProviderOptions options) { options_ = options; }

  // All rows of `command_text` (or of the statement's text when empty).
  // Raises EIBError with the library's message when the statement fails,
  // and when no statement is set or a command text is given without
  // poAllowCommandText. The statement is closed afterwards in every case.
  TRowSet GetRecords(const std::string& command_text);

 private:
  TIBQuery* dataset_ = nullptr;
  TProviderOptions options_ = 0;
};

}  // namespace veltrix
