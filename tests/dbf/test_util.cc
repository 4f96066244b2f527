#include "test_util.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qxdbf_test {

TempDir::TempDir() {
  std::string base = std::filesystem::temp_directory_path().string() + "/qxdbf-test-XXXXXX";
  std::vector<char> buf(base.begin(), base.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const { return path_ + "/" + name; }

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ChildProgram(const std::string& name) {
  return std::string(QXDBF_TEST_CHILD_DIR) + "/" + name;
}

int RunProgram(const std::vector<std::string>& argv) {
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace qxdbf_test

namespace qxdbf_test {

std::vector<uint8_t> BuildTable(const std::vector<RawField>& fields,
                                const std::vector<std::string>& records, uint8_t version,
                                bool eof_marker, int header_length, int record_length,
                                uint32_t stored_count) {
  if (header_length < 0) header_length = 32 * static_cast<int>(fields.size()) + 33;
  if (record_length < 0) {
    record_length = 1;
    for (const auto& f : fields) record_length += f.len;
  }
  const uint32_t count = stored_count == 0xFFFFFFFF ? records.size() : stored_count;
  std::vector<uint8_t> out(32, 0);
  out[0] = version;
  out[1] = 124;
  out[2] = 5;
  out[3] = 17;
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(count >> (8 * i));
  out[8] = static_cast<uint8_t>(header_length);
  out[9] = static_cast<uint8_t>(header_length >> 8);
  out[10] = static_cast<uint8_t>(record_length);
  out[11] = static_cast<uint8_t>(record_length >> 8);
  for (const auto& f : fields) {
    std::vector<uint8_t> d(32, 0);
    for (size_t i = 0; i < f.name.size() && i < 11; ++i) d[i] = static_cast<uint8_t>(f.name[i]);
    d[11] = static_cast<uint8_t>(f.type);
    d[12] = f.ext;
    d[16] = f.len;
    d[17] = f.dec;
    d[18] = f.flags;
    out.insert(out.end(), d.begin(), d.end());
  }
  out.push_back(0x0D);
  // A header length below the descriptors is kept in the header only: the
  // descriptors themselves are always written whole.
  while (static_cast<int>(out.size()) < header_length) out.push_back(0);
  for (const auto& r : records) out.insert(out.end(), r.begin(), r.end());
  if (eof_marker) out.push_back(0x1A);
  return out;
}

}  // namespace qxdbf_test

namespace qxdbf_test {
bool FileExists(const std::string& path) { return std::filesystem::exists(path); }
}  // namespace qxdbf_test

namespace qxdbf_test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(fds[1]);
  out_ = fds[0];
}

ChildProcess::~ChildProcess() {
  Wait();
}

std::string ChildProcess::ReadLine() {
  std::string line;
  char c;
  while (out_ >= 0 && read(out_, &c, 1) == 1) {
    if (c == '\n') return line;
    line += c;
  }
  return line;
}

int ChildProcess::Wait() {
  if (out_ >= 0) {
    // Drain what it still writes, so that it never dies of a broken pipe.
    char buf[256];
    while (read(out_, buf, sizeof(buf)) > 0) {
    }
    close(out_);
    out_ = -1;
  }
  if (pid_ > 0) {
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
  }
  return status_;
}

std::string CliProgram() { return QXDBF_CLI_PATH; }

}  // namespace qxdbf_test
