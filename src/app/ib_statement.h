// One prepared statement of the client library with its descriptors.
//
// Internal to the link: TIBQuery keeps one of these and drives it; this class
// knows nothing of names, rows or navigation. Texts use "?" markers (see
// sql_params.h for the named form).
//
// Lifecycle: Prepare allocates the library's handle on the first call and
// reuses it for later texts; Execute runs the prepared statement (opening a
// cursor for a select); Fetch reads its rows; CloseCursor ends the cursor;
// Unprepare frees the handle on the server. The handle dies with its
// attachment: before a detach the owner calls Unprepare, and after a lost
// connection Forget.
#pragma once

#include <ibase.h>

#include <cstddef>
#include <string>
#include <vector>

#include "app/ib_value.h"

namespace veltrix {

enum class StatementType : uint8_t {
  kSelect,     // returns rows through a cursor
  kProcedure,  // returns at most one row at once (procedure call, DML with RETURNING)
  kOther,      // DML and DDL: no rows
};

class IBStatement {
 public:
  IBStatement();
  ~IBStatement();
  IBStatement(const IBStatement&) = delete;
  IBStatement& operator=(const IBStatement&) = delete;

  // Prepares `text` in SQL dialect `dialect`. Raises EIBError; the statement
  // is then unprepared.
  void Prepare(isc_db_handle* db, isc_tr_handle* tr, const std::string& text, unsigned short dialect);
  bool Prepared() const { return prepared_; }
  StatementType Type() const { return type_; }
  // Number of "?" markers the server found.
  int InputCount() const;
  // Column names (the select list's alias or field name), in order.
  const std::vector<std::string>& ColumnNames() const { return column_names_; }

  // Runs the prepared statement with inputs[i] at the i-th marker.
  // REQUIRES: Prepared(), inputs.size() == InputCount(). For kSelect the
  // cursor is then open; for kProcedure the returned row (if the statement
  // has output columns) is stored in `row` and true is answered. Raises
  // EIBError.
  bool Execute(isc_db_handle* db, isc_tr_handle* tr, const std::vector<const TIBValue*>& inputs,
               std::vector<TIBValue>& row);

  // The next row of the open cursor into `row`; false at the end (the cursor
  // is then closed). Raises EIBError.
  bool Fetch(isc_db_handle* db, isc_tr_handle* tr, std::vector<TIBValue>& row);
  bool CursorOpen() const { return cursor_open_; }
  // Ends the open cursor, if any. A failure to close (a cursor the server
  // already dropped with its transaction) is ignored: nothing depends on it.
  void CloseCursor();

  // Frees the handle on the server (errors ignored, as after a lost
  // connection the handle is gone anyway).
  void Unprepare();
  // Drops the handle without telling the server (its attachment is gone).
  void Forget();

 private:
  // An XSQLDA with room for n descriptors.
  class Sqlda {
   public:
    void Resize(int n);
    XSQLDA* get() { return reinterpret_cast<XSQLDA*>(memory_.data()); }
    const XSQLDA* get() const { return reinterpret_cast<const XSQLDA*>(memory_.data()); }

   private:
    std::vector<std::max_align_t> memory_;
  };

  void DescribeOutput();
  void DescribeInput();
  void ReadRow(isc_db_handle* db, isc_tr_handle* tr, std::vector<TIBValue>& row);

  isc_stmt_handle handle_ = 0;
  unsigned short dialect_ = 3;
  bool prepared_ = false;
  bool cursor_open_ = false;
  StatementType type_ = StatementType::kOther;
  Sqlda out_;
  Sqlda in_;
  std::vector<XSQLVAR> declared_in_;
  std::vector<std::vector<char>> out_buffers_;
  std::vector<short> out_indicators_;
  std::vector<std::vector<char>> in_buffers_;
  std::vector<short> in_indicators_;
  std::vector<std::string> column_names_;
};

}  // namespace veltrix
