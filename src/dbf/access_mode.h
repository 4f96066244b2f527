// The open and share mode of a file, as six switches and one packed number.
//
// The packed number is what the file open receives, in the layout of the
// legacy platform's open call, and it is how tables store their mode:
//
//   bits 0-1  access: 0 read, 1 write, 2 read and write, 3 invalid
//   bits 4-6  sharing, read as a number: 0 and 1 no sharing (exclusive),
//             2 others may read, 3 others may write, 4 others may read and
//             write, 5 to 7 invalid
//
// The bridge's tables use 66 (0x42: read-write, shared with everybody) and
// 18 (0x12: read-write, exclusive).
#pragma once

#include <cstdint>

namespace qxdbf {

constexpr uint32_t kOpenWriteBit = 0x01;
constexpr uint32_t kOpenReadWriteBit = 0x02;
constexpr uint32_t kShareExclusiveBit = 0x10;
constexpr uint32_t kShareDenyWriteBit = 0x20;
constexpr uint32_t kShareDenyNoneBit = 0x40;

// Sharing numbers of bits 4-6: up to 1 nobody else may open the file; past 4
// the value is invalid.
constexpr uint32_t kLastExclusiveShare = 1;
constexpr uint32_t kLastValidShare = 4;

// Bits 0-1 of a packed value (0..3).
uint32_t AccessOf(uint32_t packed);
// Bits 4-6 of a packed value read as a number (0..7).
uint32_t ShareOf(uint32_t packed);
// The access is 0, 1 or 2 and the sharing 0 to 4; anything else makes an
// open fail.
bool IsValidAccessMode(uint32_t packed);
// Sharing 0 or 1: nobody else may open the file.
bool IsExclusiveShare(uint32_t packed);

class TAccessMode {
 public:
  // Defaults: read access, exclusive (packed 0x10).
  TAccessMode() = default;

  bool OpenRead() const { return open_read_; }
  void SetOpenRead(bool value) { open_read_ = value; }
  bool OpenWrite() const { return open_write_; }
  void SetOpenWrite(bool value) { open_write_ = value; }
  bool OpenReadWrite() const { return open_read_write_; }
  void SetOpenReadWrite(bool value) { open_read_write_ = value; }
  bool ShareExclusive() const { return share_exclusive_; }
  void SetShareExclusive(bool value) { share_exclusive_ = value; }
  bool ShareDenyWrite() const { return share_deny_write_; }
  void SetShareDenyWrite(bool value) { share_deny_write_ = value; }
  bool ShareDenyNone() const { return share_deny_none_; }
  void SetShareDenyNone(bool value) { share_deny_none_ = value; }

  // The switches packed (OpenRead has no bit: reading is the absence of the
  // two write bits). Also stores the result as LastAccessMode().
  uint32_t AccessMode() const;
  // Clears all six switches, sets OpenRead, then sets each switch whose bit
  // is present; other bits are dropped. LastAccessMode() is not refreshed.
  void SetAccessMode(uint32_t packed);

  // The value of the last AccessMode() read (0 before any read). The lock
  // code reads it to learn whether the file was opened so that nobody else
  // can write it.
  uint32_t LastAccessMode() const { return last_access_mode_; }

 private:
  bool open_read_ = true;
  bool open_write_ = false;
  bool open_read_write_ = false;
  bool share_exclusive_ = true;
  bool share_deny_write_ = false;
  bool share_deny_none_ = false;
  mutable uint32_t last_access_mode_ = 0;  // cache of the last packed read
};

}  // namespace qxdbf
