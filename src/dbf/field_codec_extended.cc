// Extended fields (letter E) other than the numeric and date families
// (field_codec_family.cc): texts with a length prefix, fixed texts, the
// decimal record and memo pointers.
//
//   dbftString      16-bit little-endian length, then the bytes, zero-filled
//                   to len; a length of 0x2020 (two blanks) or more is NULL,
//                   so texts that long are refused.
//   dbftString_N    a marker byte (blank = NULL, 0x01 = a value), then the
//                   dbftString form.
//   dbftFixedChar   len bytes blank-filled and a zero byte; all blank = NULL.
//   dbftWideString  2 * len + 4 bytes: a 16-bit little-endian length in
//                   bytes, the UTF-16LE characters, zeros to the end (so at
//                   least a two-byte terminator). The length word follows
//                   dbftString: 0x2020 or more is NULL.
//   dbftBCD         the 34 bytes of the dataset's decimal record as they
//                   are; all blank (a new record) = NULL.
#include <cstring>
#include <string>

#include "dbf/coding.h"
#include "dbf/field_codec_internal.h"

namespace qxdbf::codec_detail {

namespace {

constexpr uint8_t kBlank = 0x20;
constexpr uint8_t kValueMarker = 0x01;
constexpr uint16_t kBlankLength = 0x2020;
constexpr int32_t kBcdSize = 34;

TQxDBFType ExtendedType(const TQxDBFFieldDef& def) {
  return static_cast<TQxDBFType>(def.extend_type() & 0x7F);
}

bool IsMemoType(TQxDBFType type, bool& marker_bit) {
  switch (type) {
    case dbftClob: case dbftBlob: case dbftGraphic: case dbftFmtMemo: case dbftDBFDataSet:
      marker_bit = false;
      return true;
    case dbftClob_NB: case dbftBlob_NB: case dbftGraphic_NB: case dbftFmtMemo_NB:
    case dbftDBFDataSet_NB:
      marker_bit = true;
      return true;
    default:
      return false;
  }
}

bool AllBlank(const uint8_t* bytes, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    if (bytes[i] != kBlank) return false;
  return true;
}

size_t TextLength(const void* text, size_t max) {
  const void* zero = std::memchr(text, 0, max);
  return zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) -
                                    static_cast<const uint8_t*>(text))
              : max;
}

// The dbftString form at `form`: the length word, then room for len bytes.
bool ReadCountedText(const uint8_t* form, uint16_t len, void* buffer) {
  const uint16_t length = DecodeLE16(form);
  if (length >= kBlankLength || length > len) return false;
  auto* out = static_cast<uint8_t*>(buffer);
  std::memcpy(out, form + 2, length);
  out[length] = 0;
  return true;
}

void WriteCountedText(const TQxDBFFieldDef& def, uint8_t* form, uint16_t len, const void* buffer) {
  const size_t length = TextLength(buffer, len);
  if (length >= kBlankLength)
    RaiseCannotStore(def, std::to_string(length) + " characters",
                     "a length word this large reads as NULL");
  EncodeLE16(form, static_cast<uint16_t>(length));
  std::memcpy(form + 2, buffer, length);
  std::memset(form + 2 + length, 0, len - length);
}

bool ReadWideText(const uint8_t* field, uint16_t len, void* buffer) {
  const uint16_t length = DecodeLE16(field);
  if (length >= kBlankLength || length % 2 != 0 || length > 2u * len) return false;
  auto* out = static_cast<uint8_t*>(buffer);
  const uint32_t length32 = length;
  std::memcpy(out, &length32, sizeof length32);
  std::memcpy(out + 4, field + 2, length);
  out[4 + length] = 0;
  out[5 + length] = 0;
  return true;
}

void WriteWideText(const TQxDBFFieldDef& def, uint8_t* field, uint16_t len, const void* buffer) {
  // Cut to the field's characters, as text fields are cut to their size.
  uint32_t length;
  std::memcpy(&length, buffer, sizeof length);
  if (length > 2u * len) length = 2u * len;
  length &= ~1u;
  if (length >= kBlankLength)
    RaiseCannotStore(def, std::to_string(length / 2) + " characters",
                     "a length word this large reads as NULL");
  const size_t width = static_cast<size_t>(def.Width());
  EncodeLE16(field, static_cast<uint16_t>(length));
  std::memcpy(field + 2, static_cast<const uint8_t*>(buffer) + 4, length);
  std::memset(field + 2 + length, 0, width - 2 - length);
}

}  // namespace

bool ReadExtendedField(const TQxDBFFieldDef& def, const uint8_t* field, void* buffer) {
  const TQxDBFType type = ExtendedType(def);
  const uint16_t len = def.len();
  bool marker_bit = false;
  if (IsMemoType(type, marker_bit)) return ReadMemoPointer(field, def.Width(), marker_bit, buffer);
  if (IsFamilyType(type)) return ReadFamilyField(def, field, buffer);
  switch (type) {
    case dbftString:
      return ReadCountedText(field, len, buffer);
    case dbftString_N:
      return field[0] != kBlank && ReadCountedText(field + 1, len, buffer);
    case dbftWideString:
      return ReadWideText(field, len, buffer);
    case dbftFixedChar: {
      if (AllBlank(field, len + 1)) return false;
      auto* out = static_cast<uint8_t*>(buffer);
      std::memcpy(out, field, len);
      out[len] = 0;
      return true;
    }
    case dbftBCD:
      if (AllBlank(field, kBcdSize)) return false;
      std::memcpy(buffer, field, kBcdSize);
      return true;
    default:
      return false;
  }
}

bool ExtendedFieldIsNull(const TQxDBFFieldDef& def, const uint8_t* field) {
  const TQxDBFType type = ExtendedType(def);
  bool marker_bit = false;
  if (IsMemoType(type, marker_bit)) return MemoPointerIsNull(field, def.Width(), marker_bit);
  if (IsFamilyType(type)) return FamilyFieldIsNull(def, field);
  switch (type) {
    case dbftString:
    case dbftWideString:
      return DecodeLE16(field) >= kBlankLength;
    case dbftString_N:
      return field[0] == kBlank || DecodeLE16(field + 1) >= kBlankLength;
    case dbftFixedChar:
      return AllBlank(field, def.len() + 1);
    case dbftBCD:
      return AllBlank(field, kBcdSize);
    default:
      return true;
  }
}

void WriteExtendedField(const TQxDBFFieldDef& def, uint8_t* field, const void* buffer) {
  const TQxDBFType type = ExtendedType(def);
  const uint16_t len = def.len();
  bool marker_bit = false;
  if (IsMemoType(type, marker_bit)) {
    WriteMemoPointer(def, field, def.Width(), marker_bit, buffer);
    return;
  }
  if (IsFamilyType(type)) {
    WriteFamilyField(def, field, buffer);
    return;
  }
  switch (type) {
    case dbftString:
      WriteCountedText(def, field, len, buffer);
      return;
    case dbftString_N:
      WriteCountedText(def, field + 1, len, buffer);
      field[0] = kValueMarker;
      return;
    case dbftWideString:
      WriteWideText(def, field, len, buffer);
      return;
    case dbftFixedChar: {
      const size_t length = TextLength(buffer, len);
      std::memcpy(field, buffer, length);
      std::memset(field + length, kBlank, len - length);
      field[len] = 0;
      return;
    }
    case dbftBCD:
      std::memcpy(field, buffer, kBcdSize);
      return;
    default:
      return;
  }
}

void WriteExtendedFieldNull(const TQxDBFFieldDef& def, uint8_t* field) {
  const TQxDBFType type = ExtendedType(def);
  bool marker_bit = false;
  if (IsMemoType(type, marker_bit)) {
    WriteMemoPointerNull(field, def.Width(), marker_bit);
    return;
  }
  if (IsFamilyType(type)) {
    WriteFamilyFieldNull(def, field);
    return;
  }
  switch (type) {
    case dbftString:
    case dbftWideString:
      field[0] = field[1] = kBlank;
      return;
    case dbftString_N:
      field[0] = field[1] = field[2] = kBlank;
      return;
    case dbftFixedChar:
    case dbftBCD:
      std::memset(field, kBlank, static_cast<size_t>(def.Width()));
      return;
    default:
      return;
  }
}

}  // namespace qxdbf::codec_detail
