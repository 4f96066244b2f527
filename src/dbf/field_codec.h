// Field values inside a record image.
//
// A value travels between the table and the dataset layer in a buffer whose
// form depends on the field's dataset type (FieldLayout::data_type):
//
//   ftString, ftFixedChar  the text's bytes and a zero byte (size + 1 bytes)
//   ftSmallint, ftWord     16-bit integer (signed, unsigned)
//   ftInteger, ftAutoInc   signed 32-bit integer
//   ftLargeint             signed 64-bit integer
//   ftBoolean              16-bit value, 0 false, anything else true
//   ftFloat, ftCurrency    IEEE 64-bit float
//   ftDate                 signed 32-bit day number, 1 January of year 1 = 1
//   ftTime                 signed 32-bit milliseconds since midnight
//   ftDateTime             64-bit float: day number * 86400000 + milliseconds
//   ftBCD                  the 34 stored bytes
//   ftBytes                the raw bytes (as many as the width)
//   ftWideString           32-bit byte length, UTF-16 characters, two zeros
//   ftMemo, ftBlob, ftGraphic, ftParadoxOle, ftDataSet
//                          the stored memo pointer bytes (width bytes); for
//                          the _NB memo kinds the block number without its
//                          marker bit
//
// FieldBufferSize(def) gives the size a caller must provide.
//
// NULL: text fields are NULL when blank, binary ones by their own marker
// (see the family files), and in a Visual FoxPro table a nullable field by
// its bit in _NULLFLAGS. A T field whose day word is zero (a new record) or
// blank is NULL; any other day word is a date.
//
// Writes never store a different value than the one given: a number whose
// text is wider than its field, a date outside the years 1 to 9999, a value
// whose stored form would read as NULL or lies beyond the stored type's
// range raise EQxDBFBadArgument and leave the record as it was. Texts are
// the exception: like the dataset's text fields, they are cut to the
// field's size.
//
// The record image is the record as stored: byte 0 the deletion flag, each
// field at def.Offset() with def.Width() bytes. Nothing here does I/O or
// code-page translation (text fields translate in the dataset layer).
#pragma once

#include <cstdint>

#include "dbf/field_def.h"
#include "dbf/xbase_version.h"

namespace qxdbf {

struct CodecContext {
  xBaseVersion dbf_version = xBaseIII;  // table format
  xBaseVersion lob_version = xUnknown;  // memo format
  bool trim_c_type = false;             // cut trailing blanks of C fields
  int32_t null_flags_offset = 0;        // _NULLFLAGS position, 0 when none
  int32_t null_flags_width = 0;
  bool filling_auto_inc = false;        // the append is filling "+" fields,
                                        // the only writes they take
};

// Bytes a value buffer of this field needs.
int32_t FieldBufferSize(const TQxDBFFieldDef& def);

// Reads the field into `buffer` (which may be null: then only the NULL
// question is answered). Answers false when the field is NULL or its bytes
// do not parse (then `buffer`, when given, holds the type's empty value).
bool ReadFieldData(const TQxDBFFieldDef& def, const uint8_t* record, const CodecContext& ctx,
                   void* buffer);

// The null test: true when the field is NULL by its stored bytes (a field
// whose text does not parse is not NULL here, though it reads as NULL).
bool IsFieldNull(const TQxDBFFieldDef& def, const uint8_t* record, const CodecContext& ctx);

// Writes the value in `buffer`, or NULL when `buffer` is null. Raises
// EQxDBFBadArgument when a number does not fit the field's width (nothing is
// written then).
void WriteFieldData(const TQxDBFFieldDef& def, uint8_t* record, const CodecContext& ctx,
                    const void* buffer);

// Fills `record_size` bytes with a blank record for a new record: blanks,
// with the binary fields zeroed and _NULLFLAGS all ones.
void BlankRecordImage(uint8_t* record, int32_t record_size, const TQxDBFFieldDefs& defs,
                      const CodecContext& ctx);

// Day numbers of the value forms. A date-time of the platform's kind (days
// since 30 December 1899, time as fraction) converts by adding 693594.
constexpr int32_t kDateDelta = 693594;
constexpr double kMillisecondsPerDay = 86400000.0;

}  // namespace qxdbf
