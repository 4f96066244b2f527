#include "bench_util.h"

#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "dbf/field_def.h"
#include "dbf/proxy_stream.h"
#include "dbf/table_creator.h"
#include "dbf/table_header.h"

namespace qxdbf_bench {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "veltrix-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(), "cannot create a scratch directory");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::File(const std::string& name) const { return path_ + "/" + name; }

double NowSeconds() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

long CurrentRssKib() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  long pages_total = 0, pages_resident = 0;
  const int read = std::fscanf(statm, "%ld %ld", &pages_total, &pages_resident);
  std::fclose(statm);
  if (read != 2) return 0;
  return pages_resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TableShape CreateTable(const std::string& path, const std::vector<FieldSpec>& fields) {
  qxdbf::TQxDBFFieldDefs defs(qxdbf::xBaseIII);
  for (const FieldSpec& f : fields) defs.Add(f.name, f.type, f.len, f.dec);
  qxdbf::TProxyStream proxy;
  proxy.SetFileName(path);
  qxdbf::TTableFlag flags;
  const qxdbf::CreatedTable created = qxdbf::CreateTableFile(proxy, defs, qxdbf::xBaseIII, flags, false);
  TableShape shape;
  shape.header_length = created.header_length;
  shape.record_length = created.record_length;
  for (int i = 0; i < defs.Count(); ++i) shape.offsets.push_back(defs[i].Offset());
  return shape;
}

int64_t CountArgument(int argc, char** argv, int index, int64_t fallback) {
  if (index >= argc) return fallback;
  const std::string text = argv[index];
  size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || value <= 0)
    throw std::invalid_argument("not a positive count: \"" + text + "\"");
  return value;
}

std::string Grouped(double value) {
  const std::string digits = std::to_string(static_cast<long long>(value + 0.5));
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

}  // namespace qxdbf_bench
