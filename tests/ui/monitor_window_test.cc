// The monitor window with the real bridge core behind it.
#include "ui/monitor_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSystemTrayIcon>

#include <string>
#include <vector>

#include "app/form1.h"
#include "test_util.h"
#include "ui/form_wiring.h"

namespace veltrix::ui {
namespace {

class MonitorWindowTest : public testing::Test {
 protected:
  MonitorWindowTest() : window_("Veltrix Monitor"), form_(window_, {dir_.path(), dir_.File("BD.FDB")}) {
    WireWindow(window_, form_);
    window_.OnMessage = [this](const std::string& text) { messages_.push_back(text); };
    form_.FormCreate();
  }

  static void Click(QWidget& target) {
    const QPointF at(target.width() / 2.0, target.height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, target.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &press);
  }

  // Hidden into the tray, or minimised where there is no tray.
  bool PutAway() const {
    return QSystemTrayIcon::isSystemTrayAvailable() ? !window_.isVisible() : window_.isMinimized();
  }
  bool Shown() const { return window_.isVisible() && !window_.isMinimized(); }

  qxdbf_test::TempDir dir_;
  MonitorWindow window_;
  TForm1 form_;
  std::vector<std::string> messages_;
};

TEST_F(MonitorWindowTest, LayoutCaptionTrayAndTimers) {
  EXPECT_EQ(window_.windowTitle(), "Veltrix Monitor");
  EXPECT_EQ(window_.Caption(), "Veltrix Monitor");
  EXPECT_EQ(window_.size(), QSize(451, 209));
  const Qt::WindowFlags flags = window_.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

  EXPECT_EQ(window_.Memo1().geometry(), QRect(16, 16, 409, 121));
  EXPECT_TRUE(window_.Memo1().isReadOnly());
  EXPECT_EQ(window_.Memo1().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(window_.ButtonAtu().text(), "Atualizar");
  EXPECT_EQ(window_.ButtonAtu().geometry(), QRect(144, 144, 75, 25));
  EXPECT_EQ(window_.Button2().text(), "Fechar");
  EXPECT_EQ(window_.Button2().geometry(), QRect(224, 142, 75, 27));

  EXPECT_EQ(window_.TrayIcon().toolTip(), "Veltrix Monitor");
  EXPECT_FALSE(window_.TrayIcon().icon().isNull());
  window_.SetApplicationTitle("Exportando 40%");
  EXPECT_EQ(window_.TrayIcon().toolTip(), "Exportando 40%");

  MonitorTimers& timers = window_.Timers();
  EXPECT_EQ(timers.Timer(MonitorTimer::kStart).interval(), 2000);
  EXPECT_TRUE(timers.Timer(MonitorTimer::kStart).isSingleShot());
  EXPECT_EQ(timers.Timer(MonitorTimer::kCycle).interval(), 25000);
  EXPECT_FALSE(timers.Enabled(MonitorTimer::kStart));
  EXPECT_FALSE(timers.Enabled(MonitorTimer::kCycle));
  window_.SetTimerEnabled(MonitorTimer::kCycle, true);
  EXPECT_TRUE(timers.Enabled(MonitorTimer::kCycle));
  window_.SetTimerEnabled(MonitorTimer::kCycle, false);
  EXPECT_FALSE(timers.Enabled(MonitorTimer::kCycle));

  // FormCreate could not read the (missing) marker: the top-level handler's
  // message, and no log line.
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("KQ000062.DAT"), std::string::npos);
  EXPECT_TRUE(window_.Memo1().toPlainText().isEmpty());
}

TEST_F(MonitorWindowTest, FecharClosesOnlyWhenNothingIsPending) {
  form_.State().listaBaixa.push_back(Item{"000123", Money{}});
  messages_.clear();
  window_.Button2().click();
  window_.ButtonAtu().click();
  EXPECT_EQ(messages_, (std::vector<std::string>{kPendingSalesMessage, kPendingSalesMessage}));
  EXPECT_FALSE(window_.TerminateRequested());
  EXPECT_FALSE(window_.Timers().Enabled(MonitorTimer::kCycle));

  form_.State().listaBaixa.clear();
  messages_.clear();
  window_.Button2().click();
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(window_.TerminateRequested());
}

// "Atualizar" on a database that does not exist: the connection error reaches
// the top-level handler, is shown, and the cycle runs on.
TEST_F(MonitorWindowTest, AtualizarErrorIsShownAndTheCycleRunsOn) {
  messages_.clear();
  window_.ButtonAtu().click();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(messages_[0].empty());
  EXPECT_TRUE(window_.Timers().Enabled(MonitorTimer::kCycle));
  EXPECT_FALSE(window_.TerminateRequested());
}

TEST_F(MonitorWindowTest, TrayAndClicksShowAndHide) {
  window_.ShowWindow();
  ASSERT_TRUE(Shown());
  Click(*window_.Memo1().viewport());
  EXPECT_TRUE(PutAway());
  emit window_.TrayIcon().activated(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(Shown());
  emit window_.TrayIcon().activated(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(Shown());
  emit window_.TrayIcon().activated(QSystemTrayIcon::Context);
  EXPECT_TRUE(PutAway());
  emit window_.TrayIcon().activated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(PutAway());
  window_.ShowWindow();
  Click(window_);
  EXPECT_TRUE(PutAway());
}

TEST_F(MonitorWindowTest, SingleByteTextIsShownDecodedAndKeptAsSet) {
  window_.AppendLog("Erro(converteDados): A\xC7\xDA\x43\x41R n\xE3o gravado");
  window_.AppendLog("Conectado com o Banco de Dados");
  EXPECT_EQ(window_.Memo1().toPlainText(),
            QString::fromUtf8("Erro(converteDados): AÇÚCAR não gravado\nConectado com o Banco de Dados"));
  window_.SetCaption("P\xC3O");
  EXPECT_EQ(window_.windowTitle(), QString::fromUtf8("PÃO"));
  EXPECT_EQ(window_.Caption(), "P\xC3O");
}

}  // namespace
}  // namespace veltrix::ui
