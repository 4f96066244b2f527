// NFC-e import: invoices of earlier days copied into the legacy NFC-e table
// and flagged by whole number, on real legacy files and a real embedded
// point-of-sale database.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/legacy_layouts.h"
#include "bridge_fixture.h"
#include "legacy_record_io.h"

namespace veltrix {
namespace {

using veltrix_test::BridgeFixture;

std::string Invoice(const std::string& nota, const std::string& chave, const std::string& data,
                    const std::string& exportado, const std::string& adic) {
  return "insert into NFCE (nota, chave, data, exportado, adic) values ('" + nota + "', '" + chave + "', " + data +
         ", " + exportado + ", " + adic + ")";
}

// "nota=exportado" of every invoice, by number.
std::vector<std::string> Flags(BridgeFixture& bridge) {
  std::vector<std::string> flags;
  for (const auto& row : bridge.Rows("select nota, exportado from NFCE order by nota").rows)
    flags.push_back(row[0].AsString() + "=" + (row[1].IsNull() ? "null" : row[1].AsString()));
  return flags;
}

TEST(NfceImportTest, PendingInvoicesOfEarlierDaysAreCopiedAndFlagged) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  const std::string yesterday = "current_date - 1";
  bridge.Seed({
      // Copied: a key written in groups of four; and a seven-digit number
      // with a short key.
      Invoice("42", "3514 0312 3456 7800 0199 6500 1000 0000 4210 0000 0420", yesterday, "0", "''"),
      Invoice("1234567", "35140312", yesterday, "0", "''"),
      // Not copied: exportado NULL, additional data, NULL adic, today's
      // invoice (whose number 4 is part of the copied 42), already exported.
      Invoice("43", "", yesterday, "null", "''"),
      Invoice("44", "", yesterday, "0", "'x'"),
      Invoice("45", "", yesterday, "0", "null"),
      Invoice("4", "", "current_date", "0", "''"),
      Invoice("46", "", "null", "0", "''"),
      Invoice("47", "", yesterday, "1", "''"),
  });
  bridge.form->buscaNFCE();

  EXPECT_EQ(bridge.ui.log, (std::vector<std::string>{"Buscando NFC-e...", "Importada NFC-e: 0000042 Caixa: 001",
                                                     "Importada NFC-e:  Caixa: "}));
  EXPECT_EQ(bridge.form->State().listaNotas, "-42-1234567-");
  const auto records = veltrix_test::ReadRecords(bridge.Legacy(LegacyFile::kNFCE));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].at("NOTA"), "000042");
  EXPECT_EQ(records[0].at("CHAVE"), "35140312345678000199650010000000421000000420");
  EXPECT_EQ(records[0].at("SERIE"), "001");
  EXPECT_EQ(records[0].at("NFCE"), "0000042");
  EXPECT_EQ(records[1].at("NOTA"), "234567");
  EXPECT_EQ(records[1].at("SERIE"), "   ");
  const auto dates = bridge.Rows("select cast(current_date - 1 as varchar(10)) as d from rdb$database").rows;
  EXPECT_EQ(records[0].at("DATA"), dates[0][0].AsString());

  // The marking commits by itself.
  EXPECT_EQ(Flags(bridge), (std::vector<std::string>{"1234567=1", "4=0", "42=1", "43=null", "44=0", "45=0",
                                                     "46=0", "47=1"}));
}

TEST(NfceImportTest, MarkingMatchesWholeNumbersOnly) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  std::vector<std::string> seed;
  for (const char* nota : {"1", "2", "3", "12", "13", "123"})
    seed.push_back(Invoice(nota, "", "current_date - 2", "0", "''"));
  bridge.Seed(seed);
  bridge.form->State().listaNotas = "-12-13-";
  bridge.form->marcaNFCEImportadas();
  EXPECT_EQ(Flags(bridge), (std::vector<std::string>{"1=0", "12=1", "123=0", "13=1", "2=0", "3=0"}));
  EXPECT_TRUE(bridge.ui.log.empty());
}

TEST(NfceImportTest, ListLongerThanOneLiteralIsMarkedInParts) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  bridge.Seed({Invoice("100000", "", "current_date - 1", "0", "''"),
               Invoice("999999", "", "current_date - 1", "0", "''"),
               Invoice("5", "", "current_date - 1", "0", "''")});
  // Ten thousand numbers: about 70000 characters, beyond one string literal.
  std::string list = "-";
  for (int n = 100000; n < 110000; ++n) list += std::to_string(n) + "-";
  list += "999999-";
  bridge.form->State().listaNotas = list;
  bridge.form->marcaNFCEImportadas();
  EXPECT_TRUE(bridge.ui.log.empty()) << bridge.ui.log[0];
  EXPECT_EQ(Flags(bridge), (std::vector<std::string>{"100000=1", "5=0", "999999=1"}));
}

TEST(NfceImportTest, NothingPendingStillCommitsTheStartSequence) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  veltrix_test::AppendRecords(bridge.Legacy(LegacyFile::kVendedores), {{{"CODIGO", "1"}, {"VENDEDOR", "ANA"}}});
  bridge.form->buscaVendedores();  // not committed by itself
  bridge.form->State().listaNotas = "-7-";  // left from another transfer
  bridge.Seed({Invoice("7", "", "current_date", "0", "''")});
  bridge.ui.log.clear();
  bridge.form->buscaNFCE();
  EXPECT_EQ(bridge.ui.log, std::vector<std::string>{"Buscando NFC-e..."});
  EXPECT_EQ(bridge.Rows("select cod from vendedor").rows.size(), 1u);
  EXPECT_EQ(Flags(bridge), std::vector<std::string>{"7=0"});
  EXPECT_FALSE(bridge.form->Tables().TableNFCE.Active());
}

TEST(NfceImportTest, UnopenableTableIsLoggedAndNothingFlagged) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  bridge.Seed({Invoice("9", "", "current_date - 1", "0", "''")});
  std::filesystem::remove(bridge.Legacy(LegacyFile::kNFCE));
  bridge.form->buscaNFCE();
  ASSERT_EQ(bridge.ui.log.size(), 2u);
  EXPECT_EQ(bridge.ui.log[1].rfind("Erro(buscaNFCE): ", 0), 0u) << bridge.ui.log[1];
  veltrix_test::CommitBridge(*bridge.form);
  EXPECT_EQ(Flags(bridge), std::vector<std::string>{"9=0"});
}

}  // namespace
}  // namespace veltrix
