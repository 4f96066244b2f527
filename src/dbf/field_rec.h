// One field descriptor as stored in the table file, in both layouts.
//
// 32-byte descriptor (every version but dBase V and VII):
//
//   OFFSET SIZE DESCRIPTION
//        0   11 name, zero-padded; at most 10 characters are stored
//       11    1 type letter
//       12    1 extended type (ordinal of TQxDBFType; only for letter E)
//       13    3 zero
//       16    1 length; for C, 0 and the wide E strings bytes 16-17 are
//               one 16-bit length and there is no decimal count
//       17    1 decimal count
//       18    1 field flags (TFieldFlag)
//       19    4 NativeNextAutoInc, signed 32-bit
//       23    1 NativeStepAutoInc
//       24    4 NextAutoInc (the engine's own counter)
//       28    4 zero
//
// 48-byte descriptor (dBase V and VII):
//
//   OFFSET SIZE DESCRIPTION
//        0   32 name, zero-padded; at most 31 characters are stored
//       32    1 type letter
//       33    1 length (with byte 34 the 16-bit length, as above)
//       34    1 decimal count
//       35    1 extended type
//       36    1 zero
//       37    1 field flags
//       38    4 NextAutoInc
//       42    4 NativeNextAutoInc
//       46    2 zero; the native step is always 1 in this layout
//
// Bytes 12-15 of the short layout are a field position in some writers; the
// engine never reads them and computes every position itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "dbf/dbf_types.h"
#include "dbf/xbase_version.h"

namespace qxdbf {

// The descriptor flags byte.
class TFieldFlag {
 public:
  uint8_t FieldFlag() const;
  void SetFieldFlag(uint8_t value);

  bool System() const { return system_; }
  void SetSystem(bool v) { system_ = v; }
  bool CanStoreNull() const { return can_store_null_; }
  void SetCanStoreNull(bool v) { can_store_null_ = v; }
  bool BinaryColumn() const { return binary_column_; }
  void SetBinaryColumn(bool v) { binary_column_ = v; }
  bool AutoIncrement() const { return auto_increment_; }
  void SetAutoIncrement(bool v) { auto_increment_ = v; }

 private:
  bool system_ = false;          // 0x01 hidden system field (_NULLFLAGS)
  bool can_store_null_ = false;  // 0x02 owns a bit in _NULLFLAGS
  bool binary_column_ = false;   // 0x04 no code-page translation
  bool auto_increment_ = false;  // 0x08 filled by the native counter
};

constexpr int kShortNameArea = 11;
// Positions of the auto-increment counters, which appends patch in place.
constexpr int kShortNativeNextAutoIncOffset = 19;
constexpr int kShortNativeStepAutoIncOffset = 23;
constexpr int kShortNextAutoIncOffset = 24;
constexpr int kLongNextAutoIncOffset = 38;
constexpr int kLongNativeNextAutoIncOffset = 42;
constexpr int kLongNameArea = 32;
constexpr int kMaxDescriptorSize = 48;

class FIELD_REC {
 public:
  explicit FIELD_REC(xBaseVersion version = xBaseIII) : version_(version) { name_.fill(0); }

  // The version selects the layout read from and written to the file.
  xBaseVersion Version() const { return version_; }
  void SetVersion(xBaseVersion version) { version_ = version; }
  int Size() const { return DescriptorSize(version_); }
  int NameAreaSize() const { return HasLongDescriptors(version_) ? kLongNameArea : kShortNameArea; }

  // Name bytes up to the first zero, as stored (no trimming or case change);
  // limited to what the current layout can hold.
  std::string Name() const;
  // Zero-fills the whole name area and stores the name (cut to 31 bytes;
  // the short layout keeps only the first 10 when encoded).
  void SetName(const std::string& name);
  // Raw name area, for code-page conversion of the stored bytes.
  uint8_t* NameArea() { return name_.data(); }

  char FieldType() const { return static_cast<char>(type_); }
  void SetFieldType(char type) { type_ = static_cast<uint8_t>(type); }
  uint8_t ExtendType() const { return extend_type_; }
  void SetExtendType(uint8_t type) { extend_type_ = type; }
  // For C, 0 and the wide E strings the 16-bit length; else the length byte.
  uint16_t Len() const;
  void SetLen(uint16_t len) { len_ = len; }
  // 0 for the types with a 16-bit length.
  uint8_t Dec() const;
  void SetDec(uint8_t dec) { dec_ = dec; }
  uint8_t Flags() const { return flags_; }
  void SetFlags(uint8_t flags) { flags_ = flags; }
  uint32_t NextAutoInc() const { return next_auto_inc_; }
  void SetNextAutoInc(uint32_t v) { next_auto_inc_ = v; }
  uint32_t NativeNextAutoInc() const { return native_next_auto_inc_; }
  void SetNativeNextAutoInc(uint32_t v) { native_next_auto_inc_ = v; }
  uint8_t NativeStepAutoInc() const;
  void SetNativeStepAutoInc(uint8_t v) { native_step_auto_inc_ = v; }

  // Whether the length bytes form one 16-bit length for this descriptor.
  bool HasWideLength() const;

  // Reads Size() bytes of the current layout.
  void Decode(const uint8_t* bytes);
  // Writes Size() bytes of the current layout.
  void Encode(uint8_t* bytes) const;

 private:
  xBaseVersion version_;
  std::array<uint8_t, kLongNameArea> name_;  // zero-padded name bytes
  uint8_t type_ = 0;                         // type letter
  uint8_t extend_type_ = 0;                  // TQxDBFType ordinal for E
  uint16_t len_ = 0;                         // length (16-bit where wide)
  uint8_t dec_ = 0;                          // decimal count
  uint8_t flags_ = 0;                        // TFieldFlag byte
  uint32_t next_auto_inc_ = 0;               // engine's own counter
  uint32_t native_next_auto_inc_ = 1;        // native counter
  uint8_t native_step_auto_inc_ = 1;         // native step (short layout only)
};

}  // namespace qxdbf
