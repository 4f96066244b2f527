// The six legacy tables: their settings and their files.
#include "app/legacy_tables.h"

#include <gtest/gtest.h>

#include "app/run_state.h"
#include "test_util.h"

namespace veltrix {
namespace {

TEST(LegacyTablesTest, SettingsAndPaths) {
  qxdbf_test::TempDir dir;
  qxdbf_test::WriteAll(dir.File("KQ000006.DAT"), {1});
  LegacyTables tables;
  tables.PointAt(dir.path());
  struct Case { qxdbf::TQxDBFNTX& table; const char* file; uint32_t mode; bool hide_deleted; };
  const Case cases[] = {
      {tables.TableNumeracao, "kq000022.dat", 18, false},
      {tables.TableReducao, "kq000054.dat", 66, false},
      {tables.TableNFCE, "kq000071.dat", 66, false},
      {tables.QxTableProduto, "KQ000006.DAT", 66, true},
      {tables.QxTableVendas, "kq000009.dat", 18, false},
      {tables.TableVendedorVeltrix, "kq000017.dat", 66, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(c.table.DBFFileName(), dir.File(c.file));
    EXPECT_EQ(c.table.AccessMode().AccessMode(), c.mode);
    EXPECT_EQ(c.table.SetDeleted(), c.hide_deleted);
    EXPECT_EQ(c.table.LockProtocol(), qxdbf::lpClipperLock);
    EXPECT_EQ(c.table.LobLockProtocol(), qxdbf::lpClipperLock);
    EXPECT_EQ(c.table.BufferSize(), 4096);
    EXPECT_EQ(c.table.WaitBusyRes(), 3000);
    EXPECT_EQ(c.table.DbfVersion(), qxdbf::xBaseIII);
    EXPECT_FALSE(c.table.FastPostRecord() || c.table.TrimCType() || c.table.CreateNow());
  }
}

TEST(RunStateTest, PendingWhileSavingOrWritingDown) {
  RunState state;
  EXPECT_FALSE(state.Pending());
  state.listaBaixa.push_back({"000123", Money::FromWhole(2)});
  EXPECT_TRUE(state.Pending());
  state.listaBaixa.clear();
  state.gravandoVendas = true;
  EXPECT_TRUE(state.Pending());
}

}  // namespace
}  // namespace veltrix
