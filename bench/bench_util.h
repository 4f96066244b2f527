// Helpers shared by the benchmark programs: a scratch directory, a clock,
// the process's peak memory, table creation from a field list, and the
// argument and number formatting the reports use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qxdbf_bench {

// A fresh directory under the system temporary directory (TMPDIR when set),
// removed with its contents when the object goes away, so that a run that
// fails part-way leaves no half-gigabyte table behind.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path() + "/" + name
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

// Seconds on a monotonic clock, for differences only.
double NowSeconds();

// Peak resident set size of this process in KiB (getrusage ru_maxrss).
long PeakRssKib();
// Resident set size of this process right now in KiB (0 when unknown).
long CurrentRssKib();

// One field of a table to create: the DBF descriptor's name, type letter,
// length and decimals.
struct FieldSpec {
  const char* name;
  char type;
  uint16_t len;
  uint16_t dec;
};

struct TableShape {
  int32_t header_length = 0;
  int32_t record_length = 0;
  // Offset of each field in the record, in the order the fields were given.
  std::vector<int32_t> offsets;
};

// Creates (replacing) an empty dBase III table at `path` through the
// engine's table creation. Raises the engine's error when it cannot.
TableShape CreateTable(const std::string& path, const std::vector<FieldSpec>& fields);

// Argument `index` of the command line as a positive count, or `fallback`
// when absent. Raises std::invalid_argument for anything but a positive
// whole number.
int64_t CountArgument(int argc, char** argv, int index, int64_t fallback);

// A rate with thousands separators, e.g. "1,234,567".
std::string Grouped(double value);

}  // namespace qxdbf_bench
