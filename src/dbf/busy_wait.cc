#include "dbf/busy_wait.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>

namespace qxdbf {

namespace {

// Longest pause between two turns. Short enough that a one-millisecond lock
// retry overshoots by little, long enough not to burn a core for two seconds.
constexpr std::chrono::microseconds kMaxPause{100};

using Hook = std::shared_ptr<const std::function<void()>>;

std::mutex& HookMutex() {
  static std::mutex mutex;
  return mutex;
}

// Held by shared pointer so that a turn copies a reference under the mutex
// and calls the hook outside it; the hook may then replace itself.
Hook& HookSlot() {
  static Hook hook;
  return hook;
}

Hook CurrentHook() {
  std::lock_guard<std::mutex> lock(HookMutex());
  return HookSlot();
}

}  // namespace

void SetProcessMessagesHook(std::function<void()> hook) {
  Hook next = hook ? std::make_shared<const std::function<void()>>(std::move(hook)) : nullptr;
  std::lock_guard<std::mutex> lock(HookMutex());
  HookSlot() = std::move(next);
}

void BusyWait(bool process_messages, double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) return;
  // A steady clock, unlike the local time of day, does not jump when the
  // system time is set or daylight saving starts, so the wait cannot end
  // early or last for an hour.
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const std::chrono::duration<double> wanted(seconds);
  for (;;) {
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    if (elapsed > wanted) return;
    if (process_messages) {
      if (Hook hook = CurrentHook()) (*hook)();
    }
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(wanted - elapsed);
    if (left.count() > 0)
      std::this_thread::sleep_for(std::min(left, kMaxPause));
    else
      std::this_thread::yield();
  }
}

}  // namespace qxdbf
