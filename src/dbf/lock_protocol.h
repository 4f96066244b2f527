// Lock layouts a table shares with other programs, and where each lock
// lies.
//
// The positions are agreed numbers far beyond any real file size, not data:
// a program that wants to write record n locks the one byte the layout
// assigns to n, so that every program using the same layout keeps out of
// the others' way. Clipper's layout puts record n at 1000000000 + n, the
// header just below at 1000000000 and the whole-table lock over the
// 1000000000 bytes from 1000000001, so a file lock covers every record byte
// but not the header byte.
#pragma once

#include <cstdint>

namespace qxdbf {

enum LockProtocolType : uint8_t {
  lpNone,             // no byte-range locks
  lpDB4Lock,          // dBase IV layout
  lpClipperLock,      // Clipper layout
  lpFoxLock,          // FoxPro layout
  lpClipperForFoxLob, // Clipper layout for FoxPro memo files
};

const char* LockProtocolName(LockProtocolType protocol);

struct LockRange {
  uint32_t offset;
  uint32_t length;
};

constexpr uint32_t kClipperLockBase = 1000000000u;        // header byte; record n at base + n
constexpr uint32_t kClipperFileLockLength = 1000000000u;  // from base + 1
constexpr uint32_t kDB4HeaderLock = 0xEFFFFFFFu;          // record n at 0xEFFFFFFE - n
constexpr uint32_t kDB4FileLockStart = 0x40000000u;
constexpr uint32_t kDB4FileLockLength = 0xB0000000u;
constexpr uint32_t kFoxHeaderLock = 0x7FFFFFFEu;          // record n at 0x7FFFFFFE - n
constexpr uint32_t kFoxFileLockStart = 0x79435E67u;
constexpr uint32_t kFoxFileLockLength = 0x06BCA198u;
constexpr uint32_t kFoxLobFileLockLength = 0xEFFFFFFFu;   // from 1
constexpr uint32_t kFoxByPositionBase = 0x40000000u;      // added to a record's file offset

// The byte of record `recno` (from 1). `record_offset` is the record's file
// position, used by lpFoxLock tables that do not lock by record number.
LockRange RecordLockRange(LockProtocolType protocol, int32_t recno, bool fox_by_recno,
                          uint32_t record_offset);
LockRange HeaderLockRange(LockProtocolType protocol);
LockRange FileLockRange(LockProtocolType protocol);
LockRange LobLockRange(LockProtocolType protocol);

}  // namespace qxdbf
