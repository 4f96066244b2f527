// The catalogue export: legacy products mirrored into the point-of-sale
// product table, on real tables and a real embedded database.
#include <gtest/gtest.h>

#include "bridge_fixture.h"
#include "legacy_record_io.h"

namespace veltrix {
namespace {

using veltrix_test::BridgeFixture;
using LegacyRecord = veltrix_test::FieldTexts;

LegacyRecord Product(const std::string& codigo, const std::string& quant, const std::string& codbar = "") {
  return {{"CODIGO", codigo}, {"NOME", "PRODUTO " + codigo}, {"UNID", "UN"}, {"QUANT", quant},
          {"CODBAR", codbar}, {"P_COMPRA", "1.25"},           {"P_VENDA", "2.5"}, {"ALIQUOTA", "T18"}};
}

// cod -> column text of the point-of-sale product table.
std::map<int, std::string> Column(BridgeFixture& bridge, const std::string& column) {
  std::map<int, std::string> values;
  for (const auto& row : bridge.Rows("select cod, " + column + " from produto").rows)
    values[row[0].AsInteger()] = row[1].AsString();
  return values;
}

TEST(CatalogueExportTest, QuantitiesFollowTheStockRules) {
  struct Case {
    std::string mode;
    std::map<int, std::string> expected;  // for QUANT -3, 0, 5, 2.5
  };
  for (const Case& c : {Case{"", {{1, "1000"}, {2, "1000"}, {3, "5"}, {4, "2,5"}}},
                        Case{"sem_estoque", {{1, "1000"}, {2, "1000"}, {3, "1005"}, {4, "1002,5"}}},
                        Case{"SEM_Estoque", {{1, "1000"}, {2, "1000"}, {3, "1005"}, {4, "1002,5"}}}}) {
    BridgeFixture bridge(c.mode);
    veltrix_test::AppendRecords(bridge.Legacy(LegacyFile::kProduto),
                               {Product("000001", "-3"), Product("000002", "0"), Product("000003", "5"),
                                Product("000004", "2.5")});
    bridge.form->converteDados();
    std::map<int, std::string> quantities;
    for (const auto& row : bridge.Rows("select cod, quant from produto").rows)
      quantities[row[0].AsInteger()] = Money::FromTenThousandths(row[1].AsCurrency()).ToText();
    EXPECT_EQ(quantities, c.expected) << "mode " << c.mode;
  }
}

TEST(CatalogueExportTest, BarCodesDescriptionsAndPrices) {
  BridgeFixture bridge;
  LegacyRecord square = Product("000015", "1");
  square["UNID"] = "M2";
  square["NOME"] = "PISO CERAMICO ACETINADO BEGE 45X45 CX 2M";  // 40 characters
  veltrix_test::AppendRecords(bridge.Legacy(LegacyFile::kProduto),
                             {Product("000010", "1", "2000 123"), Product("000011", "1", "7891234567890"),
                              Product("000012", "1", "20000000001"), Product("000013", "1", " 2"),
                              Product("000014", "1", "2000123456"), square});
  bridge.form->converteDados();
  EXPECT_EQ(Column(bridge, "codbar"), (std::map<int, std::string>{{10, "20001"},
                                                                   {11, "7891234567890"},
                                                                   {12, "20000000001"},
                                                                   {13, "2    "},
                                                                   {14, "20001"},
                                                                   {15, ""}}));
  const auto names = Column(bridge, "nome");
  EXPECT_EQ(names.at(10), "PRODUTO 000010");
  EXPECT_EQ(names.at(15), "PISOCERAMICOACETINAD");  // its first 22 characters
  const auto rows = bridge.Rows("select p_compra, p_venda, unid, aliquota, fornec, grupo from produto where cod = 10");
  EXPECT_EQ(rows.rows[0][0].AsCurrency(), 12500);
  EXPECT_EQ(rows.rows[0][1].AsCurrency(), 25000);
  EXPECT_EQ(rows.rows[0][2].AsString(), "UN    ");
  EXPECT_EQ(rows.rows[0][3].AsString(), "T1");
  EXPECT_EQ(rows.rows[0][4].AsInteger(), 0);
  EXPECT_EQ(rows.rows[0][5].AsInteger(), 0);
}

TEST(CatalogueExportTest, MirrorsDeletionsAndReportsProgress) {
  BridgeFixture bridge;
  bridge.Seed({"insert into produto (cod, nome) values (77, 'ONLY AT THE POINT OF SALE')"});
  veltrix_test::AppendRecords(bridge.Legacy(LegacyFile::kProduto),
                             {Product("000001", "1"), Product("000002", "1"), Product("000003", "1"), Product("ABC", "1")},
                              {2});
  bridge.ui.title = "Veltrix Monitor";
  bridge.form->converteDados();
  EXPECT_EQ(Column(bridge, "nome"), (std::map<int, std::string>{{1, "PRODUTO 000001"}, {2, "PRODUTO 000002"}}));
  // The unreadable code is reported and skipped; the deleted record is not
  // visited; the product known only to the point of sale is removed.
  ASSERT_EQ(bridge.ui.log.size(), 4u);
  EXPECT_EQ(bridge.ui.log[0], "Conexão com o Banco de Dados Estabelecida");
  EXPECT_EQ(bridge.ui.log[1], "Exportando dados do Veltrix Estoque...");
  EXPECT_EQ(bridge.ui.log[2].rfind("Erro(converteDados): ", 0), 0u) << bridge.ui.log[2];
  EXPECT_EQ(bridge.ui.log[3], "Exportação de dados Concluída: 3 itens exportados");
  EXPECT_EQ(bridge.ui.title, "Veltrix Monitor");
  EXPECT_FALSE(bridge.ui.visible);
  EXPECT_FALSE(bridge.form->Database().Connected());
  EXPECT_FALSE(bridge.form->Tables().QxTableProduto.Active());

  // Deleting the last products in the legacy table empties the point of sale.
  CreateLegacyTable(bridge.data_dir, LegacyFile::kProduto);
  bridge.form->converteDados();
  EXPECT_TRUE(Column(bridge, "nome").empty());
  EXPECT_EQ(bridge.ui.log.back(), "Exportação de dados Concluída: 0 itens exportados");
}

TEST(CatalogueExportTest, DeleteModeEmptiesProductsAndUsersFirst) {
  BridgeFixture bridge("delete");
  bridge.Seed({"insert into produto (cod, nome, fornec) values (1, 'OLD NAME', 5)",
               "insert into usuario (cod, nome) values (1, 'CAIXA')"});
  veltrix_test::AppendRecords(bridge.Legacy(LegacyFile::kProduto), {Product("000001", "1")});
  bridge.form->converteDados();
  EXPECT_EQ(bridge.ui.log[1], "Deletando todos os itens do Estoque do Pdv...");
  EXPECT_EQ(Column(bridge, "nome"), (std::map<int, std::string>{{1, "PRODUTO 000001"}}));
  EXPECT_TRUE(bridge.Rows("select cod from usuario").rows.empty());
}

TEST(CatalogueExportTest, PreparesTheUpsertOnce) {
  BridgeFixture bridge;
  std::vector<LegacyRecord> products;
  for (int i = 1; i <= 50; ++i) products.push_back(Product(std::to_string(100000 + i), "1"));
  veltrix_test::AppendRecords(bridge.Legacy(LegacyFile::kProduto), products);
  const int before = bridge.form->IBQueryQuovo().PrepareCount();
  bridge.form->converteDados();
  // update ... 999, the upsert, delete ... 999.
  EXPECT_EQ(bridge.form->IBQueryQuovo().PrepareCount() - before, 3);
  EXPECT_EQ(Column(bridge, "cod").size(), 50u);
}

}  // namespace
}  // namespace veltrix
