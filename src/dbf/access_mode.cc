// Packing and decoding of open and share modes.
#include "dbf/access_mode.h"

namespace qxdbf {

namespace {
constexpr uint32_t kAccessMask = 0x03;
constexpr uint32_t kInvalidAccess = 3;
constexpr int kShareShift = 4;
constexpr uint32_t kShareMask = 0x07;
}  // namespace

uint32_t AccessOf(uint32_t packed) { return packed & kAccessMask; }

uint32_t ShareOf(uint32_t packed) { return (packed >> kShareShift) & kShareMask; }

bool IsValidAccessMode(uint32_t packed) {
  return AccessOf(packed) != kInvalidAccess && ShareOf(packed) <= kLastValidShare;
}

bool IsExclusiveShare(uint32_t packed) { return ShareOf(packed) <= kLastExclusiveShare; }

uint32_t TAccessMode::AccessMode() const {
  uint32_t packed = 0;
  if (open_write_) packed |= kOpenWriteBit;
  if (open_read_write_) packed |= kOpenReadWriteBit;
  if (share_exclusive_) packed |= kShareExclusiveBit;
  if (share_deny_write_) packed |= kShareDenyWriteBit;
  if (share_deny_none_) packed |= kShareDenyNoneBit;
  last_access_mode_ = packed;
  return packed;
}

void TAccessMode::SetAccessMode(uint32_t packed) {
  open_read_ = true;
  open_write_ = (packed & kOpenWriteBit) != 0;
  open_read_write_ = (packed & kOpenReadWriteBit) != 0;
  share_exclusive_ = (packed & kShareExclusiveBit) != 0;
  share_deny_write_ = (packed & kShareDenyWriteBit) != 0;
  share_deny_none_ = (packed & kShareDenyNoneBit) != 0;
}

}  // namespace qxdbf
