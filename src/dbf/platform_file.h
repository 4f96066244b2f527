// The engine's one door to the operating system's files.
//
// Every open, read, write, seek, lock and file-system call of the engine goes
// through this header; only platform_file_posix.cc includes the system file
// headers. The tables this engine shares with the legacy programs were made
// for a platform whose opens carry share modes and whose byte-range locks are
// exclusive per handle, so this layer rebuilds those rules on Linux:
//
// Share modes are whole-file flock() locks, taken without waiting when the
// file is opened: an exclusive open takes LOCK_EX, every sharing open LOCK_SH.
// The Clipper-compatible runtime the legacy programs use on Linux does the
// same on its tables, so our exclusive opens and theirs keep each other out.
// A refused flock makes the open fail, as a sharing violation does.
//
// Byte-range locks are open-file-description (OFD) locks, never classic POSIX
// record locks, because classic locks belong to the process: two table
// objects of one process on the same file would not exclude each other, and
// closing any descriptor of the file (a second table, a copy, a size probe)
// would silently drop every lock the process holds on it. OFD locks belong to
// the one descriptor that took them, like locks on a Windows handle, and they
// still conflict with the classic record locks other programs take at the
// same positions.
//
// OFD locks taken through one descriptor never conflict with each other: a
// second lock over a held range just merges into it, and unlocking a range
// that is not locked succeeds. The lock protocols depend on both being
// refused (a table's header byte inside its own file range must not lock;
// an unlock without a prior lock must answer false), so each PlatformFile
// keeps the table of ranges it holds and checks it before asking the kernel.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace qxdbf {

// Seek origins, as the callers pass them.
constexpr int kSeekFromBeginning = 0;
constexpr int kSeekFromCurrent = 1;
constexpr int kSeekFromEnd = 2;

// The access part of an open.
constexpr int kFileAccessRead = 0;
constexpr int kFileAccessWrite = 1;
constexpr int kFileAccessReadWrite = 2;

// One open file. Positions and sizes follow the signed 32-bit rules of the
// table formats: nothing beyond 2147483647 is addressed, and a result of -1
// means failure, whose system text LastErrorText() gives. Not thread-safe;
// the owner serialises its use.
class PlatformFile {
 public:
  PlatformFile() = default;
  ~PlatformFile();
  PlatformFile(const PlatformFile&) = delete;
  PlatformFile& operator=(const PlatformFile&) = delete;

  // Opens the existing regular file `path` (never creates it) with access
  // kFileAccessRead, kFileAccessWrite or kFileAccessReadWrite and takes the
  // share lock without waiting: LOCK_EX when `exclusive`, LOCK_SH otherwise.
  // When the file is missing, the access invalid or the share lock refused,
  // answers false and stays closed. An open file is closed first.
  bool Open(const std::string& path, int access, bool exclusive);
  // Creates `path` for reading and writing, or empties it when it exists,
  // holding LOCK_EX. The existing file is emptied only after the exclusive
  // lock is granted, so a file someone else has open is left untouched.
  bool Create(const std::string& path);
  // Closes the descriptor, which releases the share lock and every byte-range
  // lock, and forgets the held ranges. Does nothing when closed.
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Reads up to `count` bytes at the position; answers the bytes read (0 at
  // the end of the file, fewer than asked only at the end or when an error
  // follows a partial read), -1 on an error before any byte.
  int32_t Read(void* buffer, int32_t count);
  // Writes `count` bytes at the position; answers the bytes written, fewer
  // than asked when the system stopped part-way (its text is kept), -1 on an
  // error before any byte. A write that would end past 2147483647 writes
  // nothing and answers -1.
  int32_t Write(const void* buffer, int32_t count);
  // Moves to `offset` from kSeekFromBeginning, kSeekFromCurrent or
  // kSeekFromEnd; answers the new position. A negative result, one past
  // 2147483647 or an unknown origin answers -1 and leaves the position. A
  // position past the end is allowed; a write there extends the file.
  int32_t Seek(int32_t offset, int origin);
  // The file size without moving the position; -1 on error or when the file
  // is larger than 2147483647 bytes.
  int32_t GetSize();
  // Ends the file at the current position.
  bool Truncate();

  // Locks bytes [offset, offset + length) without waiting. Refused when any
  // byte is locked by another descriptor or process, when this file already
  // holds an overlapping range, and for a length of 0 (which the kernel
  // would read as "to the end of all offsets"). A write lock where the
  // descriptor allows writing; a read-only descriptor can only take a read
  // lock, which still keeps out every writer's lock.
  bool LockBytes(uint32_t offset, uint32_t length);
  // Releases exactly a range this file locked; any other range answers false.
  bool UnlockBytes(uint32_t offset, uint32_t length);

  // System text of the last failure of this file.
  const std::string& LastErrorText() const { return last_error_; }

  // System text for an error number.
  static std::string ErrorText(int error_number);

 private:
  // Record the system text of `error_number`; answer false (or -1).
  bool Fail(int error_number);
  int32_t FailWithMinusOne(int error_number);
  bool OverlapsHeld(uint64_t start, uint64_t end) const;

  int fd_ = -1;                        // descriptor; -1 when closed
  bool writable_ = false;              // opened with write access
  int64_t position_ = 0;               // 0 .. 2147483647
  std::map<uint64_t, uint64_t> held_;  // locked ranges: start -> end (exclusive)
  std::string last_error_;             // text of the last failure
};

// A regular file exists at `path` (directories do not count).
bool FileExists(const std::string& path);
// Removes the file; false when it could not be removed.
bool DeleteFile(const std::string& path);
// Renames `from` to `to`; refused (false) when `to` exists, so a rename never
// replaces a file by accident.
bool RenameFile(const std::string& from, const std::string& to);
// Last modification of the file in seconds since 1970-01-01 UTC; -1 when the
// file cannot be examined.
int64_t FileModificationTime(const std::string& path);

}  // namespace qxdbf
