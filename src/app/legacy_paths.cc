#include "app/legacy_paths.h"

#include <strings.h>

#include <filesystem>
#include <system_error>

namespace veltrix {

std::string LegacyPath(const std::string& directory, const std::string& name) {
  const std::string exact = directory + "/" + name;
  std::error_code error;
  if (std::filesystem::exists(exact, error)) return exact;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
    const std::string candidate = entry.path().filename().string();
    if (strcasecmp(candidate.c_str(), name.c_str()) == 0) return directory + "/" + candidate;
  }
  return exact;
}

std::string ArgumentOr(int argc, char** argv, int index, const std::string& fallback) {
  if (index < argc && argv[index] != nullptr && argv[index][0] != '\0') return argv[index];
  return fallback;
}

}  // namespace veltrix
