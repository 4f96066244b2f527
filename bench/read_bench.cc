// Sequential read of a large product table three ways: the bare file read,
// a minimal hand-written record loop, and the engine's cursor with field
// access, as the catalogue export walks the legacy product table.
//
//   read_bench [RECORDS]      (default 1000000)
//
// The table is generated once in a scratch directory; every timing is the
// best of three runs over the same (page-cached) file. The engine runs with
// its default BufferSize and once more with a 64 KiB one. The hand loop and
// the engine must agree on what they read, or the run fails.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "bench_util.h"
#include "dbf/smart_dbf.h"
#include "product_table.h"

namespace qxdbf_bench {
namespace {

constexpr int64_t kDefaultRecords = 1000000;
constexpr size_t kBlockSize = 64 * 1024;
constexpr int kRuns = 3;
// A second engine run with a read window as large as the hand loop's
// blocks, to tell the cost of the small default window from the rest.
constexpr int32_t kWideBuffer = 64 * 1024;
// Read-only, others may read and write: the catalogue export must never
// keep the legacy programs out of their product table.
constexpr uint32_t kReadSharedMode = 0x40;

// What a walk saw, for comparing the hand loop with the engine.
struct Totals {
  int64_t records = 0;
  int64_t text_check = 0;
  double quant_sum = 0;
  bool operator==(const Totals&) const = default;
};

// Kept out of line so that both loops really build their strings and the
// number, the way a caller handing them on would.
[[gnu::noinline]] void Consume(const std::string& codigo, const std::string& nome, double quant,
                               Totals& totals) {
  ++totals.records;
  totals.text_check += static_cast<int64_t>(codigo.size()) + (codigo.empty() ? 0 : codigo.back()) +
                       static_cast<int64_t>(nome.size()) + (nome.empty() ? 0 : nome.front());
  totals.quant_sum += quant;
}

class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
    if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "opening " + path);
  }
  ~ReadOnlyFile() { ::close(fd_); }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Answers the bytes read, 0 at the end of the file.
  size_t Read(char* buffer, size_t count) {
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, count);
      if (n >= 0) return static_cast<size_t>(n);
      if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "reading");
    }
  }
  void SeekTo(off_t position) {
    if (::lseek(fd_, position, SEEK_SET) != position)
      throw std::system_error(errno, std::generic_category(), "seeking");
  }

 private:
  int fd_;
};

// The floor: every byte of the file through read(2), nothing looked at but
// one byte per block.
uint64_t RawRead(const std::string& path) {
  ReadOnlyFile file(path);
  std::vector<char> block(kBlockSize);
  uint64_t sum = 0;
  while (size_t n = file.Read(block.data(), block.size())) sum += static_cast<unsigned char>(block[n - 1]);
  return sum;
}

// Where a product field lies in the record and how wide it is.
struct Slice {
  size_t offset;
  size_t length;
};

Slice SliceOf(const TableShape& shape, const char* name) {
  const auto index = static_cast<size_t>(ProductFieldIndex(name));
  return {static_cast<size_t>(shape.offsets[index]), ProductFields()[index].len};
}

// What a programmer would write by hand: 64 KiB blocks from the first
// record on, records cut out by offset, a trailing part carried over to the
// next block. CODIGO and NOME in the engine's form (the stored text, blanks
// included), QUANT through strtod. Out of line, like EngineWalk, so that a
// profiler can single out each loop (callgrind --toggle-collect).
[[gnu::noinline]] Totals HandLoop(const std::string& path, const TableShape& shape) {
  const size_t length = static_cast<size_t>(shape.record_length);
  const Slice codigo = SliceOf(shape, "CODIGO");
  const Slice nome = SliceOf(shape, "NOME");
  const Slice quant = SliceOf(shape, "QUANT");
  char number[64];
  if (quant.length >= sizeof number) throw std::logic_error("QUANT is wider than the number buffer");

  ReadOnlyFile file(path);
  file.SeekTo(shape.header_length);
  std::vector<char> buffer(kBlockSize + length);
  Totals totals;
  size_t held = 0;
  while (size_t n = file.Read(buffer.data() + held, kBlockSize)) {
    held += n;
    size_t at = 0;
    for (; held - at >= length; at += length) {
      const char* record = buffer.data() + at;
      std::memcpy(number, record + quant.offset, quant.length);
      number[quant.length] = '\0';
      Consume(std::string(record + codigo.offset, codigo.length), std::string(record + nome.offset, nome.length),
              std::strtod(number, nullptr), totals);
    }
    std::memmove(buffer.data(), buffer.data() + at, held - at);
    held -= at;
  }
  return totals;
}

// The engine as the export drives it: read-only shared open, First/Next to
// the end, fields looked up once.
[[gnu::noinline]] Totals EngineWalk(const std::string& path, int32_t buffer_size, int64_t& read_calls) {
  qxdbf::TQxDBFNTX table;
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(kReadSharedMode);
  table.SetBufferSize(buffer_size);
  table.Open();
  qxdbf::TField& codigo = table.FieldByName("CODIGO");
  qxdbf::TField& nome = table.FieldByName("NOME");
  qxdbf::TField& quant = table.FieldByName("QUANT");
  Totals totals;
  for (table.First(); !table.Eof(); table.Next()) Consume(codigo.AsString(), nome.AsString(), quant.AsFloat(), totals);
  read_calls = table.ReadCalls();
  table.Close();
  return totals;
}

struct Best {
  double seconds = 1e300;
  void Take(double s) {
    if (s < seconds) seconds = s;
  }
};

template <typename Body>
double Timed(Body&& body) {
  const double start = NowSeconds();
  body();
  return NowSeconds() - start;
}

void PrintRow(const char* what, double seconds, int64_t records, double megabytes) {
  std::printf("  %-34s %8.3f s %14s records/s %8.0f MB/s\n", what, seconds,
              Grouped(static_cast<double>(records) / seconds).c_str(), megabytes / seconds);
}

void ReportDisagreement(const char* what, const Totals& hand, const Totals& engine) {
  std::fprintf(stderr,
               "read_bench: %s disagrees with the hand loop: hand %lld records, check %lld, QUANT sum "
               "%.3f; engine %lld records, check %lld, QUANT sum %.3f\n",
               what, static_cast<long long>(hand.records), static_cast<long long>(hand.text_check),
               hand.quant_sum, static_cast<long long>(engine.records), static_cast<long long>(engine.text_check),
               engine.quant_sum);
}

int Run(int argc, char** argv) {
  const int64_t records = CountArgument(argc, argv, 1, kDefaultRecords);
  const int32_t default_buffer = qxdbf::TQxDBFNTX().BufferSize();
  ScratchDir dir;
  const std::string path = dir.File("kq000006.dat");

  const double generate_start = NowSeconds();
  const TableShape shape = WriteProductTable(path, records);
  const double generate_seconds = NowSeconds() - generate_start;
  const double megabytes =
      (static_cast<double>(shape.header_length) + static_cast<double>(records) * shape.record_length + 1) / 1e6;
  std::printf("read_bench: %s records of %d bytes (%zu fields), %.1f MB, generated in %.2f s\n",
              Grouped(static_cast<double>(records)).c_str(), shape.record_length, ProductFields().size(),
              megabytes, generate_seconds);
  std::printf("  (the file was just written, so every run reads it from the page cache)\n");

  const uint64_t raw_sum = RawRead(path);  // warm-up, and the reference for later runs
  Best raw, hand, engine, engine_wide;
  Totals hand_totals, engine_totals, wide_totals;
  int64_t read_calls = 0, wide_read_calls = 0;
  long peak_before_engine = 0, peak_after_engine = 0;
  for (int run = 0; run < kRuns; ++run) {
    uint64_t sum = 0;
    raw.Take(Timed([&] { sum = RawRead(path); }));
    if (sum != raw_sum) throw std::runtime_error("raw reads disagree");
    hand.Take(Timed([&] { hand_totals = HandLoop(path, shape); }));
    if (run == 0) peak_before_engine = PeakRssKib();
    engine.Take(Timed([&] { engine_totals = EngineWalk(path, default_buffer, read_calls); }));
    if (run == kRuns - 1) peak_after_engine = PeakRssKib();
    engine_wide.Take(Timed([&] { wide_totals = EngineWalk(path, kWideBuffer, wide_read_calls); }));
  }

  if (hand_totals.records != records) {
    std::fprintf(stderr, "read_bench: the hand loop read %lld records of %lld\n",
                 static_cast<long long>(hand_totals.records), static_cast<long long>(records));
    return 1;
  }
  if (!(engine_totals == hand_totals)) {
    ReportDisagreement("the engine", hand_totals, engine_totals);
    return 1;
  }
  if (!(wide_totals == hand_totals)) {
    ReportDisagreement("the engine with the wide buffer", hand_totals, wide_totals);
    return 1;
  }

  std::printf("best of %d runs:\n", kRuns);
  PrintRow("raw read(2), 64 KiB blocks", raw.seconds, records, megabytes);
  PrintRow("hand loop, 64 KiB blocks", hand.seconds, records, megabytes);
  const std::string engine_row = "engine, BufferSize " + std::to_string(default_buffer) + " (default)";
  PrintRow(engine_row.c_str(), engine.seconds, records, megabytes);
  const std::string wide_row = "engine, BufferSize " + std::to_string(kWideBuffer);
  PrintRow(wide_row.c_str(), engine_wide.seconds, records, megabytes);
  std::printf("time ratios, default BufferSize: engine/raw %.2f, engine/hand loop %.2f\n",
              engine.seconds / raw.seconds, engine.seconds / hand.seconds);
  std::printf("time ratios, BufferSize %d: engine/raw %.2f, engine/hand loop %.2f\n", kWideBuffer,
              engine_wide.seconds / raw.seconds, engine_wide.seconds / hand.seconds);
  std::printf("engine read calls per walk: %s with BufferSize %d (%d records each), %s with %d\n",
              Grouped(static_cast<double>(read_calls)).c_str(), default_buffer,
              default_buffer / shape.record_length, Grouped(static_cast<double>(wide_read_calls)).c_str(),
              kWideBuffer);
  std::printf("peak RSS (ru_maxrss) around the default-buffer engine walks: %ld KiB before, %ld KiB after; "
              "RSS at the end %ld KiB\n",
              peak_before_engine, peak_after_engine, CurrentRssKib());
  std::printf("all loops read %lld records, QUANT sum %.3f\n", static_cast<long long>(engine_totals.records),
              engine_totals.quant_sum);
  return 0;
}

}  // namespace
}  // namespace qxdbf_bench

int main(int argc, char** argv) {
  try {
    return qxdbf_bench::Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "read_bench: %s\n", e.what());
    return 2;
  }
}
