// Seller and user synchronisation: legacy sellers and users copied into the
// point of sale, new or changed entries only, on real legacy files and a
// real embedded point-of-sale database.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/access_code.h"
#include "app/legacy_paths.h"
#include "bridge_fixture.h"
#include "legacy_record_io.h"

namespace veltrix {
namespace {

using veltrix_test::AppendRecords;
using veltrix_test::BridgeFixture;

// A legacy text as the table hands it over: padded with blanks to its width.
std::string Padded(const std::string& text, size_t width) { return text + std::string(width - text.size(), ' '); }

// The rows of a select as "a|b|c" lines.
std::vector<std::string> Lines(BridgeFixture& bridge, const std::string& sql) {
  std::vector<std::string> lines;
  for (const auto& row : bridge.Rows(sql).rows) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) line += (i ? "|" : "") + row[i].AsString();
    lines.push_back(line);
  }
  return lines;
}

TEST(SellerSyncTest, NewAndRenamedSellersAreWrittenUnchangedOnesLeftAlone) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  AppendRecords(bridge.Legacy(LegacyFile::kVendedores), {{{"CODIGO", "V-012"}, {"VENDEDOR", "ANA"}},
                                                         {{"CODIGO", "--"}, {"VENDEDOR", "SEM CODIGO"}},
                                                         {{"CODIGO", "7"}, {"VENDEDOR", "BIA"}},
                                                         {{"CODIGO", "5"}, {"VENDEDOR", "NOVO NOME"}}});
  bridge.Seed({"insert into vendedor (cod, nome) values (7, '" + Padded("BIA", 30) + "')",
               "insert into vendedor (cod, nome) values (5, 'VELHO NOME')"});
  bridge.form->buscaVendedores();
  veltrix_test::CommitBridge(*bridge.form);

  EXPECT_EQ(bridge.ui.log, (std::vector<std::string>{"Buscando Vendedores",
                                                     "Cadastrando vendedor: " + Padded("ANA", 30),
                                                     "Cadastrando vendedor: " + Padded("NOVO NOME", 30)}));
  EXPECT_EQ(Lines(bridge, "select cod, nome from vendedor order by cod"),
            (std::vector<std::string>{"5|" + Padded("NOVO NOME", 30), "7|" + Padded("BIA", 30),
                                      "12|" + Padded("ANA", 30)}));
  EXPECT_FALSE(bridge.form->Tables().TableVendedorVeltrix.Active());

  // A second run finds everything in place: nothing written, nothing logged.
  bridge.ui.log.clear();
  bridge.form->buscaVendedores();
  EXPECT_EQ(bridge.ui.log, std::vector<std::string>{"Buscando Vendedores"});
}

TEST(SellerSyncTest, UsersAreNumberedByPositionWithDeletedRecordsCounted) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  const std::string users = bridge.Legacy(LegacyFile::kUsuarios);
  AppendRecords(users,
                {{{"VENDEDOR", "V01"}, {"NOM", "JOAO"}, {"CRC1", "joao"}, {"CRC2", "s3nha"},
                  {"ACESSO", "\x01\x7f\x05"}, {"CONFIGU", "X15abc"}},
                 {{"VENDEDOR", "2"}, {"NOM", "MARIA"}, {"CRC1", "maria"}},
                 {{"NOM", "D'AVILA"}, {"CRC1", "da"}, {"ACESSO", "\x0c\x02"}}},
                {1});
  // A right with the value 0 cannot be written as text: put the byte in.
  veltrix_test::PatchByte(users, 0x7f, 0x00);

  bridge.form->buscaUsuarios();
  veltrix_test::CommitBridge(*bridge.form);

  EXPECT_EQ(bridge.ui.log, (std::vector<std::string>{"Buscando Usuários", "Cadastrando usuário: " + Padded("JOAO", 30),
                                                     "Cadastrando usuário: " + Padded("D'AVILA", 30)}));
  const std::string blank_config = "-0-   ,00 -1- T -2-  -3-  -4-";
  EXPECT_EQ(Lines(bridge, "select cod, nome, usu, senha, vendedor, acesso, configu from usuario order by cod"),
            (std::vector<std::string>{
                "1|" + Padded("JOAO", 30) + "|" + Padded("joao", 10) + "|" + Padded("s3nha", 10) + "|1|" +
                    substituiCaracteres("105") + "|-0- 15,00 -1- T -2-  -3-  -4-",
                "3|" + Padded("D'AVILA", 30) + "|" + Padded("da", 10) + "|" + Padded("", 10) + "|0|" +
                    substituiCaracteres("2") + "|" + blank_config}));
  // The shared table object is back on the sellers' file, closed.
  EXPECT_EQ(bridge.form->Tables().TableVendedorVeltrix.DBFFileName(),
            LegacyPath(bridge.data_dir, "kq000017.dat"));
  EXPECT_FALSE(bridge.form->Tables().TableVendedorVeltrix.Active());

  // Unchanged users are left alone; a user whose seller link differs is
  // written again.
  bridge.Seed({"update usuario set vendedor = 9 where cod = 1"});
  bridge.ui.log.clear();
  bridge.form->buscaUsuarios();
  veltrix_test::CommitBridge(*bridge.form);
  EXPECT_EQ(bridge.ui.log,
            (std::vector<std::string>{"Buscando Usuários", "Cadastrando usuário: " + Padded("JOAO", 30)}));
  EXPECT_EQ(Lines(bridge, "select vendedor from usuario where cod = 1"), std::vector<std::string>{"1"});
}

TEST(SellerSyncTest, UnopenableUserFileIsReportedAndSkipped) {
  BridgeFixture bridge;
  veltrix_test::ConnectBridge(*bridge.form);
  std::filesystem::remove(bridge.Legacy(LegacyFile::kUsuarios));
  bridge.form->buscaUsuarios();
  EXPECT_EQ(bridge.ui.log, std::vector<std::string>{"Erro ao abrir Tabela de usuários do Veltrix"});
  EXPECT_EQ(bridge.form->Tables().TableVendedorVeltrix.DBFFileName(),
            LegacyPath(bridge.data_dir, "kq000017.dat"));
}

}  // namespace
}  // namespace veltrix
