#include "dbf/lock_protocol.h"

namespace qxdbf {

const char* LockProtocolName(LockProtocolType protocol) {
  switch (protocol) {
    case lpNone: return "lpNone";
    case lpDB4Lock: return "lpDB4Lock";
    case lpClipperLock: return "lpClipperLock";
    case lpFoxLock: return "lpFoxLock";
    case lpClipperForFoxLob: return "lpClipperForFoxLob";
  }
  return "lpNone";
}

}  // namespace qxdbf
