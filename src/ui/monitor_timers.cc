#include "ui/monitor_timers.h"

namespace veltrix::ui {

MonitorTimers::MonitorTimers() {
  timer1_.setInterval(kStartTimerInterval);
  timer1_.setSingleShot(true);
  timer2_.setInterval(kCycleTimerInterval);
  QObject::connect(&timer1_, &QTimer::timeout, [this] {
    if (OnTimer1Timer) OnTimer1Timer();
  });
  QObject::connect(&timer2_, &QTimer::timeout, [this] {
    if (OnTimer2Timer) OnTimer2Timer();
  });
}

QTimer& MonitorTimers::TimerOf(MonitorTimer timer) { return timer == MonitorTimer::kStart ? timer1_ : timer2_; }

const QTimer& MonitorTimers::Timer(MonitorTimer timer) const {
  return timer == MonitorTimer::kStart ? timer1_ : timer2_;
}

void MonitorTimers::SetEnabled(MonitorTimer timer, bool enabled) {
  QTimer& t = TimerOf(timer);
  if (enabled && !t.isActive()) t.start();
  if (!enabled) t.stop();
}

bool MonitorTimers::Enabled(MonitorTimer timer) const { return Timer(timer).isActive(); }

}  // namespace veltrix::ui
