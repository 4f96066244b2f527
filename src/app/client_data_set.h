// An in-memory snapshot of a select.
//
// Open asks the provider to run CommandText and keeps every row it returns;
// from then on the snapshot depends on nothing else: it stays readable after
// its statement, transaction and connection are closed, until it is closed
// or opened again. Fields are found by name without regard to case, with the
// reading rules of TIBValue (NULL reads as empty text, 0 or the zero date).
#pragma once

#include <cstdint>
#include <string>

#include "app/ib_value.h"
#include "app/row_set.h"

namespace veltrix {

class TDataSetProvider;

enum TLocateOption : uint8_t { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = uint8_t;

class TClientDataSet {
 public:
  TDataSetProvider* Provider() const { return provider_; }
  // REQUIRES: the provider outlives its use by this snapshot.
  void SetProvider(TDataSetProvider* provider) { provider_ = provider; }
  const std::string& CommandText() const { return command_text_; }
  void SetCommandText(const std::string& text) { command_text_ = text; }

  // Fills the snapshot; a no-op when open. Raises EIBError when the provider
  // does (the snapshot stays closed), or when there is no provider.
  void Open();
  void Close();
  bool Active() const { return active_; }
  void SetActive(bool active);

  // Navigation; each raises EIBError on a closed snapshot. Next past the last
  // row sets Eof and keeps the last row current.
  void First();
  void Next();
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return rows_.rows.empty(); }
  int RecordCount() const { return static_cast<int>(rows_.rows.size()); }
  // The current row counting from 1; 0 when empty.
  int RecNo() const { return current_ + 1; }

  int FieldCount() const { return static_cast<int>(rows_.names.size()); }
  const std::string& FieldName(int i) const { return rows_.names.at(static_cast<size_t>(i)); }
  // Null when there is no such field; an empty snapshot answers NULL values.
  // Raises EIBError on a closed snapshot.
  const TIBValue* FindField(const std::string& name) const;
  // Raises EIBError "Field '<name>' not found" when there is no such field.
  const TIBValue& FieldByName(const std::string& name) const;

  // Makes the first row whose `key_field` equals `key` current and answers
  // true; answers false and leaves the current row when none does. A number
  // matches a numeric field by value (42 equals 42,0000), a date or time a
  // date or time field by value; every other pair compares as text
  // (AsString), ignoring case with loCaseInsensitive and matching a leading
  // part with loPartialKey. NULL matches only NULL.
  // Raises EIBError on a closed snapshot or an unknown field.
  bool Locate(const std::string& key_field, const TIBValue& key, TLocateOptions options);

 private:
  void CheckActive() const;

  TDataSetProvider* provider_ = nullptr;
  std::string command_text_;
  bool active_ = false;
  bool eof_ = true;
  int current_ = -1;
  TRowSet rows_;
};

}  // namespace veltrix
