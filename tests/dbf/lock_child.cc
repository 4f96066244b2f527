// A second program for the storage tests: it tries one open or lock on a file
// while the test process holds its own, and reports through its exit status
// whether it was granted (0), refused (1) or the arguments were wrong (2).
//
//   lock_child open-exclusive FILE          open through a proxy, mode 18
//   lock_child open-shared FILE             open through a proxy, mode 66
//   lock_child lock FILE OFFSET LENGTH      open shared, then lock the range
//   lock_child posix-lock FILE OFFSET LENGTH
//       a classic process-owned record lock (lockf), the kind the legacy
//       programs' runtime takes at the same positions, without the proxy
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dbf/proxy_stream.h"

namespace {

constexpr int kGranted = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

bool ParseUint32(const char* text, uint32_t* value) {
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0' || parsed > 0xFFFFFFFFull) return false;
  *value = static_cast<uint32_t>(parsed);
  return true;
}

int OpenThroughProxy(const std::string& path, uint32_t packed, qxdbf::TProxyStream& proxy) {
  proxy.SetFileName(path);
  proxy.AccessMode().SetAccessMode(packed);
  proxy.Open();
  return proxy.IsOpen() ? kGranted : kRefused;
}

int PosixLock(const std::string& path, uint32_t offset, uint32_t length) {
  std::FILE* file = std::fopen(path.c_str(), "r+");
  if (file == nullptr) return kUsage;
  const int fd = fileno(file);
  const bool granted = ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0 &&
                       ::lockf(fd, F_TLOCK, static_cast<off_t>(length)) == 0;
  std::fclose(file);
  return granted ? kGranted : kRefused;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return kUsage;
  const std::string mode = argv[1];
  const std::string path = argv[2];
  qxdbf::TProxyStream proxy;
  if (mode == "open-exclusive" && argc == 3) return OpenThroughProxy(path, 18, proxy);
  if (mode == "open-shared" && argc == 3) return OpenThroughProxy(path, 66, proxy);
  uint32_t offset = 0;
  uint32_t length = 0;
  if (argc != 5 || !ParseUint32(argv[3], &offset) || !ParseUint32(argv[4], &length)) return kUsage;
  if (mode == "lock") {
    if (OpenThroughProxy(path, 66, proxy) != kGranted) return kUsage;
    return proxy.Lock(offset, length) ? kGranted : kRefused;
  }
  if (mode == "posix-lock") return PosixLock(path, offset, length);
  return kUsage;
}
