// The real monitor run without a screen, as a child process: the log on
// standard output, the start timer, SIGTERM and SIGINT acting as "Fechar".
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>

#include "monitor_process.h"
#include "test_util.h"

namespace veltrix_test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using Clock = std::chrono::steady_clock;

const std::string kParameter3 =
    "Parâmetro 3(delete-zera BD Quovo ou nao_importa_venda - Não importar vendas do Quovo ou sem_estoque - "
    "Informar sempre estoque 1000 para o Quovo): ";

// An empty data directory: the marker cannot be read at start, and the start
// sequence stops at the missing catalogue. "--headless" comes first and must
// not be taken for the data directory.
TEST(HeadlessTest, LogsTheStartSequenceOnStdoutAndStopsOnSigterm) {
  qxdbf_test::TempDir dir;
  const std::string database = dir.File("BD.FDB");
  const auto started = Clock::now();
  MonitorProcess monitor({"--headless", dir.path(), database}, false);

  const auto first = monitor.ReadLine(seconds(20));
  ASSERT_TRUE(first.has_value());
  EXPECT_NE(first->find("KQ000062.DAT"), std::string::npos) << *first;

  ASSERT_TRUE(monitor.WaitForLine("Conectando com o Banco de Dados", seconds(20)));
  // The start timer's two seconds.
  EXPECT_GE(Clock::now() - started, milliseconds(1900));
  for (const std::string& line :
       {"Parâmetro 1(Banco de Dados do Veltrix): " + dir.path(), "Parâmetro 2(Unidade de Trabalho do Pdv): " + database,
        kParameter3, "BD não encontrado: " + database, std::string("Conectado com o Banco de Dados"),
        "Banco de dados do Veltrix " + dir.path() + " não encontrado (0)"}) {
    EXPECT_EQ(monitor.ReadLine(seconds(10)).value_or("(nothing)"), line);
  }

  monitor.Signal(SIGTERM);
  EXPECT_EQ(monitor.Wait(seconds(10)), 0);
  EXPECT_EQ(monitor.Output().size(), 8u);
}

// No display in the environment: the monitor runs headless without being
// told, and SIGINT (Ctrl+C) closes it, even before the start timer fired.
TEST(HeadlessTest, WithoutADisplayRunsHeadlessAndClosesOnSigint) {
  qxdbf_test::TempDir dir;
  qxdbf_test::WriteAll(dir.File("KQ000062.DAT"), {0});
  MonitorProcess monitor({dir.path(), dir.File("BD.FDB"), "sem_estoque"}, true);

  const auto first = monitor.ReadLine(seconds(20));
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->rfind("Ultima atualização do Veltrix: ", 0), 0u) << *first;

  monitor.Signal(SIGINT);
  EXPECT_EQ(monitor.Wait(seconds(10)), 0);
  EXPECT_EQ(monitor.Output().size(), 1u);
}

}  // namespace
}  // namespace veltrix_test
