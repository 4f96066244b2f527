// A whole bridge for a test: a legacy data directory with the seven tables
// (empty, in the legacy layouts), an embedded point-of-sale database made
// from schema/pos.sql, and a TForm1 on both with a recording screen.
//
// `pos` is a second program's connection to the same database: tests seed
// rows through it (Seed commits) and read the bridge's results through it
// (Rows starts from a fresh transaction, so committed work is seen).
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/legacy_layouts.h"
#include "app/row_set.h"
#include "fake_ui.h"
#include "pos_test_db.h"

namespace veltrix_test {

struct BridgeFixture {
  // `mode` is the third command-line argument.
  explicit BridgeFixture(const std::string& mode = "") {
    data_dir = pos.dir.File("legacy");
    std::filesystem::create_directories(data_dir);
    for (veltrix::LegacyFile file :
         {veltrix::LegacyFile::kProduto, veltrix::LegacyFile::kVendas, veltrix::LegacyFile::kNumeracao,
          veltrix::LegacyFile::kReducao, veltrix::LegacyFile::kNFCE, veltrix::LegacyFile::kVendedores,
          veltrix::LegacyFile::kUsuarios, veltrix::LegacyFile::kMarcador})
      veltrix::CreateLegacyTable(data_dir, file);
    Commit();
    form = std::make_unique<veltrix::TForm1>(ui, std::vector<std::string>{data_dir, pos.path, mode});
    form->SetOpenRetryPause(0.05);
    form->FormCreate();
    ui.log.clear();
  }

  ~BridgeFixture() {
    form.reset();
    Commit();
  }

  // Runs statements on the second connection and commits them.
  void Seed(const std::vector<std::string>& statements) {
    for (const std::string& sql : statements) pos.Exec(sql);
    Commit();
  }

  // All rows of a select, read in a fresh transaction.
  veltrix::TRowSet Rows(const std::string& sql) {
    Commit();
    pos.query.SetSQL(sql);
    pos.query.Open();
    pos.query.FetchAll();
    veltrix::TRowSet rows = pos.query.Rows();
    pos.query.Close();
    Commit();
    return rows;
  }

  void Commit() {
    if (pos.transaction.InTransaction()) pos.transaction.Commit();
  }

  // The path of a legacy file in the data directory.
  std::string Legacy(veltrix::LegacyFile file) const { return data_dir + "/" + veltrix::LegacyFileName(file); }

  PosTestDatabase pos;
  std::string data_dir;
  FakeUi ui;
  std::unique_ptr<veltrix::TForm1> form;
};

}  // namespace veltrix_test
