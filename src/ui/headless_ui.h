// The front end without a screen: a server or a terminal session. Every log
// line, and every message that would be a message box, goes to an output
// stream as one line, flushed at once so that a reader (a supervisor, a log
// collector, a test) sees it while the bridge runs. Runs on a
// QCoreApplication event loop.
#pragma once

#include <ostream>
#include <string>

#include "app/monitor_ui.h"
#include "ui/monitor_timers.h"

namespace veltrix::ui {

class HeadlessUi : public MonitorUi {
 public:
  HeadlessUi(std::ostream& out, std::string application_title);

  void AppendLog(const std::string& line) override;
  // The caption (status line) and title (export progress) are kept for the
  // core to read back but not printed: they change every tick and every
  // percent and would flood the output.
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  std::string Caption() const override { return caption_; }
  void SetApplicationTitle(const std::string& title) override { title_ = title; }
  std::string ApplicationTitle() const override { return title_; }
  void ProcessMessages() override;
  // There is no window: its visibility is only remembered.
  void ShowWindow() override { visible_ = true; }
  void HideWindow() override { visible_ = false; }
  // Printed as a log line; nobody is there to press OK.
  void ShowMessage(const std::string& text) override;
  void SetTimerEnabled(MonitorTimer timer, bool enabled) override { timers_.SetEnabled(timer, enabled); }
  // Ends the event loop with exit status 0.
  void Terminate() override;

  MonitorTimers& Timers() { return timers_; }
  bool Visible() const { return visible_; }
  bool TerminateRequested() const { return terminate_requested_; }

 private:
  std::ostream& out_;
  std::string caption_;
  std::string title_;
  MonitorTimers timers_;
  bool visible_ = true;
  bool terminate_requested_ = false;
};

}  // namespace veltrix::ui
