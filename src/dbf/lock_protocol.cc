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

LockRange RecordLockRange(LockProtocolType protocol, int32_t recno, bool fox_by_recno,
                          uint32_t record_offset) {
  const auto n = static_cast<uint32_t>(recno);
  switch (protocol) {
    case lpDB4Lock: return {kDB4HeaderLock - 1 - n, 1};
    case lpClipperLock: return {kClipperLockBase + n, 1};
    case lpFoxLock:
      return fox_by_recno ? LockRange{kFoxHeaderLock - n, 1}
                          : LockRange{record_offset + kFoxByPositionBase, 1};
    case lpClipperForFoxLob: return {n, 1};
    default: return {0, 0};
  }
}

LockRange HeaderLockRange(LockProtocolType protocol) {
  switch (protocol) {
    case lpDB4Lock: return {kDB4HeaderLock, 1};
    case lpClipperLock: return {kClipperLockBase, 1};
    case lpFoxLock: return {kFoxHeaderLock, 1};
    case lpClipperForFoxLob: return {0, 1};
    default: return {0, 0};
  }
}

LockRange FileLockRange(LockProtocolType protocol) {
  switch (protocol) {
    case lpDB4Lock: return {kDB4FileLockStart, kDB4FileLockLength};
    case lpClipperLock: return {kClipperLockBase + 1, kClipperFileLockLength};
    case lpFoxLock: return {kFoxFileLockStart, kFoxFileLockLength};
    case lpClipperForFoxLob: return {1, kFoxLobFileLockLength};
    default: return {0, 0};
  }
}

LockRange LobLockRange(LockProtocolType protocol) {
  switch (protocol) {
    case lpDB4Lock: return {kDB4HeaderLock, 1};
    case lpClipperLock: return {kClipperLockBase, 1};
    case lpFoxLock: return {kFoxByPositionBase, 1};
    case lpClipperForFoxLob: return {0, 1};
    default: return {0, 0};
  }
}

}  // namespace qxdbf
