// Appends and edits through the engine on a sales-like table: what the
// Clipper-compatible locks cost when the table is opened shared (66) rather
// than exclusively (18), and how fast edits of random records post on a
// shared table.
//
//   append_bench [APPENDS [EDITS]]     (defaults 100000, EDITS = APPENDS)
//
// Every append run starts from a fresh empty table; the edit runs work on
// the table the last shared append run filled. Each figure is the best of
// three runs. The program checks afterwards that every append and every
// edit reached the file, and fails otherwise.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_util.h"
#include "dbf/smart_dbf.h"

namespace qxdbf_bench {
namespace {

constexpr int64_t kDefaultAppends = 100000;
constexpr int kRuns = 3;
// The two ways the bridge opens a legacy table for writing.
constexpr uint32_t kSharedMode = 66;     // read-write, others may read and write
constexpr uint32_t kExclusiveMode = 18;  // read-write, nobody else
// 1 January 2024 as the dataset's date-time (days since 30 December 1899).
constexpr double kFirstSaleDay = 45292;

// The first ten fields of the legacy sales table (115-byte records).
const std::vector<FieldSpec> kSalesFields = {
    {"CODIGO", 'C', 6, 0},   {"UNIDADE", 'C', 6, 0}, {"NOME", 'C', 40, 0},  {"PVENDA", 'N', 9, 2},
    {"QUANT", 'N', 10, 3},   {"P_TOTAL", 'N', 12, 2}, {"TOTAL", 'N', 12, 2}, {"NOTA", 'C', 7, 0},
    {"DATA", 'D', 8, 0},     {"VENDEDOR", 'C', 4, 0},
};

// Values of the appended records, prepared before the clock starts so that
// the runs time the engine and not the formatting of test data.
struct SaleLine {
  std::string codigo, nome, nota, vendedor;
  double pvenda = 0, quant = 0, total = 0;
};

std::vector<SaleLine> MakeLines(size_t count) {
  static const char* const kNames[] = {"ARROZ TIPO 1 5KG", "FEIJAO CARIOCA 1KG", "CAFE TORRADO 500G",
                                       "SABONETE ERVA DOCE", "LAMPADA LED 9W", "CIMENTO CP II 50KG"};
  std::mt19937 random(7);
  std::vector<SaleLine> lines(count);
  for (size_t i = 0; i < count; ++i) {
    SaleLine& line = lines[i];
    char text[16];
    std::snprintf(text, sizeof text, "%06u", static_cast<unsigned>(random() % 999999 + 1));
    line.codigo = text;
    line.nome = kNames[random() % 6];
    std::snprintf(text, sizeof text, "%06u0", static_cast<unsigned>(i / 4 % 999999 + 1));
    line.nota = text;
    std::snprintf(text, sizeof text, "%04u", static_cast<unsigned>(random() % 12 + 1));
    line.vendedor = text;
    line.pvenda = static_cast<double>(random() % 99999 + 1) / 100.0;
    line.quant = static_cast<double>(random() % 99999 + 1) / 1000.0;
    line.total = std::round(line.pvenda * line.quant * 100.0) / 100.0;
  }
  return lines;
}

class SalesTable {
 public:
  SalesTable(const std::string& path, uint32_t mode) {
    table_.SetDBFFileName(path);
    table_.AccessMode().SetAccessMode(mode);
    table_.Open();
  }
  qxdbf::TQxDBFNTX& Table() { return table_; }
  qxdbf::TField& Field(const char* name) { return table_.FieldByName(name); }

 private:
  qxdbf::TQxDBFNTX table_;
};

// Appends one record per line through Append/Post; answers the seconds.
double TimeAppends(const std::string& path, uint32_t mode, const std::vector<SaleLine>& lines, int64_t appends) {
  SalesTable sales(path, mode);
  qxdbf::TQxDBFNTX& table = sales.Table();
  qxdbf::TField& codigo = sales.Field("CODIGO");
  qxdbf::TField& unidade = sales.Field("UNIDADE");
  qxdbf::TField& nome = sales.Field("NOME");
  qxdbf::TField& pvenda = sales.Field("PVENDA");
  qxdbf::TField& quant = sales.Field("QUANT");
  qxdbf::TField& p_total = sales.Field("P_TOTAL");
  qxdbf::TField& total = sales.Field("TOTAL");
  qxdbf::TField& nota = sales.Field("NOTA");
  qxdbf::TField& data = sales.Field("DATA");
  qxdbf::TField& vendedor = sales.Field("VENDEDOR");

  const double start = NowSeconds();
  for (int64_t i = 0; i < appends; ++i) {
    const SaleLine& line = lines[static_cast<size_t>(i) % lines.size()];
    table.Append();
    codigo.SetAsString(line.codigo);
    unidade.SetAsString("UN");
    nome.SetAsString(line.nome);
    pvenda.SetAsFloat(line.pvenda);
    quant.SetAsFloat(line.quant);
    p_total.SetAsFloat(line.total);
    total.SetAsFloat(line.total);
    nota.SetAsString(line.nota);
    data.SetAsDateTime(kFirstSaleDay + static_cast<double>(i % 366));
    vendedor.SetAsString(line.vendedor);
    table.Post();
  }
  const double seconds = NowSeconds() - start;
  if (table.RecordCount() != appends)
    throw std::runtime_error("the table holds " + std::to_string(table.RecordCount()) + " records after " +
                             std::to_string(appends) + " appends");
  return seconds;
}

// QUANT of every record, summed in thousandths.
int64_t QuantThousandths(const std::string& path) {
  SalesTable sales(path, kSharedMode);
  qxdbf::TQxDBFNTX& table = sales.Table();
  qxdbf::TField& quant = sales.Field("QUANT");
  int64_t sum = 0;
  for (table.First(); !table.Eof(); table.Next()) sum += std::llround(quant.AsFloat() * 1000.0);
  return sum;
}

// Adds 1 to QUANT of `edits` random records, each moved to with SetRecNo
// and posted on its own; answers the seconds.
double TimeEdits(const std::string& path, int64_t edits, uint32_t seed) {
  SalesTable sales(path, kSharedMode);
  qxdbf::TQxDBFNTX& table = sales.Table();
  qxdbf::TField& quant = sales.Field("QUANT");
  const int count = table.RecordCount();
  std::mt19937 random(seed);
  std::vector<int> targets(static_cast<size_t>(edits));
  for (int& recno : targets) recno = static_cast<int>(random() % static_cast<unsigned>(count)) + 1;

  const double start = NowSeconds();
  for (const int recno : targets) {
    table.SetRecNo(recno);
    if (table.RecNo() != recno) throw std::runtime_error("SetRecNo(" + std::to_string(recno) + ") missed");
    table.Edit();
    quant.SetAsFloat(quant.AsFloat() + 1);
    table.Post();
  }
  return NowSeconds() - start;
}

double PerSecond(int64_t count, double seconds) { return static_cast<double>(count) / seconds; }

int Run(int argc, char** argv) {
  const int64_t appends = CountArgument(argc, argv, 1, kDefaultAppends);
  const int64_t edits = CountArgument(argc, argv, 2, appends);
  ScratchDir dir;
  const std::vector<SaleLine> lines = MakeLines(static_cast<size_t>(std::min<int64_t>(appends, 4096)));

  double best_shared = 1e300, best_exclusive = 1e300;
  std::string filled;
  for (int run = 0; run < kRuns; ++run) {
    const std::string exclusive_path = dir.File("exclusive" + std::to_string(run) + ".dat");
    CreateTable(exclusive_path, kSalesFields);
    best_exclusive = std::min(best_exclusive, TimeAppends(exclusive_path, kExclusiveMode, lines, appends));
    std::filesystem::remove(exclusive_path);

    const std::string shared_path = dir.File("shared" + std::to_string(run) + ".dat");
    CreateTable(shared_path, kSalesFields);
    best_shared = std::min(best_shared, TimeAppends(shared_path, kSharedMode, lines, appends));
    if (!filled.empty()) std::filesystem::remove(filled);
    filled = shared_path;
  }

  const int64_t quant_before = QuantThousandths(filled);
  double best_edits = 1e300;
  for (int run = 0; run < kRuns; ++run)
    best_edits = std::min(best_edits, TimeEdits(filled, edits, static_cast<uint32_t>(run + 1)));
  const int64_t quant_after = QuantThousandths(filled);
  if (quant_after - quant_before != kRuns * edits * 1000) {
    std::fprintf(stderr, "append_bench: QUANT grew by %lld thousandths, expected %lld\n",
                 static_cast<long long>(quant_after - quant_before), static_cast<long long>(kRuns * edits * 1000));
    return 1;
  }

  std::printf("append_bench: %s appends of 115-byte records (10 fields), %s edits; best of %d runs\n",
              Grouped(static_cast<double>(appends)).c_str(), Grouped(static_cast<double>(edits)).c_str(), kRuns);
  std::printf("  appends, exclusive (18):              %8.3f s %12s appends/s\n", best_exclusive,
              Grouped(PerSecond(appends, best_exclusive)).c_str());
  std::printf("  appends, shared, Clipper locks (66):  %8.3f s %12s appends/s\n", best_shared,
              Grouped(PerSecond(appends, best_shared)).c_str());
  std::printf("  time ratio shared/exclusive: %.2f\n", best_shared / best_exclusive);
  std::printf("  random edits, shared (66):            %8.3f s %12s edits/s\n", best_edits,
              Grouped(PerSecond(edits, best_edits)).c_str());
  std::printf("  every append and edit reached the file\n");
  return 0;
}

}  // namespace
}  // namespace qxdbf_bench

int main(int argc, char** argv) {
  try {
    return qxdbf_bench::Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "append_bench: %s\n", e.what());
    return 2;
  }
}
