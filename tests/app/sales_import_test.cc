// The sales import end to end: point-of-sale sales in an embedded database,
// the legacy sales, numbering and product tables in a folder, driven tick by
// tick; other programs are real child processes holding the legacy files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/form1.h"
#include "sales_fixture.h"
#include "test_util.h"

namespace veltrix {
namespace {

using qxdbf_test::ChildProcess;
using qxdbf_test::CliProgram;
using qxdbf_test::ReadAll;
using veltrix_test::LegacyRecord;
using veltrix_test::SalesFixture;

constexpr const char* kDay2014_03_05 = "41703";

bool Logged(const SalesFixture& f, const std::string& line) {
  return std::find(f.ui.log.begin(), f.ui.log.end(), line) != f.ui.log.end();
}

std::vector<std::string> Column(const std::vector<LegacyRecord>& records, const std::string& field) {
  std::vector<std::string> out;
  for (const LegacyRecord& r : records) out.push_back(r.at(field));
  return out;
}

std::vector<int> Codes(const std::string& text) {
  std::vector<int> out;
  for (unsigned char c : text) out.push_back(c);
  return out;
}

TEST(SalesImportTest, CopiesNumbersAndMarksABatch) {
  SalesFixture f;
  f.SetPedido("000123");
  f.AppendProduct("000042", Money::FromWhole(10));
  f.Seed({"insert into produto (cod, nome) values (42, 'ARROZ TIPO 1')"});
  // Sale 1: two items of product 42 adding up to its total; product 43 has
  // no name on the point of sale.
  f.Sale(1, "10.5");
  f.SaleItem(1, 42, "1.5", "2", "3");
  f.SaleItem(1, 43, "2", "3.75", "7.5");
  // Sale 2: its item rounds to 6,00 over a total of 5, and a short check
  // value.
  f.SaleItem(2, 42, "2", "3", "6.004");
  f.Sale(2, "-5", "77");
  // Sale 3 has no items: neither copied nor marked, and not in the way.
  f.Sale(3, "1");

  f.form->Timer2Timer();

  const std::vector<LegacyRecord> vendas = f.Records(LegacyFile::kVendas);
  ASSERT_EQ(vendas.size(), 5u);
  EXPECT_EQ(Column(vendas, "NOTA"), (std::vector<std::string>{"0001240", "0001240", "0001240", "0001250", "0001250"}));
  EXPECT_EQ(Column(vendas, "CODIGO"), (std::vector<std::string>{"000042", "000043", "", "000042", ""}));
  EXPECT_EQ(Column(vendas, "NOME"), (std::vector<std::string>{"ARROZ TIPO 1", "", "DESCONTO", "ARROZ TIPO 1", "DESCONTO"}));
  EXPECT_EQ(Column(vendas, "P_TOTAL"), (std::vector<std::string>{"3", "7,5", "0", "6", "-1"}));
  EXPECT_EQ(Column(vendas, "TOTAL"), (std::vector<std::string>{"10,5", "10,5", "10,5", "5", "5"}));
  EXPECT_EQ(Column(vendas, "ENTREGA"), (std::vector<std::string>{"E", "E", "C", "E", "C"}));
  EXPECT_EQ(Column(vendas, "QUANT"), (std::vector<std::string>{"1,5", "2", "", "2", ""}));
  EXPECT_EQ(Codes(vendas[0].at("CRC")), (std::vector<int>{71, 93, 115, 137}));
  EXPECT_EQ(Codes(vendas[2].at("CRC")), (std::vector<int>{71, 93, 115, 137}));
  EXPECT_EQ(Codes(vendas[4].at("CRC")), (std::vector<int>{48, 48, 48, 49}));
  const LegacyRecord& item = vendas[1];
  EXPECT_EQ(item.at("UNIDADE"), "UN");
  EXPECT_EQ(item.at("PVENDA"), "3,75");
  EXPECT_EQ(item.at("P_COMPRA"), "1,25");
  EXPECT_EQ(item.at("ALIQUOTA"), "T1");
  for (const LegacyRecord& r : vendas) {
    EXPECT_EQ(r.at("DATA"), kDay2014_03_05);
    EXPECT_EQ(r.at("VENDEDOR"), "0007");
    EXPECT_EQ(r.at("CODHIS"), "001");
    EXPECT_EQ(r.at("OK"), "P");
    EXPECT_EQ(r.at("CLIENTE"), "");
  }

  EXPECT_EQ(f.Records(LegacyFile::kNumeracao).at(0).at("PEDIDO"), "000125");
  EXPECT_EQ(f.Exported(), (std::map<int, int>{{1, 1}, {2, 1}, {3, 0}}));
  // The items of product 42 in one write-down of 1,5 + 2.
  EXPECT_EQ(f.Quants(), std::vector<std::string>{"6,5"});
  EXPECT_TRUE(Logged(f, "02 Venda(s) Transferida(s) até o cupom nº 2 ( Buffer: 0)"));
  EXPECT_NE(std::find(f.ui.captions.begin(), f.ui.captions.end(), "Vendas transferidas para o Veltrix"),
            f.ui.captions.end());
  EXPECT_FALSE(f.form->State().Pending());
  EXPECT_FALSE(f.form->Database().Connected());

  // The next tick finds only the item-less sale and leaves it alone.
  f.form->Timer2Timer();
  EXPECT_EQ(f.Records(LegacyFile::kVendas).size(), 5u);
  EXPECT_EQ(f.Exported().at(3), 0);
}

TEST(SalesImportTest, OrderNumbersFromTheNumberingTable) {
  struct Case {
    const char* pedido;  // nullptr: the table has no record
    const char* nota;    // NOTA of the copied sale; "" when nothing is copied
    const char* stored;  // PEDIDO afterwards
    const char* log;
  };
  const Case cases[] = {
      {"000123", "0001240", "000124", "01 Venda(s) Transferida(s) até o cupom nº 7 ( Buffer: 0)"},
      {nullptr, "0000020", "000002", "01 Venda(s) Transferida(s) até o cupom nº 7 ( Buffer: 0)"},
      {"      ", "", "", "Erro: '      ' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pedido ? c.pedido : "no record");
    SalesFixture f;
    if (c.pedido) f.SetPedido(c.pedido);
    f.Sale(7, "2");
    f.SaleItem(7, 5, "1", "2", "2");
    f.form->Timer2Timer();
    EXPECT_TRUE(Logged(f, c.log)) << f.ui.log.back();
    const std::vector<LegacyRecord> numeracao = f.Records(LegacyFile::kNumeracao);
    ASSERT_EQ(numeracao.size(), 1u);
    EXPECT_EQ(numeracao[0].at("PEDIDO"), c.stored);
    const std::vector<LegacyRecord> vendas = f.Records(LegacyFile::kVendas);
    EXPECT_EQ(vendas.size(), std::string(c.nota).empty() ? 0u : 2u);
    if (!vendas.empty()) {
      EXPECT_EQ(vendas[0].at("NOTA"), c.nota);
    }
    EXPECT_EQ(f.Exported().at(7), std::string(c.nota).empty() ? 0 : 1);
    EXPECT_FALSE(f.form->State().gravandoVendas);
    EXPECT_FALSE(f.form->Tables().TableNumeracao.Active());
    EXPECT_FALSE(f.form->Tables().TableNumeracao.FileLocked());
  }
}

TEST(SalesImportTest, SalesWithoutItemsDoNotHoldUpTheQueue) {
  SalesFixture f;
  for (int nota = 1; nota <= 10; ++nota) f.Sale(nota, "1");
  f.Sale(11, "2");
  f.SaleItem(11, 5, "1", "2", "2");
  f.form->Timer2Timer();
  EXPECT_EQ(Column(f.Records(LegacyFile::kVendas), "NOTA"), (std::vector<std::string>{"0000020", "0000020"}));
  const std::map<int, int> exported = f.Exported();
  for (int nota = 1; nota <= 10; ++nota) EXPECT_EQ(exported.at(nota), 0) << nota;
  EXPECT_EQ(exported.at(11), 1);
}

TEST(SalesImportTest, ProbeFailureIsLoggedWithItsStage) {
  veltrix_test::UsePrivateLockFolder();
  veltrix_test::FakeUi ui;
  qxdbf_test::TempDir dir;
  TForm1 form(ui, {dir.path(), dir.File("missing.fdb")});
  form.FormCreate();
  ui.log.clear();
  EXPECT_FALSE(form.existeVendaNovaNoBdDoQuovo());
  ASSERT_EQ(ui.log.size(), 1u);
  EXPECT_EQ(ui.log[0].rfind("Erro(existeVendaNovaNoBdDoQuovo): 2  ", 0), 0u) << ui.log[0];
  EXPECT_FALSE(form.Database().Connected());
}

TEST(SalesImportTest, MarkingFlagsOnlyTheListedNumbers) {
  SalesFixture f;
  for (int nota : {1, 2, 3, 12, 13, 112, 120}) f.Sale(nota, "1");
  f.form->State().listaNotas = "-12-13-";
  f.form->marcaPedidosImportados();
  EXPECT_EQ(f.Exported(), (std::map<int, int>{{1, 0}, {2, 0}, {3, 0}, {12, 1}, {13, 1}, {112, 0}, {120, 0}}));
  EXPECT_TRUE(f.ui.log.empty());
}

TEST(SalesImportTest, SwitchedOffByTheModeWord) {
  for (const char* mode : {"nao_importa_venda", "NAO_IMPORTA_VENDA"}) {
    SCOPED_TRACE(mode);
    SalesFixture f(mode);
    f.Sale(1, "2");
    f.SaleItem(1, 5, "1", "2", "2");
    EXPECT_FALSE(f.form->existeVendaNovaNoBdDoQuovo());
    EXPECT_FALSE(f.form->Database().Connected());
    f.form->Timer2Timer();
    EXPECT_TRUE(f.Records(LegacyFile::kVendas).empty());
    EXPECT_EQ(f.Exported().at(1), 0);
    EXPECT_TRUE(f.ui.log.empty());
  }
}

// Another program holds a legacy file through a tick: nothing is copied,
// numbered or marked, and the next tick copies every sale once.
TEST(SalesImportTest, FileHeldByAnotherProgramDefersTheBatch) {
  struct Case {
    LegacyFile held;
    const char* log;
  };
  const Case cases[] = {
      {LegacyFile::kNumeracao, "Erro: arquivo de numeração não pode ser aberto"},
      {LegacyFile::kVendas, "(copiaVendasParaVeltrix): não conseguiu abrir a tabela de vendas do Veltrix"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    SalesFixture f;
    f.SetPedido("000010");
    f.AppendProduct("000005", Money::FromWhole(9));
    f.Sale(1, "2");
    f.SaleItem(1, 5, "1", "2", "2");
    f.Sale(2, "4");
    f.SaleItem(2, 5, "2", "2", "4");
    {
      ChildProcess holder({CliProgram(), "lock", f.Legacy(c.held), "--file", "--seconds", "1.5"});
      ASSERT_EQ(holder.ReadLine(), "locked");
      f.form->Timer2Timer();
      EXPECT_TRUE(Logged(f, c.log));
      EXPECT_EQ(holder.Wait(), 0);
    }
    EXPECT_TRUE(f.Records(LegacyFile::kVendas).empty());
    EXPECT_EQ(f.Records(LegacyFile::kNumeracao).at(0).at("PEDIDO"), "000010");
    EXPECT_EQ(f.Exported(), (std::map<int, int>{{1, 0}, {2, 0}}));
    EXPECT_EQ(f.Quants(), std::vector<std::string>{"9"});
    EXPECT_FALSE(f.form->State().Pending());

    f.form->Timer2Timer();
    f.form->Timer2Timer();
    EXPECT_EQ(Column(f.Records(LegacyFile::kVendas), "NOTA"),
              (std::vector<std::string>{"0000110", "0000110", "0000120", "0000120"}));
    EXPECT_EQ(f.Records(LegacyFile::kNumeracao).at(0).at("PEDIDO"), "000012");
    EXPECT_EQ(f.Exported(), (std::map<int, int>{{1, 1}, {2, 1}}));
    EXPECT_EQ(f.Quants(), std::vector<std::string>{"6"});
  }
}

// A value the legacy table cannot hold stops the copy in the middle of the
// second sale: the sales table is taken back byte for byte, the quantities
// queued by this copy leave the list (an older entry keeps its own), and
// once the value is corrected every sale is copied and written down once.
TEST(SalesImportTest, CopyFailingPartWayLeavesNoTrace) {
  SalesFixture f;
  f.SetPedido("000010");
  f.AppendProduct("000005", Money::FromWhole(100));
  f.AppendProduct("000006", Money::FromWhole(50));
  f.Sale(1, "2");
  f.SaleItem(1, 5, "1", "2", "2");
  f.Sale(2, "30");
  f.SaleItem(2, 5, "2", "3", "6");
  f.SaleItem(2, 6, "1", "12345678", "24");  // PVENDA is N 9.2
  // Left by an earlier write-down that could not run.
  f.form->State().listaBaixa.push_back(Item{"000005", Money::FromWhole(4)});
  const std::vector<uint8_t> vendas_before = ReadAll(f.Legacy(LegacyFile::kVendas));

  f.form->Timer2Timer();
  ASSERT_FALSE(f.ui.log.empty());
  EXPECT_EQ(f.ui.log.back().rfind("Erro(copiaVendas): ", 0), 0u) << f.ui.log.back();
  EXPECT_EQ(f.ui.log.back().substr(f.ui.log.back().size() - 3), " :5");
  EXPECT_TRUE(f.form->State().erroCopia);
  EXPECT_EQ(ReadAll(f.Legacy(LegacyFile::kVendas)), vendas_before);
  ASSERT_EQ(f.form->State().listaBaixa.size(), 1u);
  EXPECT_EQ(f.form->State().listaBaixa[0].quantidade, Money::FromWhole(4));
  EXPECT_EQ(f.Records(LegacyFile::kNumeracao).at(0).at("PEDIDO"), "000010");
  EXPECT_EQ(f.Exported(), (std::map<int, int>{{1, 0}, {2, 0}}));
  EXPECT_EQ(f.Quants(), (std::vector<std::string>{"100", "50"}));
  EXPECT_FALSE(f.form->State().gravandoVendas);

  f.form->Timer2Timer();  // the same failure again
  EXPECT_EQ(ReadAll(f.Legacy(LegacyFile::kVendas)), vendas_before);
  f.Seed({"update item_venda set p_venda = 24 where nota = 2 and cod = 6"});
  f.form->Timer2Timer();
  f.form->Timer2Timer();

  const std::vector<LegacyRecord> vendas = f.Records(LegacyFile::kVendas);
  EXPECT_EQ(Column(vendas, "NOTA"),
            (std::vector<std::string>{"0000110", "0000110", "0000120", "0000120", "0000120"}));
  EXPECT_EQ(f.Records(LegacyFile::kNumeracao).at(0).at("PEDIDO"), "000012");
  EXPECT_EQ(f.Exported(), (std::map<int, int>{{1, 1}, {2, 1}}));
  EXPECT_EQ(f.Quants(), (std::vector<std::string>{"93", "49"}));
  EXPECT_FALSE(f.form->State().Pending());
}

// The point of sale holds a sale's row (an update not yet committed) when
// the batch is marked: the marking fails under no-wait. The copied batch
// must not come again: no new batch is fetched until the marking is
// retried successfully, and "Fechar" waits for it.
TEST(SalesImportTest, FailedMarkingIsRetriedBeforeAnyNewBatch) {
  SalesFixture f;
  f.SetPedido("000010");
  f.AppendProduct("000005", Money::FromWhole(9));
  f.Sale(1, "2");
  f.SaleItem(1, 5, "1", "2", "2");
  veltrix_test::SecondConnection pos_program(f.pos.path);
  pos_program.query.SetTransaction(&pos_program.transaction);
  pos_program.query.SetSQL("update venda set ok = 'X' where nota = 1");
  pos_program.query.ExecSQL();

  f.form->Timer2Timer();
  EXPECT_TRUE(Logged(f, "01 Venda(s) Transferida(s) até o cupom nº 1 ( Buffer: 0)"));
  EXPECT_EQ(f.form->State().notasPorMarcar, "-1-");
  EXPECT_TRUE(f.form->State().Pending());
  f.form->Button1Click();
  EXPECT_FALSE(f.ui.terminated);
  f.form->Timer2Timer();  // still held: nothing fetched
  EXPECT_EQ(f.Records(LegacyFile::kVendas).size(), 2u);

  pos_program.transaction.Commit();
  f.form->Timer2Timer();
  f.form->Timer2Timer();
  EXPECT_EQ(Column(f.Records(LegacyFile::kVendas), "NOTA"), (std::vector<std::string>{"0000110", "0000110"}));
  EXPECT_EQ(f.Exported(), (std::map<int, int>{{1, 1}}));
  EXPECT_EQ(f.Quants(), std::vector<std::string>{"8"});
  EXPECT_FALSE(f.form->State().Pending());
}

}  // namespace
}  // namespace veltrix
