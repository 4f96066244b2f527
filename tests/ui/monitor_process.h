// veltrix-monitor started as a real child process: its standard output read
// line by line with deadlines (a hung monitor fails the test instead of
// hanging it), signals sent to it, its exit status collected.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace veltrix_test {

class MonitorProcess {
 public:
  // Starts the monitor with `args`; with `without_display` the child gets an
  // environment without DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM.
  MonitorProcess(const std::vector<std::string>& args, bool without_display);
  // Kills the child when it is still running, and reaps it.
  ~MonitorProcess();
  MonitorProcess(const MonitorProcess&) = delete;
  MonitorProcess& operator=(const MonitorProcess&) = delete;

  // The next line without its newline; nullopt when none arrives in time or
  // the output has ended.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
  // Reads until a line equal to `line` arrives; false when it does not in time.
  bool WaitForLine(const std::string& line, std::chrono::milliseconds timeout);
  // Every line read so far.
  const std::vector<std::string>& Output() const { return output_; }

  void Signal(int signal_number);
  // Its exit status; -1 when it did not exit normally within `timeout`.
  int Wait(std::chrono::milliseconds timeout);

 private:
  int pid_ = -1;
  int out_ = -1;
  std::string pending_;
  std::vector<std::string> output_;
};

// Path of the monitor built beside the tests.
std::string MonitorProgram();

}  // namespace veltrix_test
