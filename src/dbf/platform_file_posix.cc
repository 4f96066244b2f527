// PlatformFile on Linux: open(2) with flock(2) share locks, pread/pwrite at a
// position kept here, and OFD byte-range locks. See platform_file.h for why
// these lock kinds were chosen.
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "dbf/platform_file.h"

namespace qxdbf {

namespace {

// The highest position and size a signed 32-bit offset can express.
constexpr int64_t kMaxPosition = 2147483647;

// O_NONBLOCK keeps an open of a FIFO or device named by mistake from hanging
// until a writer appears; such files are then refused as not regular. On a
// regular file the flag has no effect on reads and writes.
constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

int OpenRetrying(const char* path, int flags, mode_t mode) {
  int fd;
  do {
    fd = ::open(path, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

int FlockRetrying(int fd, int operation) {
  int rc;
  do {
    rc = ::flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

// 0 when `fd` is a regular file, else the error number to report.
int CheckRegular(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  return 0;
}

}  // namespace

PlatformFile::~PlatformFile() { Close(); }

bool PlatformFile::Fail(int error_number) {
  last_error_ = ErrorText(error_number);
  return false;
}

int32_t PlatformFile::FailWithMinusOne(int error_number) {
  Fail(error_number);
  return -1;
}

std::string PlatformFile::ErrorText(int error_number) {
  char buffer[256];
  // The GNU strerror_r answers a pointer that may or may not be `buffer`.
  return ::strerror_r(error_number, buffer, sizeof(buffer));
}

bool PlatformFile::Open(const std::string& path, int access, bool exclusive) {
  Close();
  int flags;
  switch (access) {
    case kFileAccessRead:
      flags = O_RDONLY;
      break;
    case kFileAccessWrite:
      flags = O_WRONLY;
      break;
    case kFileAccessReadWrite:
      flags = O_RDWR;
      break;
    default:
      return Fail(EINVAL);
  }
  const int fd = OpenRetrying(path.c_str(), flags | kOpenFlags, 0);
  if (fd < 0) return Fail(errno);
  int error = CheckRegular(fd);
  if (error == 0 && FlockRetrying(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
    error = errno;
  if (error != 0) {
    ::close(fd);
    return Fail(error);
  }
  fd_ = fd;
  writable_ = access != kFileAccessRead;
  position_ = 0;
  return true;
}

bool PlatformFile::Create(const std::string& path) {
  Close();
  const int fd = OpenRetrying(path.c_str(), O_RDWR | O_CREAT | kOpenFlags, 0666);
  if (fd < 0) return Fail(errno);
  int error = CheckRegular(fd);
  if (error == 0 && FlockRetrying(fd, LOCK_EX | LOCK_NB) != 0) error = errno;
  if (error == 0) {
    int rc;
    do {
      rc = ::ftruncate(fd, 0);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) error = errno;
  }
  if (error != 0) {
    ::close(fd);
    return Fail(error);
  }
  fd_ = fd;
  writable_ = true;
  position_ = 0;
  return true;
}

void PlatformFile::Close() {
  if (fd_ < 0) return;
  // On Linux the descriptor is gone even when close reports EINTR, so it is
  // never retried. The last close of the description drops its OFD locks
  // and its flock.
  ::close(fd_);
  fd_ = -1;
  writable_ = false;
  position_ = 0;
  held_.clear();
}

int32_t PlatformFile::Read(void* buffer, int32_t count) {
  if (fd_ < 0) return FailWithMinusOne(EBADF);
  if (count < 0 || (buffer == nullptr && count > 0)) return FailWithMinusOne(EINVAL);
  const int64_t wanted = std::min<int64_t>(count, kMaxPosition - position_);
  auto* bytes = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < wanted) {
    const ssize_t n = ::pread(fd_, bytes + done, static_cast<size_t>(wanted - done),
                              static_cast<off_t>(position_ + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
      if (done == 0) return -1;
      break;
    }
    if (n == 0) break;
    done += n;
  }
  position_ += done;
  return static_cast<int32_t>(done);
}

int32_t PlatformFile::Write(const void* buffer, int32_t count) {
  if (fd_ < 0) return FailWithMinusOne(EBADF);
  if (count < 0 || (buffer == nullptr && count > 0)) return FailWithMinusOne(EINVAL);
  if (position_ + count > kMaxPosition) return FailWithMinusOne(EFBIG);
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::pwrite(fd_, bytes + done, static_cast<size_t>(count - done),
                               static_cast<off_t>(position_ + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A write that makes no progress without an error would loop forever.
      Fail(n < 0 ? errno : ENOSPC);
      if (done == 0) return -1;
      break;
    }
    done += n;
  }
  position_ += done;
  return static_cast<int32_t>(done);
}

int32_t PlatformFile::Seek(int32_t offset, int origin) {
  if (fd_ < 0) return FailWithMinusOne(EBADF);
  int64_t base;
  switch (origin) {
    case kSeekFromBeginning:
      base = 0;
      break;
    case kSeekFromCurrent:
      base = position_;
      break;
    case kSeekFromEnd: {
      struct stat st;
      if (::fstat(fd_, &st) != 0) return FailWithMinusOne(errno);
      base = st.st_size;
      break;
    }
    default:
      return FailWithMinusOne(EINVAL);
  }
  const int64_t target = base + offset;
  if (target < 0) return FailWithMinusOne(EINVAL);
  if (target > kMaxPosition) return FailWithMinusOne(EOVERFLOW);
  position_ = target;
  return static_cast<int32_t>(target);
}

int32_t PlatformFile::GetSize() {
  if (fd_ < 0) return FailWithMinusOne(EBADF);
  struct stat st;
  if (::fstat(fd_, &st) != 0) return FailWithMinusOne(errno);
  if (st.st_size > kMaxPosition) return FailWithMinusOne(EOVERFLOW);
  return static_cast<int32_t>(st.st_size);
}

bool PlatformFile::Truncate() {
  if (fd_ < 0) return Fail(EBADF);
  int rc;
  do {
    rc = ::ftruncate(fd_, static_cast<off_t>(position_));
  } while (rc != 0 && errno == EINTR);
  return rc == 0 || Fail(errno);
}

bool PlatformFile::OverlapsHeld(uint64_t start, uint64_t end) const {
  auto next = held_.upper_bound(start);
  if (next != held_.end() && next->first < end) return true;
  if (next == held_.begin()) return false;
  return std::prev(next)->second > start;
}

bool PlatformFile::LockBytes(uint32_t offset, uint32_t length) {
  if (fd_ < 0) return Fail(EBADF);
  if (length == 0) return Fail(EINVAL);
  const uint64_t start = offset;
  const uint64_t end = start + length;
  if (OverlapsHeld(start, end)) return Fail(EAGAIN);
  struct flock request;
  std::memset(&request, 0, sizeof(request));
  request.l_type = writable_ ? F_WRLCK : F_RDLCK;
  request.l_whence = SEEK_SET;
  request.l_start = static_cast<off_t>(start);
  request.l_len = static_cast<off_t>(length);
  request.l_pid = 0;  // required for OFD locks
  while (::fcntl(fd_, F_OFD_SETLK, &request) != 0) {
    if (errno != EINTR) return Fail(errno);
  }
  held_.emplace(start, end);
  return true;
}

bool PlatformFile::UnlockBytes(uint32_t offset, uint32_t length) {
  if (fd_ < 0) return Fail(EBADF);
  const uint64_t start = offset;
  const auto held = held_.find(start);
  if (held == held_.end() || held->second != start + length) return Fail(EINVAL);
  struct flock request;
  std::memset(&request, 0, sizeof(request));
  request.l_type = F_UNLCK;
  request.l_whence = SEEK_SET;
  request.l_start = static_cast<off_t>(start);
  request.l_len = static_cast<off_t>(length);
  request.l_pid = 0;
  while (::fcntl(fd_, F_OFD_SETLK, &request) != 0) {
    if (errno != EINTR) return Fail(errno);
  }
  held_.erase(held);
  return true;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without RENAME_NOREPLACE: test first, then rename.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

int64_t FileModificationTime(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtime);
}

}  // namespace qxdbf
