#include "app/ib_transaction.h"

#include "app/fb_status.h"
#include "app/ib_database.h"
#include "app/ib_error.h"
#include "app/ib_query.h"
#include "app/latin1_text.h"

namespace veltrix {

TIBTransaction::TIBTransaction() = default;

TIBTransaction::~TIBTransaction() {
  if (InTransaction()) {
    try {
      End(default_action_);
    } catch (const EIBError&) {
      // Nobody is left to report to; the server undoes the work when the
      // attachment closes.
    }
  }
  if (database_) database_->RemoveTransaction(this);
}

void TIBTransaction::SetDefaultDatabase(TIBDatabase* database) {
  if (database == database_) return;
  if (InTransaction()) throw EIBError("Cannot change the database of an active transaction");
  if (database_) database_->RemoveTransaction(this);
  database_ = database;
  if (database_) database_->AddTransaction(this);
}

std::string TIBTransaction::BuildTpb() const {
  std::string tpb(1, static_cast<char>(isc_tpb_version3));
  bool access_given = false;
  for (const std::string& param : params_) {
    std::string name = UpperLatin1(param);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    if (name.rfind("ISC_TPB_", 0) == 0) name.erase(0, 8);
    if (name.empty()) continue;
    char item = 0;
    if (name == "READ_COMMITTED") item = isc_tpb_read_committed;
    else if (name == "CONCURRENCY") item = isc_tpb_concurrency;
    else if (name == "CONSISTENCY") item = isc_tpb_consistency;
    else if (name == "REC_VERSION") item = isc_tpb_rec_version;
    else if (name == "NO_REC_VERSION") item = isc_tpb_no_rec_version;
    else if (name == "NOWAIT") item = isc_tpb_nowait;
    else if (name == "WAIT") item = isc_tpb_wait;
    else if (name == "READ") item = isc_tpb_read;
    else if (name == "WRITE") item = isc_tpb_write;
    else throw EIBError("Unknown transaction parameter: " + param);
    if (item == isc_tpb_read || item == isc_tpb_write) access_given = true;
    tpb += item;
  }
  if (!access_given) tpb += static_cast<char>(isc_tpb_write);
  return tpb;
}

void TIBTransaction::StartTransaction() {
  if (InTransaction()) throw EIBError("Transaction is active");
  if (database_ == nullptr) throw EIBError("Database not assigned");
  if (!database_->Connected()) throw EIBError("Database not open");
  const std::string tpb = BuildTpb();
  ISC_STATUS_ARRAY status;
  FbHandle handle = 0;
  isc_start_transaction(status, &handle, 1, database_->Handle(), static_cast<unsigned short>(tpb.size()),
                        tpb.data());
  CheckStatus(status);
  handle_ = handle;
}

void TIBTransaction::Commit() {
  if (!InTransaction()) throw EIBError("Transaction is not active");
  End(taCommit);
}

void TIBTransaction::Rollback() {
  if (!InTransaction()) throw EIBError("Transaction is not active");
  End(taRollback);
}

void TIBTransaction::CloseQueries() {
  if (database_ == nullptr) return;
  for (TIBQuery* query : database_->queries_) {
    if (query->EffectiveTransaction() == this) query->Close();
  }
}

void TIBTransaction::End(TTransactionAction action) {
  CloseQueries();
  ISC_STATUS_ARRAY status;
  if (action == taCommit) {
    isc_commit_transaction(status, &handle_);
  } else {
    isc_rollback_transaction(status, &handle_);
  }
  CheckStatus(status);
  handle_ = 0;
}

}  // namespace veltrix
