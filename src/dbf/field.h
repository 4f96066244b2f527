// Field objects of the dataset layer.
//
// A TField names one column of a dataset and converts its value between the
// dataset's value form (see field_codec.h) and the forms callers use: text,
// integers, float, money (a 64-bit count of ten-thousandths), date-time
// (days since 30 December 1899 with the time as fraction) and Boolean. The
// bytes live in the dataset's active record buffer; a field only asks its
// dataset for them (GetFieldData / SetFieldData).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dbf/dbf_types.h"

namespace qxdbf {

class TDataSet;

enum TFieldKind : uint8_t { fkData, fkCalculated };

class TField {
 public:
  TField(TDataSet& dataset, std::string name, TFieldType type, int32_t size, TFieldKind kind);

  const std::string& FieldName() const { return name_; }
  const std::string& DisplayName() const { return name_; }
  TFieldType DataType() const { return type_; }
  // Characters of a text field, bytes of a byte field, 0 for the others.
  int32_t Size() const { return size_; }
  TFieldKind FieldKind() const { return kind_; }
  int FieldNo() const { return field_no_; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v) { read_only_ = v; }
  // Free for the owning table: the table keeps its definition of the field
  // here.
  void* Tag() const { return tag_; }
  void SetTag(void* tag) { tag_ = tag; }
  // Position of a calculated field's value in the calculated-fields area.
  int32_t CalcOffset() const { return calc_offset_; }

  // Bytes of this field's value buffer.
  int32_t DataSize() const;

  bool IsNull() const;
  void Clear();  // makes the field NULL

  std::string AsString() const;
  void SetAsString(const std::string& value);
  int32_t AsInteger() const;
  void SetAsInteger(int32_t value);
  int64_t AsLargeInt() const;
  void SetAsLargeInt(int64_t value);
  double AsFloat() const;
  void SetAsFloat(double value);
  // Money as ten-thousandths.
  int64_t AsCurrency() const;
  void SetAsCurrency(int64_t ten_thousandths);
  // Days since 30 December 1899, time of day as the fraction.
  double AsDateTime() const;
  void SetAsDateTime(double value);
  bool AsBoolean() const;
  void SetAsBoolean(bool value);

  // The value buffer as the dataset holds it; false when NULL.
  bool GetData(void* buffer) const;
  // Writes the value buffer, or NULL when `buffer` is null.
  void SetData(const void* buffer);

 private:
  friend class TDataSet;
  bool IsText() const { return type_ == ftString || type_ == ftFixedChar; }
  const uint8_t* ReadBuffer(bool& has_value) const;
  [[noreturn]] void ConversionError(const std::string& text, const char* what) const;
  void SetAsNumberText(const std::string& text);

  TDataSet& dataset_;
  std::string name_;
  TFieldType type_;
  int32_t size_;
  TFieldKind kind_;
  int field_no_ = 0;        // 1-based position among the dataset's fields
  bool read_only_ = false;
  void* tag_ = nullptr;     // the table's definition of the field
  int32_t calc_offset_ = 0; // calculated fields only
  mutable std::vector<uint8_t> scratch_;  // value buffer of the last read
};

}  // namespace qxdbf
