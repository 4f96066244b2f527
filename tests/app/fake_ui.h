// A MonitorUi that records what the bridge core shows, for tests that drive
// the core event by event.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/monitor_ui.h"

namespace veltrix_test {

class FakeUi : public veltrix::MonitorUi {
 public:
  void AppendLog(const std::string& line) override { log.push_back(line); }
  void SetCaption(const std::string& text) override {
    caption = text;
    captions.push_back(text);
  }
  std::string Caption() const override { return caption; }
  void SetApplicationTitle(const std::string& text) override { title = text; }
  std::string ApplicationTitle() const override { return title; }
  void ProcessMessages() override { ++processed; }
  void ShowWindow() override { visible = true; }
  void HideWindow() override { visible = false; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void SetTimerEnabled(veltrix::MonitorTimer timer, bool enabled) override { timers[timer] = enabled; }
  void Terminate() override { terminated = true; }

  std::vector<std::string> log;
  std::vector<std::string> messages;
  std::string caption = "Veltrix Monitor";
  std::vector<std::string> captions;  // every caption set, in order
  std::string title = "Veltrix Monitor";
  std::map<veltrix::MonitorTimer, bool> timers;
  int processed = 0;
  bool visible = true;
  bool terminated = false;
};

}  // namespace veltrix_test
