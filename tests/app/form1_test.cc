// Start-up, the "Fechar" guard and the tray icon of the bridge core.
#include "app/form1.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <ctime>
#include <filesystem>

#include "dbf/proxy_stream.h"
#include "fake_ui.h"
#include "test_util.h"

namespace veltrix {
namespace {

using veltrix_test::FakeUi;

// Sets the file's last-write time to the given local time.
void SetLocalTime(const std::string& path, int y, int mo, int d, int h, int mi, int s) {
  std::tm local{};
  local.tm_year = y - 1900;
  local.tm_mon = mo - 1;
  local.tm_mday = d;
  local.tm_hour = h;
  local.tm_min = mi;
  local.tm_sec = s;
  local.tm_isdst = -1;
  const std::time_t when = std::mktime(&local);
  utimbuf times{when, when};
  ASSERT_EQ(utime(path.c_str(), &times), 0);
}

TEST(Form1Test, StartUpLogsTheMarkerStampAndMakesTheNfceFolder) {
  qxdbf_test::TempDir dir;
  qxdbf_test::WriteAll(dir.File("KQ000062.DAT"), {0});
  SetLocalTime(dir.File("KQ000062.DAT"), 2026, 3, 9, 14, 5, 7);
  FakeUi ui;
  TForm1 form(ui, {dir.path(), "/srv/pos/BD.FDB", "sem_estoque"});
  form.FormCreate();
  EXPECT_EQ(form.DirVeltrix(), dir.path());
  EXPECT_EQ(form.Database().DatabaseName(), "/srv/pos/BD.FDB");
  EXPECT_EQ(form.Argument(3), "sem_estoque");
  EXPECT_EQ(form.Tables().QxTableVendas.DBFFileName(), dir.File("kq000009.dat"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("NFCE/EMIT")));
  // Seconds in the two-second steps of DOS dates.
  EXPECT_EQ(ui.log, std::vector<std::string>{"Ultima atualização do Veltrix: 09/03/2026 14:05:06"});
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Form1Test, MarkerHeldOpenByAnotherProgramIsReported) {
  qxdbf_test::TempDir dir;
  qxdbf_test::WriteAll(dir.File("KQ000062.DAT"), {0});
  qxdbf::TProxyStream holder;
  holder.SetFileName(dir.File("KQ000062.DAT"));
  holder.AccessMode().SetAccessMode(66);
  holder.Open();
  ASSERT_TRUE(holder.IsOpen());
  FakeUi ui;
  TForm1 form(ui, {dir.path()});
  form.FormCreate();
  EXPECT_TRUE(ui.log.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].find("KQ000062.DAT"), std::string::npos);
}

TEST(Form1Test, AbsentArgumentsKeepTheDefaults) {
  FakeUi ui;
  TForm1 form(ui, {"", ""});
  EXPECT_EQ(form.Argument(1), "");
  EXPECT_EQ(form.Argument(3), "");
  EXPECT_EQ(form.Database().DatabaseName(), "/VELTRIXW/BD.FDB");
}

TEST(Form1Test, FecharWaitsForPendingSales) {
  qxdbf_test::TempDir dir;
  FakeUi ui;
  TForm1 form(ui, {dir.path()});
  form.FormCreate();
  ui.messages.clear();
  form.State().listaBaixa.push_back({"000001", Money::FromWhole(1)});
  form.Button1Click();
  EXPECT_EQ(ui.messages, std::vector<std::string>{kPendingSalesMessage});
  EXPECT_FALSE(ui.terminated);
  form.State().listaBaixa.clear();
  form.Button1Click();
  EXPECT_TRUE(ui.terminated);
}

TEST(Form1Test, TrayAndClicksShowAndHide) {
  FakeUi ui;
  TForm1 form(ui, {});
  form.TrayIconMessage(kTrayRightButtonDown);
  EXPECT_FALSE(ui.visible);
  form.TrayIconMessage(kTrayRightButtonDown);
  EXPECT_FALSE(ui.visible);
  form.TrayIconMessage(512);  // mouse move: ignored
  EXPECT_FALSE(ui.visible);
  form.TrayIconMessage(kTrayLeftButtonDown);
  EXPECT_TRUE(ui.visible);
  form.FormClick();
  EXPECT_FALSE(ui.visible);
}

}  // namespace
}  // namespace veltrix
