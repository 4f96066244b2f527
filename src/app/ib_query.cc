#include "app/ib_query.h"

#include "app/ib_database.h"
#include "app/ib_error.h"
#include "app/ib_statement.h"
#include "app/ib_transaction.h"
#include "app/latin1_text.h"
#include "app/sql_params.h"

namespace veltrix {

namespace {

const TIBValue kNullValue;

}  // namespace

TIBQuery::TIBQuery() : statement_(std::make_unique<IBStatement>()) {}

TIBQuery::~TIBQuery() {
  ReleaseHandle();
  if (database_) database_->RemoveQuery(this);
}

void TIBQuery::SetDatabase(TIBDatabase* database) {
  if (database == database_) return;
  ReleaseHandle();
  if (database_) database_->RemoveQuery(this);
  database_ = database;
  if (database_) database_->AddQuery(this);
}

void TIBQuery::SetTransaction(TIBTransaction* transaction) {
  if (transaction == transaction_) return;
  Close();
  transaction_ = transaction;
}

void TIBQuery::SetSQL(const std::string& text) {
  Close();
  if (text == sql_) return;
  sql_ = text;
  ParsedSql parsed = ParseNamedParams(text);
  parsed_text_ = std::move(parsed.text);
  params_.clear();
  positions_.clear();
  for (const std::string& name : parsed.names) {
    size_t index = params_.size();
    for (size_t i = 0; i < params_.size(); ++i) {
      if (SameTextLatin1(params_[i].first, name)) {
        index = i;
        break;
      }
    }
    if (index == params_.size()) params_.emplace_back(name, TIBValue());
    positions_.push_back(index);
  }
}

TIBValue& TIBQuery::ParamByName(const std::string& name) {
  for (auto& param : params_) {
    if (SameTextLatin1(param.first, name)) return param.second;
  }
  throw EIBError("Parameter '" + name + "' not found");
}

TIBTransaction* TIBQuery::EffectiveTransaction() const {
  if (transaction_) return transaction_;
  return database_ ? database_->DefaultTransaction() : nullptr;
}

TIBTransaction& TIBQuery::ReadyTransaction() {
  if (database_ == nullptr) throw EIBError("Database not assigned");
  if (!database_->Connected()) throw EIBError("Database not open");
  TIBTransaction* transaction = EffectiveTransaction();
  if (transaction == nullptr) throw EIBError("Transaction not assigned");
  if (!transaction->InTransaction()) transaction->StartTransaction();
  return *transaction;
}

bool TIBQuery::Prepared() const { return statement_->Prepared() && prepared_text_ == sql_; }

void TIBQuery::Prepare() {
  TIBTransaction& transaction = ReadyTransaction();
  if (Prepared()) return;
  prepared_text_.clear();
  ++prepare_count_;
  statement_->Prepare(database_->Handle(), transaction.Handle(), parsed_text_,
                      static_cast<unsigned short>(database_->SQLDialect()));
  prepared_text_ = sql_;
}

void TIBQuery::Execute(bool keep_cursor) {
  Close();
  Prepare();
  TIBTransaction& transaction = ReadyTransaction();
  std::vector<const TIBValue*> inputs;
  inputs.reserve(positions_.size());
  for (size_t index : positions_) inputs.push_back(&params_[index].second);
  std::vector<TIBValue> row;
  const bool got_row = statement_->Execute(database_->Handle(), transaction.Handle(), inputs, row);
  if (!keep_cursor) {
    statement_->CloseCursor();
    return;
  }
  rows_.names = statement_->ColumnNames();
  if (got_row) rows_.rows.push_back(std::move(row));
  active_ = true;
  try {
    if (rows_.rows.empty()) FetchOne();
  } catch (...) {
    Close();
    throw;
  }
  current_ = rows_.rows.empty() ? -1 : 0;
  eof_ = rows_.rows.empty();
}

void TIBQuery::Open() {
  if (active_) return;
  Execute(true);
}

void TIBQuery::ExecSQL() { Execute(false); }

void TIBQuery::SetActive(bool active) {
  if (active) {
    Open();
  } else {
    Close();
  }
}

void TIBQuery::Close() {
  statement_->CloseCursor();
  active_ = false;
  eof_ = true;
  current_ = -1;
  rows_ = TRowSet();
}

bool TIBQuery::FetchOne() {
  if (!statement_->CursorOpen()) return false;
  TIBTransaction* transaction = EffectiveTransaction();
  std::vector<TIBValue> row;
  if (!statement_->Fetch(database_->Handle(), transaction->Handle(), row)) return false;
  rows_.rows.push_back(std::move(row));
  return true;
}

void TIBQuery::CheckActive() const {
  if (!active_) throw EIBError("Cannot perform this operation on a closed dataset");
}

void TIBQuery::First() {
  CheckActive();
  current_ = rows_.rows.empty() ? -1 : 0;
  eof_ = rows_.rows.empty();
}

void TIBQuery::Next() {
  CheckActive();
  if (current_ + 1 < static_cast<int>(rows_.rows.size()) || FetchOne()) {
    ++current_;
    eof_ = false;
  } else {
    eof_ = true;
  }
}

void TIBQuery::FetchAll() {
  if (!active_) return;
  while (FetchOne()) {
  }
}

const TIBValue* TIBQuery::FindField(const std::string& name) const {
  CheckActive();
  const int index = rows_.IndexOf(name);
  if (index < 0) return nullptr;
  if (current_ < 0) return &kNullValue;
  return &rows_.rows[static_cast<size_t>(current_)][static_cast<size_t>(index)];
}

const TIBValue& TIBQuery::FieldByName(const std::string& name) const {
  const TIBValue* value = FindField(name);
  if (value == nullptr) throw EIBError("Field '" + name + "' not found");
  return *value;
}

void TIBQuery::ReleaseHandle() {
  Close();
  prepared_text_.clear();
  if (database_ && database_->Connected()) {
    statement_->Unprepare();
  } else {
    statement_->Forget();
  }
}

void TIBQuery::DatabaseGone() {
  Close();
  statement_->Forget();
  prepared_text_.clear();
  database_ = nullptr;
  transaction_ = nullptr;
}

void TIBQuery::TransactionGone(TIBTransaction* transaction) {
  if (transaction_ == transaction) {
    Close();
    transaction_ = nullptr;
  }
}

}  // namespace veltrix
