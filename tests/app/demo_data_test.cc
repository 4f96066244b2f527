// The demo end to end: created afresh, then the start sequence and one tick
// of the cycle move every kind of data between the two stores.
#include "app/demo_data.h"

#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/legacy_layouts.h"
#include "fake_ui.h"
#include "legacy_record_io.h"
#include "pos_test_db.h"

namespace veltrix {
namespace {

int CountRows(const std::string& database_path, const std::string& sql) {
  veltrix_test::SecondConnection pos(database_path);
  pos.query.SetTransaction(&pos.transaction);
  pos.query.SetSQL(sql);
  pos.query.Open();
  const int count = pos.query.FieldByName("n").AsInteger();
  pos.query.Close();
  pos.transaction.Commit();
  pos.database.Close();
  return count;
}

TEST(DemoDataTest, TheWholeJobRunsOnTheDemo) {
  veltrix_test::UsePrivateLockFolder();
  qxdbf_test::TempDir dir;
  CreateDemo(dir.File("demo"), POS_SCHEMA_PATH);
  // A second creation replaces the first.
  const DemoPaths demo = CreateDemo(dir.File("demo"), POS_SCHEMA_PATH);
  veltrix_test::FakeUi ui;
  TForm1 form(ui, {demo.data_directory, demo.database});
  form.FormCreate();
  form.Timer1Timer();
  EXPECT_EQ(ui.log.back(), "Habilitada rotina para receber vendas");
  EXPECT_TRUE(ui.timers[MonitorTimer::kCycle]);
  form.Timer2Timer();

  EXPECT_EQ(CountRows(demo.database, "select count(*) as n from vendedor"), 2);
  EXPECT_EQ(CountRows(demo.database, "select count(*) as n from usuario"), 2);
  EXPECT_EQ(CountRows(demo.database, "select count(*) as n from produto"), 6);
  EXPECT_EQ(CountRows(demo.database, "select count(*) as n from venda where exportado = 0"), 0);
  EXPECT_EQ(CountRows(demo.database, "select count(*) as n from sped_reducaoz where tot_aliq08 = 0"), 1);
  EXPECT_EQ(CountRows(demo.database, "select count(*) as n from nfce where exportado = 0"), 0);

  const auto legacy = [&demo](LegacyFile file) {
    return veltrix_test::ReadRecords(demo.data_directory + "/" + LegacyFileName(file));
  };
  EXPECT_EQ(legacy(LegacyFile::kReducao).size(), 2u);
  EXPECT_EQ(legacy(LegacyFile::kNFCE).size(), 2u);
  const auto sales = legacy(LegacyFile::kVendas);
  ASSERT_EQ(sales.size(), 5u);  // three items and two closing records
  EXPECT_EQ(sales[0].at("NOTA"), "0001010");
  EXPECT_EQ(sales[4].at("NOTA"), "0001020");
  EXPECT_EQ(legacy(LegacyFile::kNumeracao)[0].at("PEDIDO"), "000102");
  const auto products = legacy(LegacyFile::kProduto);
  EXPECT_EQ(products[0].at("QUANT"), "38");  // two bags of rice sold
  EXPECT_TRUE(form.State().listaBaixa.empty());
  EXPECT_FALSE(form.State().gravandoVendas);
}

}  // namespace
}  // namespace veltrix
