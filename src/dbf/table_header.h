// The 32-byte table header and the table flags byte.
//
// Layout of the first 32 bytes of every table file (little-endian):
//
//   OFFSET SIZE DESCRIPTION
//        0    1 version byte (see xbase_version.h)
//        1    3 date of last update: year - 1900, month, day
//        4    4 record count, unsigned; kept in the image, never trusted
//        8    2 header length: file offset of record 1
//       10    2 record length, deletion flag included
//       12   16 reserved, zero
//       28    1 table flags (0x01 index, 0x02 memo, 0x04 database container)
//       29    1 code page byte, not interpreted
//       30    2 reserved, zero
//
// dBase V and VII tables follow the header with a 36-byte extension whose
// content is ignored. The record count is always recomputed from the file
// size, because other programs leave it stale and a crash between writing a
// record and rewriting the header would make it wrong.
#pragma once

#include <array>
#include <cstdint>

#include "dbf/coding.h"

namespace qxdbf {

constexpr int kHeaderSize = 32;
constexpr int kHeaderExtensionSize = 36;
constexpr int kHeaderVersionOffset = 0;
constexpr int kHeaderDateOffset = 1;
constexpr int kHeaderCountOffset = 4;
constexpr int kHeaderLengthOffset = 8;
constexpr int kHeaderRecordLengthOffset = 10;
constexpr int kHeaderFlagsOffset = 28;
constexpr int kHeaderCodePageOffset = 29;

constexpr uint8_t kDescriptorTerminator = 0x0D;
constexpr uint8_t kEndOfFileMarker = 0x1A;
constexpr uint8_t kLiveRecordFlag = 0x20;
constexpr uint8_t kDeletedRecordFlag = 0x2A;
// Visual FoxPro reserves this many zero bytes after the terminator (the
// database container back link).
constexpr int kVisualFoxProBacklinkSize = 263;

// The table flags byte. Setting the packed value keeps only the three known
// bits; other bits are dropped.
class TTableFlag {
 public:
  uint8_t TableFlag() const;
  void SetTableFlag(uint8_t value);

  bool HasGotIndex() const { return has_got_index_; }
  void SetHasGotIndex(bool v) { has_got_index_ = v; }
  bool HasGotMemo() const { return has_got_memo_; }
  void SetHasGotMemo(bool v) { has_got_memo_ = v; }
  bool ItIsDatabase() const { return it_is_database_; }
  void SetItIsDatabase(bool v) { it_is_database_ = v; }

 private:
  bool has_got_index_ = false;   // 0x01
  bool has_got_memo_ = false;    // 0x02
  bool it_is_database_ = false;  // 0x04
};

// In-memory image of the 32 header bytes, with typed accessors.
class TableHeader {
 public:
  TableHeader() { bytes_.fill(0); }

  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }

  uint8_t VersionByte() const { return bytes_[kHeaderVersionOffset]; }
  void SetVersionByte(uint8_t v) { bytes_[kHeaderVersionOffset] = v; }
  uint32_t RecordCount() const { return DecodeLE32(&bytes_[kHeaderCountOffset]); }
  void SetRecordCount(uint32_t n) { EncodeLE32(&bytes_[kHeaderCountOffset], n); }
  uint16_t HeaderLength() const { return DecodeLE16(&bytes_[kHeaderLengthOffset]); }
  void SetHeaderLength(uint16_t n) { EncodeLE16(&bytes_[kHeaderLengthOffset], n); }
  uint16_t RecordLength() const { return DecodeLE16(&bytes_[kHeaderRecordLengthOffset]); }
  void SetRecordLength(uint16_t n) { EncodeLE16(&bytes_[kHeaderRecordLengthOffset], n); }
  uint8_t Flags() const { return bytes_[kHeaderFlagsOffset]; }
  void SetFlags(uint8_t f) { bytes_[kHeaderFlagsOffset] = f; }
  uint8_t CodePage() const { return bytes_[kHeaderCodePageOffset]; }

  // Date of last update as stored: year - 1900, month, day.
  void SetDate(int year, int month, int day);
  void SetDateToday();
  int Year() const { return 1900 + bytes_[kHeaderDateOffset]; }
  int Month() const { return bytes_[kHeaderDateOffset + 1]; }
  int Day() const { return bytes_[kHeaderDateOffset + 2]; }

 private:
  std::array<uint8_t, kHeaderSize> bytes_;
};

}  // namespace qxdbf
