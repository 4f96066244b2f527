// The catalogue export against a bare loop of its own statement.
//
//   export_bench [PRODUCTS]     (default 20000)
//
// A legacy catalogue of PRODUCTS products is exported into an embedded
// point-of-sale database that already holds the same products (the usual
// case: a re-export after a change). The baseline, measured in the same
// run on the same database, executes the export's prepared update or insert
// once per product with the values the export sends, read back beforehand,
// in one transaction: what the database alone costs. The ratio is what the
// legacy walk, the value shaping, the marking and the clean-up add. Each
// figure is the best of three runs, the two kinds alternating.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/ib_query.h"
#include "app/legacy_layouts.h"
#include "app/pos_settings.h"
#include "app/sql_script.h"
#include "bench_util.h"
#include "dbf/smart_dbf.h"

namespace {

using qxdbf_bench::NowSeconds;

constexpr int kDefaultProducts = 20000;
constexpr int kRuns = 3;

class QuietUi : public veltrix::MonitorUi {
 public:
  void AppendLog(const std::string&) override {}
  void SetCaption(const std::string& text) override { caption_ = text; }
  std::string Caption() const override { return caption_; }
  void SetApplicationTitle(const std::string& text) override { title_ = text; }
  std::string ApplicationTitle() const override { return title_; }
  void ProcessMessages() override {}
  void ShowWindow() override {}
  void HideWindow() override {}
  void ShowMessage(const std::string&) override {}
  void SetTimerEnabled(veltrix::MonitorTimer, bool) override {}
  void Terminate() override {}

 private:
  std::string caption_;
  std::string title_;
};

void FillCatalogue(const std::string& directory, int products) {
  const std::string path = veltrix::CreateLegacyTable(directory, veltrix::LegacyFile::kProduto);
  qxdbf::TQxDBFNTX table;
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(18);
  table.Open();
  for (int i = 1; i <= products; ++i) {
    const std::string code = std::to_string(100000 + i).substr(1);
    table.Append();
    table.FieldByName("CODIGO").SetAsString(code);
    table.FieldByName("NOME").SetAsString("PRODUTO DE DEMONSTRACAO " + code);
    table.FieldByName("UNID").SetAsString(i % 7 == 0 ? "M2" : "UN");
    table.FieldByName("P_COMPRA").SetAsString(std::to_string(i % 500) + ".25");
    table.FieldByName("P_VENDA").SetAsString(std::to_string(i % 500 + 1) + ".5");
    table.FieldByName("QUANT").SetAsString(std::to_string(i % 40));
    table.FieldByName("CODBAR").SetAsString(i % 3 == 0 ? "2" + code : "789" + code + "0001");
    table.FieldByName("ALIQUOTA").SetAsString("T18");
    table.FieldByName("REFORI").SetAsString("REF" + code);
    table.Post();
  }
  table.Close();
}

struct Connection {
  explicit Connection(const std::string& path) {
    veltrix::ApplyPosSettings(database, transaction);
    database.SetDatabaseName(path);
    query.SetDatabase(&database);
    query.SetTransaction(&transaction);
  }
  veltrix::TIBDatabase database;
  veltrix::TIBTransaction transaction;
  veltrix::TIBQuery query;
};

// The rows exactly as the export wrote them.
veltrix::TRowSet ExportedRows(const std::string& path) {
  Connection pos(path);
  pos.database.Open();
  pos.query.SetSQL("select cod, nome, p_compra, p_venda, unid, aliquota, refori, codbar, quant from produto");
  pos.query.Open();
  pos.query.FetchAll();
  veltrix::TRowSet rows = pos.query.Rows();
  pos.query.Close();
  pos.database.Close();
  return rows;
}

// Reads every row once, so that the back versions the last run left are
// collected before the next timed run instead of during it.
void Settle(const std::string& path) {
  Connection pos(path);
  pos.database.Open();
  pos.query.SetSQL("select count(*) from produto");
  pos.query.Open();
  pos.query.Close();
  pos.transaction.Commit();
  pos.database.Close();
}

double TimeExport(veltrix::TForm1& form) {
  const double start = NowSeconds();
  form.converteDados();
  return NowSeconds() - start;
}

// With `with_marking`, the loop is framed by the export's marking and
// clean-up statements.
double TimeBareLoop(const std::string& path, const veltrix::TRowSet& rows, bool with_marking) {
  static const char* const kColumns[] = {"cod", "nome", "p_compra", "p_venda", "unid",
                                         "aliquota", "refori", "codbar", "quant"};
  Connection pos(path);
  const double start = NowSeconds();
  pos.database.Open();
  if (with_marking) {
    pos.query.SetSQL("update produto set fornec = 999");
    pos.query.ExecSQL();
  }
  pos.query.SetSQL(
      "update or insert into produto (cod, nome, p_compra, p_venda, unid, aliquota, refori, codbar, quant, fornec, "
      "grupo)values (:cod, :nome, :p_compra, :p_venda, :unid, :aliquota, :refori, :codbar, :quant, :fornec, 0)");
  for (const auto& row : rows.rows) {
    for (size_t i = 0; i < std::size(kColumns); ++i) pos.query.ParamByName(kColumns[i]) = row[i];
    pos.query.ParamByName("fornec").SetAsInteger(0);
    pos.query.ExecSQL();
  }
  if (with_marking) {
    pos.query.SetSQL("delete from produto where fornec = 999");
    pos.query.ExecSQL();
  }
  pos.transaction.Commit();
  pos.database.Close();
  return NowSeconds() - start;
}

int Run(int products) {
  qxdbf_bench::ScratchDir scratch;
  const std::string legacy = scratch.File("legacy");
  std::filesystem::create_directories(legacy);
  FillCatalogue(legacy, products);
  veltrix::CreateLegacyTable(legacy, veltrix::LegacyFile::kMarcador);
  const std::string database = scratch.File("pos.fdb");
  {
    Connection pos(database);
    veltrix::CreateDatabaseFromScript(pos.database, VELTRIX_SCHEMA_PATH);
    pos.database.Close();
  }
  QuietUi ui;
  veltrix::TForm1 form(ui, {legacy, database});
  form.FormCreate();
  form.converteDados();  // the database now holds the same products
  const veltrix::TRowSet rows = ExportedRows(database);
  if (static_cast<int>(rows.rows.size()) != products) {
    std::fprintf(stderr, "export_bench: %zu products exported, %d expected\n", rows.rows.size(), products);
    return 1;
  }
  double best_export = 1e30;
  double best_loop = 1e30;
  double best_marked = 1e30;
  for (int run = 0; run < kRuns; ++run) {
    Settle(database);
    best_export = std::min(best_export, TimeExport(form));
    Settle(database);
    best_loop = std::min(best_loop, TimeBareLoop(database, rows, false));
    Settle(database);
    best_marked = std::min(best_marked, TimeBareLoop(database, rows, true));
  }
  std::printf("products            %d\n", products);
  std::printf("catalogue export    %.3f s  (%.0f products/s)\n", best_export, products / best_export);
  std::printf("bare upsert loop    %.3f s  (%.0f products/s)\n", best_loop, products / best_loop);
  std::printf("loop with marking   %.3f s\n", best_marked);
  std::printf("ratio export/loop   %.2f\n", best_export / best_loop);
  std::printf("ratio export/marked %.2f\n", best_export / best_marked);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const int products = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultProducts;
    return Run(products);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "export_bench: %s\n", e.what());
    return 1;
  }
}
