#include "dbf/temp_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "dbf/mem_mgr.h"

namespace qxdbf {

namespace {

constexpr char kPrefix[] = "QxT";
constexpr char kUniqueTail[] = "XXXXXX";  // replaced by mkstemp
// The path buffers historically held a 260-character path and its zero; the
// buffer grows beyond that when a longer directory is given, rather than
// failing on a path the file system accepts.
constexpr int32_t kMinPathBuffer = 261;

std::string SystemTempDirectory() {
  const char* env = std::getenv("TMPDIR");
  std::string dir = (env != nullptr && *env != '\0') ? env : "/tmp";
  // Cut at the first blank or control character, keeping a separator there.
  for (size_t i = 0; i < dir.size(); ++i) {
    if (static_cast<unsigned char>(dir[i]) < 33) {
      dir.resize(i);
      dir += '/';
      break;
    }
  }
  return dir;
}

std::string CurrentDirectory() {
  std::error_code error;
  std::filesystem::path cwd = std::filesystem::current_path(error);
  return error ? std::string() : cwd.string();
}

}  // namespace

std::string MakeTempFileName(const std::string& directory) {
  std::string dir;
  if (directory == kSystemTempPath)
    dir = SystemTempDirectory();
  else if (directory.empty())
    dir = CurrentDirectory();
  else
    dir = directory;
  if (dir.empty() || dir.find('\0') != std::string::npos) return std::string();
  if (dir.back() != '/') dir += '/';

  const std::string pattern = dir + kPrefix + kUniqueTail;
  const size_t needed = pattern.size() + 1;
  if (needed > static_cast<size_t>(INT32_MAX)) return std::string();
  // mkstemp rewrites its template in place, so it works in a tracked buffer.
  TrackedBuffer name("MakeTempFileName",
                     std::max<int32_t>(kMinPathBuffer, static_cast<int32_t>(needed)));
  char* text = reinterpret_cast<char*>(name.data());
  std::memset(text, 0, static_cast<size_t>(name.size()));
  std::memcpy(text, pattern.data(), pattern.size());

  const int fd = ::mkstemp(text);
  if (fd < 0) return std::string();
  ::close(fd);
  return std::string(text);
}

}  // namespace qxdbf
