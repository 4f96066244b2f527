// How a stored descriptor becomes a field: its width in the record, its
// dataset type and the len/dec the definition shows after an open, and the
// version rules for each type letter at open and at creation.
//
// Width is what positions every later field, so the rules here must agree
// with what creation writes: a table this engine creates must reopen with
// the same record layout.
#pragma once

#include <cstdint>
#include <string>

#include "dbf/dbf_types.h"
#include "dbf/field_rec.h"
#include "dbf/xbase_version.h"

namespace qxdbf {

struct FieldLayout {
  bool known = false;        // the letter (and extended type) is one the engine reads
  int32_t width = 0;         // bytes occupied in the record
  TFieldType data_type = ftUnknown;
  int32_t data_size = 0;     // dataset size (text length, byte count)
  int32_t precision = 0;     // decimals of ftFloat
  uint16_t len = 0;          // len shown after open
  uint16_t dec = 0;          // dec shown after open
};

// The layout of a descriptor of a table of version `dbf` whose memo file is
// `lob`. Unknown letters and unusable extended types answer known = false.
FieldLayout LayoutOf(const FIELD_REC& rec, const TFieldFlag& flags, xBaseVersion dbf,
                     xBaseVersion lob);

// Empty when the letter may be read from a table of this version, else the
// message the open raises.
std::string OpenVersionError(char letter, xBaseVersion dbf);
// Empty when a field of this letter may be created in this version, else the
// message the creation raises.
std::string CreateVersionError(char letter, xBaseVersion dbf);

// Whether the field needs a memo file.
bool IsMemoField(char letter, TQxDBFType ext, xBaseVersion dbf);

}  // namespace qxdbf
