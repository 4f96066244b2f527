// Lock layouts a table can share with other programs.
#pragma once

#include <cstdint>

namespace qxdbf {

enum LockProtocolType : uint8_t {
  lpNone,             // no byte-range locks
  lpDB4Lock,          // dBase IV layout
  lpClipperLock,      // Clipper layout: record n at 1000000000 + n
  lpFoxLock,          // FoxPro layout
  lpClipperForFoxLob, // Clipper layout for FoxPro memo files
};

const char* LockProtocolName(LockProtocolType protocol);

}  // namespace qxdbf
