// The monitor window: the log, the "Atualizar" and "Fechar" buttons, the tray
// icon and the two timers, implementing MonitorUi for the bridge core.
//
// The window has no close, minimise or maximise boxes: the bridge is closed
// only through "Fechar", which the core may refuse while sales are pending.
// What the buttons, clicks and timers do is set from outside through the
// On* events (see form_wiring.h), so the window knows nothing of the core.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QWidget>

#include <functional>
#include <string>

#include "app/monitor_ui.h"
#include "ui/monitor_timers.h"

namespace veltrix::ui {

class MonitorWindow : public QWidget, public MonitorUi {
 public:
  // The caption and the application title (and so the tray icon's tip) start
  // as `application_title`. The window is created hidden and centred.
  explicit MonitorWindow(const std::string& application_title);

  // Texts from the core may be single-byte (see log_text.h); Caption() and
  // ApplicationTitle() answer the bytes as set, whatever is displayed.
  void AppendLog(const std::string& line) override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override { return caption_; }
  void SetApplicationTitle(const std::string& title) override;
  std::string ApplicationTitle() const override { return title_; }
  void ProcessMessages() override;
  // Shows the window normal and on top.
  void ShowWindow() override;
  // Hides the window into the tray; without a system tray the window would
  // then be out of reach, so it is minimised instead.
  void HideWindow() override;
  // Goes through OnMessage.
  void ShowMessage(const std::string& text) override;
  void SetTimerEnabled(MonitorTimer timer, bool enabled) override { timers_.SetEnabled(timer, enabled); }
  // Leaves every running event loop (exit status 0).
  void Terminate() override;

  // Events.
  std::function<void()> OnButtonAtuClick;  // "Atualizar"
  std::function<void()> OnButton1Click;    // "Fechar"
  std::function<void()> OnFormClick;       // a click on the window or on the log
  std::function<void(int)> OnTrayIconMessage;  // 513 / 516, see tray_icon.h
  // How a message is shown: a modal message box unless replaced (a test
  // captures the text instead of blocking on the box).
  std::function<void(const std::string&)> OnMessage;

  QPlainTextEdit& Memo1() { return *memo1_; }
  QPushButton& ButtonAtu() { return *button_atu_; }
  QPushButton& Button2() { return *button2_; }
  QSystemTrayIcon& TrayIcon() { return *tray_icon_; }
  MonitorTimers& Timers() { return timers_; }
  bool TerminateRequested() const { return terminate_requested_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  // Clicks on the log.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowMessageBox(const std::string& text);

  QPlainTextEdit* memo1_;
  QPushButton* button_atu_;
  QPushButton* button2_;
  QSystemTrayIcon* tray_icon_;
  MonitorTimers timers_;
  std::string caption_;
  std::string title_;
  bool terminate_requested_ = false;
};

}  // namespace veltrix::ui
