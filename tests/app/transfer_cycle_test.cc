// The start sequence, the 25-second cycle and the retrying table open,
// driven tick by tick on real tables and a real embedded database.
#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>
#include <filesystem>

#include "bridge_fixture.h"

namespace veltrix {
namespace {

using veltrix_test::BridgeFixture;
using veltrix_test::FakeUi;

void Touch(const std::string& path, time_t when) {
  utimbuf times{when, when};
  ASSERT_EQ(utime(path.c_str(), &times), 0);
}

int Count(const std::vector<std::string>& log, const std::string& line) {
  return static_cast<int>(std::count(log.begin(), log.end(), line));
}

constexpr char kExportDone[] = "Conexão com o Banco de Dados Estabelecida";

TEST(TransferCycleTest, StartSequenceStopsWithoutTheCatalogue) {
  BridgeFixture bridge("sem_estoque");
  std::filesystem::remove(bridge.Legacy(LegacyFile::kProduto));
  bridge.form->Timer1Timer();
  EXPECT_EQ(bridge.ui.log, (std::vector<std::string>{
                               "Conectando com o Banco de Dados",
                               "Parâmetro 1(Banco de Dados do Veltrix): " + bridge.data_dir,
                               "Parâmetro 2(Unidade de Trabalho do Pdv): " + bridge.pos.path,
                               "Parâmetro 3(delete-zera BD Quovo ou nao_importa_venda - Não importar vendas do Quovo "
                               "ou sem_estoque - Informar sempre estoque 1000 para o Quovo): sem_estoque",
                               "Conectado com o Banco de Dados",
                               "Banco de dados do Veltrix " + bridge.data_dir + " não encontrado (0)",
                           }));
  EXPECT_FALSE(bridge.ui.timers[MonitorTimer::kStart]);
  EXPECT_FALSE(bridge.ui.timers[MonitorTimer::kCycle]);
}

TEST(TransferCycleTest, MissingDatabaseIsReportedAndTheConnectionFails) {
  BridgeFixture bridge;
  FakeUi ui;
  TForm1 form(ui, {bridge.data_dir, bridge.pos.dir.File("missing.fdb")});
  form.FormCreate();
  EXPECT_ANY_THROW(form.Timer1Timer());
  ASSERT_GE(ui.log.size(), 3u);
  EXPECT_EQ(ui.log[ui.log.size() - 2], "BD não encontrado: " + bridge.pos.dir.File("missing.fdb"));
  EXPECT_EQ(ui.log.back(), "Conectado com o Banco de Dados");
  EXPECT_FALSE(ui.timers[MonitorTimer::kCycle]);
}

TEST(TransferCycleTest, MarkerIsComparedFromTheTwentiethTick) {
  BridgeFixture bridge;
  const std::string marker = bridge.Legacy(LegacyFile::kMarcador);
  Touch(marker, 1700000000);
  bridge.form->State().ultimaAtualizacao = bridge.form->dataAtualizacaoVeltrix();
  Touch(marker, 1700000100);
  for (int tick = 1; tick <= 19; ++tick) bridge.form->Timer2Timer();
  EXPECT_EQ(Count(bridge.ui.log, kExportDone), 0);
  EXPECT_EQ(bridge.ui.caption, "Aguardando vendas");
  EXPECT_TRUE(bridge.ui.timers[MonitorTimer::kCycle]);
  bridge.form->Timer2Timer();
  EXPECT_EQ(Count(bridge.ui.log, kExportDone), 1);
  EXPECT_EQ(bridge.form->State().contadorCiclos, 0);
  // A new change waits for the twentieth tick after the export; an
  // unchanged marker is never exported again.
  Touch(marker, 1700000200);
  for (int tick = 1; tick <= 19; ++tick) bridge.form->Timer2Timer();
  EXPECT_EQ(Count(bridge.ui.log, kExportDone), 1);
  bridge.form->Timer2Timer();
  EXPECT_EQ(Count(bridge.ui.log, kExportDone), 2);
  for (int tick = 1; tick <= 45; ++tick) bridge.form->Timer2Timer();
  EXPECT_EQ(Count(bridge.ui.log, kExportDone), 2);
}

TEST(TransferCycleTest, UnreadableMarkerKeepsTheCycleRunning) {
  BridgeFixture bridge;
  std::filesystem::remove(bridge.Legacy(LegacyFile::kMarcador));
  bridge.form->State().contadorCiclos = 19;
  bridge.form->Timer2Timer();
  EXPECT_EQ(Count(bridge.ui.log, kExportDone), 0);
  EXPECT_TRUE(std::any_of(bridge.ui.log.begin(), bridge.ui.log.end(), [](const std::string& line) {
    return line.rfind("Erro(dataAtualizacaoVeltrix): ", 0) == 0;
  }));
  EXPECT_TRUE(bridge.ui.timers[MonitorTimer::kCycle]);
}

// Eleven failed re-exports, each after a new change of the marker. The
// database path carries the word the recovery looks for in the message.
TEST(TransferCycleTest, ElevenCorruptionFailuresRestoreTheBackupOnce) {
  struct Case {
    std::string folder;
    bool restores;
  };
  for (const Case& c : {Case{"corruption", true}, Case{"plain", false}}) {
    BridgeFixture bridge;
    bridge.pos.database.Close();
    const std::string folder = bridge.pos.dir.File(c.folder);
    std::filesystem::create_directories(folder);
    const std::string damaged = folder + "/pos.fdb";
    std::filesystem::copy_file(bridge.pos.path, folder + "/pos.BKP");
    qxdbf_test::WriteAll(damaged, std::vector<uint8_t>(8192, 0x55));
    FakeUi ui;
    TForm1 form(ui, {bridge.data_dir, damaged, "nao_importa_venda"});
    form.FormCreate();
    const std::string marker = bridge.Legacy(LegacyFile::kMarcador);
    form.State().contadorCiclos = 19;
    for (int failure = 0; failure < 11; ++failure) {
      Touch(marker, 1700000000 + 10 * failure);
      form.Timer2Timer();
      ASSERT_EQ(ui.log.back().rfind("Erro(converteDados): ", 0) == 0 ||
                    ui.log.back() == "Restaurada copia do Bd do Quovo",
                true)
          << ui.log.back();
    }
    const auto first_error = std::find_if(ui.log.begin(), ui.log.end(), [](const std::string& line) {
      return line.rfind("Erro(converteDados): ", 0) == 0;
    });
    ASSERT_NE(first_error, ui.log.end());
    EXPECT_EQ(first_error->substr(first_error->size() - 4), " - 0");
    EXPECT_EQ(Count(ui.log, "Restaurada copia do Bd do Quovo"), c.restores ? 1 : 0) << c.folder;
    EXPECT_EQ(form.State().falhasConversao, c.restores ? 0 : 11);
    Touch(marker, 1700001000);
    form.Timer2Timer();
    EXPECT_EQ(Count(ui.log, kExportDone), c.restores ? 1 : 0) << c.folder;
    if (c.restores) {
      // The damaged file is kept beside the restored one.
      int kept = 0;
      for (const auto& entry : std::filesystem::directory_iterator(folder))
        kept += entry.path().filename().string().rfind("pos.fdb.danificado-", 0) == 0;
      EXPECT_EQ(kept, 1);
      EXPECT_TRUE(std::filesystem::exists(folder + "/pos.BKP"));
    }
  }
}

TEST(TransferCycleTest, RestoreWithoutBackupChangesNothing) {
  BridgeFixture bridge;
  const auto before = qxdbf_test::ReadAll(bridge.pos.path);
  bridge.form->restauraBdQuovo();
  EXPECT_EQ(bridge.ui.log.back(), "Erro(restauraBdQuovo): copia do Bd do Quovo não encontrada: " +
                                      bridge.pos.path.substr(0, bridge.pos.path.size() - 3) + "BKP");
  EXPECT_EQ(qxdbf_test::ReadAll(bridge.pos.path), before);
}

TEST(TransferCycleTest, TableHeldByAnotherProgramIsGivenUpAfterTenAttempts) {
  BridgeFixture bridge;
  qxdbf_test::ChildProcess holder(
      {qxdbf_test::CliProgram(), "lock", bridge.Legacy(LegacyFile::kProduto), "--exclusive", "--seconds", "4"});
  ASSERT_EQ(holder.ReadLine(), "locked");
  bridge.ui.caption = "Aguardando vendas";
  bridge.form->converteDados();
  std::vector<std::string> expected;
  for (int attempt = 1; attempt <= 10; ++attempt)
    expected.push_back("Erro ao abrir tabela QxTableProduto  Tentativa: " + std::to_string(attempt));
  expected.push_back("Aguardando vendas");
  EXPECT_EQ(bridge.ui.captions, expected);
  EXPECT_GT(bridge.ui.processed, 10);
  EXPECT_TRUE(bridge.ui.log.empty());
}

TEST(TransferCycleTest, AtualizarExportsAndResumesTheCycle) {
  BridgeFixture bridge;
  bridge.form->State().listaBaixa.push_back({"000001", Money::FromWhole(1)});
  bridge.form->ButtonAtuClick();
  EXPECT_EQ(bridge.ui.messages, std::vector<std::string>{kPendingSalesMessage});
  EXPECT_EQ(Count(bridge.ui.log, kExportDone), 0);
  bridge.form->State().listaBaixa.clear();
  bridge.form->ButtonAtuClick();
  EXPECT_EQ(Count(bridge.ui.log, kExportDone), 1);
  EXPECT_TRUE(bridge.ui.timers[MonitorTimer::kCycle]);

  // A failed export still switches the cycle back on.
  bridge.form->Database().SetDatabaseName(bridge.pos.dir.File("missing.fdb"));
  bridge.ui.timers[MonitorTimer::kCycle] = false;
  EXPECT_ANY_THROW(bridge.form->ButtonAtuClick());
  EXPECT_TRUE(bridge.ui.timers[MonitorTimer::kCycle]);
}

}  // namespace
}  // namespace veltrix
