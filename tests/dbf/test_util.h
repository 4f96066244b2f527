// Shared helpers of the engine tests: temporary folders and raw file access.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qxdbf_test {

// A fresh directory under the system temporary directory, removed with its
// contents when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

std::vector<uint8_t> ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes);

// Path of a helper program built beside the tests (tests/dbf/*_child.cc).
std::string ChildProgram(const std::string& name);

// Runs a program with arguments and waits for it; answers its exit status
// (or -1 when it did not exit normally).
int RunProgram(const std::vector<std::string>& argv);

}  // namespace qxdbf_test
