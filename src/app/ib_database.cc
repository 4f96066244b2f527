#include "app/ib_database.h"

#include <algorithm>
#include <cstdlib>

#include "app/fb_status.h"
#include "app/ib_error.h"
#include "app/ib_query.h"
#include "app/ib_transaction.h"
#include "app/latin1_text.h"

namespace veltrix {

namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// The value of an environment variable, empty when unset.
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void AppendItem(std::string& dpb, char item, const std::string& value) {
  if (value.size() > 255) throw EIBError("Database parameter too long: " + value.substr(0, 32) + "...");
  dpb += item;
  dpb += static_cast<char>(value.size());
  dpb += value;
}

void AppendNumber(std::string& dpb, char item, int value) {
  dpb += item;
  dpb += static_cast<char>(4);
  for (int i = 0; i < 4; ++i) dpb += static_cast<char>((static_cast<unsigned>(value) >> (8 * i)) & 0xFF);
}

}  // namespace

TIBDatabase::TIBDatabase() = default;

TIBDatabase::~TIBDatabase() {
  try {
    Close();
  } catch (const EIBError&) {
    // Nobody is left to report to.
  }
  for (TIBQuery* query : queries_) query->DatabaseGone();
  for (TIBTransaction* transaction : transactions_) transaction->database_ = nullptr;
}

void TIBDatabase::SetDatabaseName(const std::string& name) {
  if (Connected()) throw EIBError("Cannot change the database name while connected");
  database_name_ = name;
}

void TIBDatabase::SetParams(std::vector<std::string> params) {
  if (Connected()) throw EIBError("Cannot change the database parameters while connected");
  params_ = std::move(params);
}

void TIBDatabase::SetDefaultTransaction(TIBTransaction* transaction) {
  default_transaction_ = transaction;
  if (transaction && transaction->DefaultDatabase() == nullptr) transaction->SetDefaultDatabase(this);
}

void TIBDatabase::SetConnected(bool connected) {
  if (connected) {
    Open();
  } else {
    Close();
  }
}

std::string TIBDatabase::BuildDpb(bool creating) const {
  std::string user, password, charset, role;
  for (const std::string& param : params_) {
    const size_t eq = param.find('=');
    std::string name = UpperLatin1(Trim(param.substr(0, eq)));
    const std::string value = eq == std::string::npos ? "" : Trim(param.substr(eq + 1));
    if (name.rfind("ISC_DPB_", 0) == 0) name.erase(0, 8);
    if (name.empty()) continue;
    if (name == "USER_NAME") {
      user = value;
    } else if (name == "PASSWORD") {
      password = value;
    } else if (name == "LC_CTYPE") {
      charset = value;
    } else if (name == "SQL_ROLE_NAME") {
      role = value;
    } else {
      throw EIBError("Unknown database parameter: " + Trim(param));
    }
  }
  if (const std::string env = Environment("ISC_USER"); !env.empty()) user = env;
  if (const std::string env = Environment("ISC_PASSWORD"); !env.empty()) password = env;

  std::string dpb(1, static_cast<char>(isc_dpb_version1));
  if (!user.empty()) AppendItem(dpb, isc_dpb_user_name, user);
  if (!password.empty()) AppendItem(dpb, isc_dpb_password, password);
  if (!charset.empty()) AppendItem(dpb, isc_dpb_lc_ctype, charset);
  if (!role.empty()) AppendItem(dpb, isc_dpb_sql_role_name, role);
  if (creating) {
    AppendNumber(dpb, isc_dpb_sql_dialect, sql_dialect_);
    if (!charset.empty()) AppendItem(dpb, isc_dpb_set_db_charset, charset);
  }
  return dpb;
}

void TIBDatabase::Open() {
  if (Connected()) return;
  const std::string dpb = BuildDpb(false);
  ISC_STATUS_ARRAY status;
  FbHandle handle = 0;
  isc_attach_database(status, 0, database_name_.c_str(), &handle, static_cast<short>(dpb.size()), dpb.data());
  CheckStatus(status);
  handle_ = handle;
}

void TIBDatabase::CreateDatabase() {
  if (Connected()) throw EIBError("Cannot create a database while connected");
  const std::string dpb = BuildDpb(true);
  ISC_STATUS_ARRAY status;
  FbHandle handle = 0;
  isc_create_database(status, 0, database_name_.c_str(), &handle, static_cast<short>(dpb.size()), dpb.data(), 0);
  CheckStatus(status);
  handle_ = handle;
}

void TIBDatabase::Close() {
  if (!Connected()) return;
  std::string error;
  for (TIBQuery* query : queries_) query->ReleaseHandle();
  for (TIBTransaction* transaction : transactions_) {
    if (!transaction->InTransaction()) continue;
    try {
      transaction->End(transaction->DefaultAction());
    } catch (const EIBError& e) {
      if (error.empty()) error = e.what();
      try {
        transaction->End(taRollback);
      } catch (const EIBError&) {
        transaction->Forget();
      }
    }
  }
  ISC_STATUS_ARRAY status;
  isc_detach_database(status, &handle_);
  if (Failed(status) && error.empty()) error = StatusText(status);
  // After a failed detach the attachment is unusable either way; its
  // transactions die with it.
  handle_ = 0;
  for (TIBTransaction* transaction : transactions_) transaction->Forget();
  if (!error.empty()) throw EIBError(error);
}

void TIBDatabase::ExecuteImmediate(const std::string& sql) {
  if (!Connected()) throw EIBError("Database not open");
  if (default_transaction_ == nullptr) throw EIBError("Transaction not assigned");
  if (!default_transaction_->InTransaction()) default_transaction_->StartTransaction();
  ISC_STATUS_ARRAY status;
  isc_dsql_execute_immediate(status, &handle_, default_transaction_->Handle(), 0, sql.c_str(),
                             static_cast<unsigned short>(sql_dialect_), nullptr);
  CheckStatus(status);
}

void TIBDatabase::AddQuery(TIBQuery* query) {
  if (std::find(queries_.begin(), queries_.end(), query) == queries_.end()) queries_.push_back(query);
}

void TIBDatabase::RemoveQuery(TIBQuery* query) { std::erase(queries_, query); }

void TIBDatabase::AddTransaction(TIBTransaction* transaction) {
  if (std::find(transactions_.begin(), transactions_.end(), transaction) == transactions_.end())
    transactions_.push_back(transaction);
}

void TIBDatabase::RemoveTransaction(TIBTransaction* transaction) {
  std::erase(transactions_, transaction);
  if (default_transaction_ == transaction) default_transaction_ = nullptr;
  for (TIBQuery* query : queries_) query->TransactionGone(transaction);
}

}  // namespace veltrix
