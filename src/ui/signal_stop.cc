#include "ui/signal_stop.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace veltrix::ui {

namespace {

// The pipe's write end, for the handler; -1 when no instance is alive.
volatile sig_atomic_t g_write_fd = -1;

extern "C" void OnStopSignal(int) {
  const int saved_errno = errno;
  const int fd = g_write_fd;
  if (fd >= 0) {
    const char byte = 1;
    // A full pipe already holds a pending wake-up: losing this byte is fine.
    [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
  }
  errno = saved_errno;
}

[[noreturn]] void RaiseErrno(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

SignalStop::SignalStop() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) RaiseErrno("SignalStop: pipe");
  read_fd_ = fds[0];
  write_fd_ = fds[1];
  g_write_fd = write_fd_;

  notifier_ = std::make_unique<QSocketNotifier>(read_fd_, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });

  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  if (sigaction(SIGINT, &action, &previous_int_) != 0 || sigaction(SIGTERM, &action, &previous_term_) != 0) {
    const int saved = errno;
    sigaction(SIGINT, &previous_int_, nullptr);
    g_write_fd = -1;
    notifier_.reset();
    close(read_fd_);
    close(write_fd_);
    errno = saved;
    RaiseErrno("SignalStop: sigaction");
  }
}

SignalStop::~SignalStop() {
  sigaction(SIGINT, &previous_int_, nullptr);
  sigaction(SIGTERM, &previous_term_, nullptr);
  g_write_fd = -1;
  notifier_.reset();
  close(read_fd_);
  close(write_fd_);
}

void SignalStop::Drain() {
  char buffer[64];
  while (read(read_fd_, buffer, sizeof(buffer)) > 0) {
  }
  if (OnStop) OnStop();
}

}  // namespace veltrix::ui
