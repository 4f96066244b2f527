#include "app/ib_statement.h"

#include "app/fb_status.h"
#include "app/ib_error.h"
#include "app/sqlvar_codec.h"

namespace veltrix {

namespace {

// The statement type the server reports for a prepared statement.
int QueryStatementType(isc_stmt_handle* handle) {
  ISC_STATUS_ARRAY status;
  const char items[] = {isc_info_sql_stmt_type};
  char buffer[16] = {};
  isc_dsql_sql_info(status, handle, sizeof(items), items, sizeof(buffer), buffer);
  CheckStatus(status);
  if (buffer[0] != isc_info_sql_stmt_type) return 0;
  const auto len = static_cast<short>(isc_vax_integer(buffer + 1, 2));
  return static_cast<int>(isc_vax_integer(buffer + 3, len));
}

}  // namespace

void IBStatement::Sqlda::Resize(int n) {
  const size_t bytes = XSQLDA_LENGTH(n < 1 ? 1 : n);
  memory_.assign((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t), std::max_align_t{});
  get()->version = SQLDA_VERSION1;
  get()->sqln = static_cast<ISC_SHORT>(n < 1 ? 1 : n);
}

IBStatement::IBStatement() {
  out_.Resize(1);
  in_.Resize(1);
}

IBStatement::~IBStatement() = default;

int IBStatement::InputCount() const { return static_cast<int>(declared_in_.size()); }

void IBStatement::Prepare(isc_db_handle* db, isc_tr_handle* tr, const std::string& text, unsigned short dialect) {
  ISC_STATUS_ARRAY status;
  CloseCursor();
  prepared_ = false;
  column_names_.clear();
  declared_in_.clear();
  if (handle_ == 0) {
    isc_dsql_allocate_statement(status, db, &handle_);
    CheckStatus(status);
  }
  dialect_ = dialect;
  out_.Resize(1);
  isc_dsql_prepare(status, tr, &handle_, 0, text.c_str(), dialect_, out_.get());
  CheckStatus(status);
  switch (QueryStatementType(&handle_)) {
    case isc_info_sql_stmt_select: case isc_info_sql_stmt_select_for_upd: type_ = StatementType::kSelect; break;
    case isc_info_sql_stmt_exec_procedure: type_ = StatementType::kProcedure; break;
    default: type_ = StatementType::kOther; break;
  }
  DescribeOutput();
  DescribeInput();
  prepared_ = true;
}

void IBStatement::DescribeOutput() {
  ISC_STATUS_ARRAY status;
  const int n = out_.get()->sqld;
  if (n > out_.get()->sqln) {
    out_.Resize(n);
    isc_dsql_describe(status, &handle_, dialect_, out_.get());
    CheckStatus(status);
  }
  out_buffers_.assign(static_cast<size_t>(n), {});
  out_indicators_.assign(static_cast<size_t>(n), 0);
  for (int i = 0; i < n; ++i) {
    XSQLVAR& var = out_.get()->sqlvar[i];
    auto& buffer = out_buffers_[static_cast<size_t>(i)];
    buffer.assign(OutputBufferSize(var), 0);
    var.sqldata = buffer.data();
    // Every column gets a NULL indicator, declared nullable or not.
    var.sqltype = static_cast<short>(var.sqltype | 1);
    var.sqlind = &out_indicators_[static_cast<size_t>(i)];
    const bool has_alias = var.aliasname_length > 0;
    column_names_.emplace_back(has_alias ? var.aliasname : var.sqlname,
                               static_cast<size_t>(has_alias ? var.aliasname_length : var.sqlname_length));
  }
}

void IBStatement::DescribeInput() {
  ISC_STATUS_ARRAY status;
  in_.Resize(1);
  isc_dsql_describe_bind(status, &handle_, dialect_, in_.get());
  CheckStatus(status);
  const int n = in_.get()->sqld;
  if (n > in_.get()->sqln) {
    in_.Resize(n);
    isc_dsql_describe_bind(status, &handle_, dialect_, in_.get());
    CheckStatus(status);
  }
  declared_in_.assign(in_.get()->sqlvar, in_.get()->sqlvar + n);
}

bool IBStatement::Execute(isc_db_handle* db, isc_tr_handle* tr, const std::vector<const TIBValue*>& inputs,
                          std::vector<TIBValue>& row) {
  if (!prepared_) throw EIBError("Statement not prepared");
  if (inputs.size() != declared_in_.size())
    throw EIBError("Statement expects " + std::to_string(declared_in_.size()) + " parameters, " +
                   std::to_string(inputs.size()) + " given");
  CloseCursor();
  const size_t n = inputs.size();
  in_buffers_.assign(n, {});
  in_indicators_.assign(n, 0);
  XSQLDA* in = in_.get();
  in->sqld = static_cast<ISC_SHORT>(n);
  for (size_t i = 0; i < n; ++i) {
    BindSqlVar(in->sqlvar[i], declared_in_[i], *inputs[i], in_buffers_[i], in_indicators_[i], db, tr);
  }
  ISC_STATUS_ARRAY status;
  const bool returns_row = type_ == StatementType::kProcedure && out_.get()->sqld > 0;
  if (returns_row) {
    isc_dsql_execute2(status, tr, &handle_, dialect_, n > 0 ? in : nullptr, out_.get());
  } else {
    isc_dsql_execute(status, tr, &handle_, dialect_, n > 0 ? in : nullptr);
  }
  CheckStatus(status);
  if (type_ == StatementType::kSelect) cursor_open_ = true;
  if (returns_row) ReadRow(db, tr, row);
  return returns_row;
}

bool IBStatement::Fetch(isc_db_handle* db, isc_tr_handle* tr, std::vector<TIBValue>& row) {
  if (!cursor_open_) return false;
  ISC_STATUS_ARRAY status;
  const ISC_STATUS rc = isc_dsql_fetch(status, &handle_, dialect_, out_.get());
  if (rc == 100) {
    CloseCursor();
    return false;
  }
  CheckStatus(status);
  ReadRow(db, tr, row);
  return true;
}

void IBStatement::ReadRow(isc_db_handle* db, isc_tr_handle* tr, std::vector<TIBValue>& row) {
  const int n = out_.get()->sqld;
  row.clear();
  row.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) row.push_back(ReadSqlVar(out_.get()->sqlvar[i], db, tr));
}

void IBStatement::CloseCursor() {
  if (!cursor_open_) return;
  cursor_open_ = false;
  ISC_STATUS_ARRAY status;
  isc_dsql_free_statement(status, &handle_, DSQL_close);
}

void IBStatement::Unprepare() {
  if (handle_ != 0) {
    ISC_STATUS_ARRAY status;
    isc_dsql_free_statement(status, &handle_, DSQL_drop);
  }
  Forget();
}

void IBStatement::Forget() {
  handle_ = 0;
  prepared_ = false;
  cursor_open_ = false;
  column_names_.clear();
  declared_in_.clear();
}

}  // namespace veltrix
