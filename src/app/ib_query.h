// The general-purpose statement object of the point-of-sale link.
//
// Its text is set whole (SetSQL) and may carry ":name" parameters, set by
// name with ParamByName before Open or ExecSQL; a name used twice takes one
// value at both places. The statement is prepared on the server only when its
// text differs from the one last prepared, so running the same text many
// times with new parameter values costs one prepare. Setting a new text
// forgets the old parameter values; setting the same text again keeps them.
//
// Open runs the statement. A select (or any statement returning rows) is
// positioned on its first row; rows are fetched as the cursor moves and kept,
// so First can go back. A statement that returns no rows (insert, update,
// delete, DDL) is simply executed by Open, and the query is then open and
// empty. ExecSQL runs the statement once for its effect. Both start the
// transaction when it is not active (the first statement outside a
// transaction starts one) and raise EIBError with the library's message when
// the server refuses; a refused statement leaves the transaction active.
//
// Fields of the current row are found by name without regard to case and
// read through TIBValue, where NULL reads as empty text, 0 or the zero date.
// An open query with no current row (empty result) answers NULL for every
// field.
//
// The transaction is Transaction() when set, otherwise the database's
// DefaultTransaction(). REQUIRES: the transaction belongs to the same
// database.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/ib_value.h"
#include "app/row_set.h"

namespace veltrix {

class IBStatement;
class TIBDatabase;
class TIBTransaction;

class TIBQuery {
 public:
  TIBQuery();
  ~TIBQuery();
  TIBQuery(const TIBQuery&) = delete;
  TIBQuery& operator=(const TIBQuery&) = delete;

  TIBDatabase* Database() const { return database_; }
  void SetDatabase(TIBDatabase* database);
  TIBTransaction* Transaction() const { return transaction_; }
  void SetTransaction(TIBTransaction* transaction);

  const std::string& SQL() const { return sql_; }
  // Closes the query and sets the text.
  void SetSQL(const std::string& text);

  int ParamCount() const { return static_cast<int>(params_.size()); }
  const std::string& ParamName(int i) const { return params_.at(static_cast<size_t>(i)).first; }
  // The value bound to ":name". A parameter never set is NULL. Raises
  // EIBError "Parameter '<name>' not found" when the text has no such name.
  TIBValue& ParamByName(const std::string& name);

  // Prepares the text unless it is the one prepared last. Raises EIBError.
  void Prepare();
  bool Prepared() const;
  // Times the text has been sent to the server for preparing, over the
  // object's life.
  int PrepareCount() const { return prepare_count_; }

  // A no-op when open: new parameter values take effect at the next Open
  // after a Close (or a SetSQL, which closes).
  void Open();
  // Ends the cursor and drops the rows; a no-op when closed. Never raises.
  void Close();
  bool Active() const { return active_; }
  void SetActive(bool active);
  void ExecSQL();

  // Navigation; each raises EIBError on a closed query, and Next with the
  // library's message when fetching fails. Next past the last row sets Eof
  // and keeps the last row current.
  void First();
  void Next();
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return rows_.rows.empty(); }
  // Rows fetched so far (all of them after FetchAll).
  int RecordCount() const { return static_cast<int>(rows_.rows.size()); }
  // Fetches the remaining rows; the current row stays. Without effect on a
  // closed query.
  void FetchAll();

  int FieldCount() const { return static_cast<int>(rows_.names.size()); }
  const std::string& FieldName(int i) const { return rows_.names.at(static_cast<size_t>(i)); }
  // Null when there is no such field; raises EIBError on a closed query.
  const TIBValue* FindField(const std::string& name) const;
  // Raises EIBError "Field '<name>' not found" when there is no such field.
  const TIBValue& FieldByName(const std::string& name) const;
  // The rows fetched so far with the column names.
  const TRowSet& Rows() const { return rows_; }

 private:
  friend class TIBDatabase;
  friend class TIBTransaction;

  TIBTransaction* EffectiveTransaction() const;
  // Checks the connection and starts the transaction when needed.
  TIBTransaction& ReadyTransaction();
  void Execute(bool keep_cursor);
  bool FetchOne();
  void CheckActive() const;
  // Frees the server's statement (the connection is about to close).
  void ReleaseHandle();
  // Forgets links that are going away.
  void DatabaseGone();
  void TransactionGone(TIBTransaction* transaction);

  TIBDatabase* database_ = nullptr;
  TIBTransaction* transaction_ = nullptr;
  std::string sql_;
  std::string parsed_text_;
  std::vector<std::pair<std::string, TIBValue>> params_;
  std::vector<size_t> positions_;  // params_ index of each "?" in parsed_text_
  std::unique_ptr<IBStatement> statement_;
  std::string prepared_text_;
  int prepare_count_ = 0;
  bool active_ = false;
  bool eof_ = true;
  int current_ = -1;
  TRowSet rows_;
};

}  // namespace veltrix
