#include "monitor_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace veltrix_test {

namespace {

using Clock = std::chrono::steady_clock;

bool IsDisplayVariable(const char* entry) {
  for (const char* name : {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="}) {
    if (std::strncmp(entry, name, std::strlen(name)) == 0) return true;
  }
  return false;
}

}  // namespace

std::string MonitorProgram() { return VELTRIX_MONITOR_PATH; }

MonitorProcess::MonitorProcess(const std::vector<std::string>& args, bool without_display) {
  // Everything the child needs is prepared before the fork.
  std::vector<std::string> argv_text{MonitorProgram()};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** e = environ; *e != nullptr; ++e) {
    if (!without_display || !IsDisplayVariable(*e)) envp.push_back(*e);
  }
  envp.push_back(nullptr);

  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    close(fds[1]);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  close(fds[1]);
  out_ = fds[0];
}

MonitorProcess::~MonitorProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) close(out_);
}

std::optional<std::string> MonitorProcess::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (true) {
    const size_t newline = pending_.find('\n');
    if (newline != std::string::npos) {
      std::string line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      output_.push_back(line);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (out_ < 0) return std::nullopt;
    pollfd p{out_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0))) <= 0) {
      if (left.count() <= 0) return std::nullopt;
      continue;
    }
    char buffer[512];
    const ssize_t n = read(out_, buffer, sizeof(buffer));
    if (n <= 0) {
      close(out_);
      out_ = -1;
      return std::nullopt;
    }
    pending_.append(buffer, static_cast<size_t>(n));
  }
}

bool MonitorProcess::WaitForLine(const std::string& line, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const std::optional<std::string> next = ReadLine(left);
    if (!next) return false;
    if (*next == line) return true;
  }
}

void MonitorProcess::Signal(int signal_number) {
  if (pid_ > 0) kill(pid_, signal_number);
}

int MonitorProcess::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (pid_ > 0) {
    // Keep reading, so that it never blocks on a full pipe.
    while (ReadLine(std::chrono::milliseconds(0))) {
    }
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      while (ReadLine(std::chrono::milliseconds(100))) {
      }
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (Clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

}  // namespace veltrix_test
