// SIGINT and SIGTERM as events of the Qt event loop. A signal handler may do
// next to nothing safely, and the bridge core must only ever be entered from
// the event loop's thread between two events: the handler writes one byte
// into a pipe, and a socket notifier on the pipe's other end calls OnStop
// from the loop. One instance at a time per process.
#pragma once

#include <QSocketNotifier>

#include <csignal>
#include <functional>
#include <memory>

namespace veltrix::ui {

class SignalStop {
 public:
  // Installs the handlers; raises std::system_error when it cannot.
  SignalStop();
  // Puts the previous handlers back.
  ~SignalStop();
  SignalStop(const SignalStop&) = delete;
  SignalStop& operator=(const SignalStop&) = delete;

  // Called once for each batch of signals that arrived since the last call.
  std::function<void()> OnStop;

 private:
  void Drain();

  int read_fd_ = -1;
  int write_fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  struct sigaction previous_int_ {};
  struct sigaction previous_term_ {};
};

}  // namespace veltrix::ui
