// The legacy layouts as written for the demo and the tests.
#include <gtest/gtest.h>

#include "bridge_fixture.h"

namespace veltrix {
namespace {

TEST(LegacyLayoutsTest, TablesOpenWithTheBridgeSettings) {
  veltrix_test::BridgeFixture bridge;
  LegacyTables& tables = bridge.form->Tables();
  struct Case {
    qxdbf::TQxDBFNTX* table;
    int fields;
  };
  for (const Case& c : {Case{&tables.QxTableProduto, 42}, Case{&tables.QxTableVendas, 25},
                        Case{&tables.TableNumeracao, 15}, Case{&tables.TableReducao, 1}, Case{&tables.TableNFCE, 5},
                        Case{&tables.TableVendedorVeltrix, 2}}) {
    ASSERT_TRUE(bridge.form->abreTabela(*c.table)) << tables.NameOf(*c.table);
    EXPECT_EQ(c.table->FieldCount(), c.fields) << tables.NameOf(*c.table);
    c.table->Close();
  }
  EXPECT_EQ(bridge.Rows("select count(*) as n from produto").rows[0][0].AsInteger(), 0);
}

}  // namespace
}  // namespace veltrix
