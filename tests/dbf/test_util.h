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

namespace qxdbf_test {

// A field descriptor for hand-built table files (32-byte layout).
struct RawField {
  std::string name;
  char type;
  uint8_t len;
  uint8_t dec = 0;
  uint8_t flags = 0;
  uint8_t ext = 0;
};

// Bytes of a table file with 32-byte descriptors, as another program might
// write it: header length 32n + 33 (ending right after the terminator)
// unless given, record length 1 + the len bytes unless given, the records as
// given (each a whole record image, deletion flag first), and a trailing
// 0x1A when `eof_marker`.
std::vector<uint8_t> BuildTable(const std::vector<RawField>& fields,
                                const std::vector<std::string>& records, uint8_t version = 0x03,
                                bool eof_marker = true, int header_length = -1,
                                int record_length = -1, uint32_t stored_count = 0xFFFFFFFF);

}  // namespace qxdbf_test

namespace qxdbf_test {
bool FileExists(const std::string& path);
}  // namespace qxdbf_test

namespace qxdbf_test {

// A program running beside the test, whose standard output is read line
// by line. The destructor waits for it (killing it first if asked).
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line of its output without the newline; empty at its end.
  std::string ReadLine();
  // Waits for it and answers its exit status (-1 when it did not exit).
  int Wait();

 private:
  int pid_ = -1;
  int out_ = -1;
  int status_ = -1;
};

// Path of the qxdbf tool.
std::string CliProgram();

}  // namespace qxdbf_test
