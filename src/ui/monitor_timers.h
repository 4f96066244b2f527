// The bridge's two timers on the Qt event loop: the start timer (2 s, fires
// once) and the cycle timer (25 s). Both start switched off; the front end
// switches the start timer on once the window is up, and the core's handlers
// switch them on and off themselves.
#pragma once

#include <QTimer>

#include <functional>

#include "app/monitor_ui.h"

namespace veltrix::ui {

inline constexpr int kStartTimerInterval = 2000;   // ms
inline constexpr int kCycleTimerInterval = 25000;  // ms

class MonitorTimers {
 public:
  MonitorTimers();
  MonitorTimers(const MonitorTimers&) = delete;
  MonitorTimers& operator=(const MonitorTimers&) = delete;

  // Switching on a running timer leaves its countdown alone, as a timer
  // component's Enabled property does; switching off stops it.
  void SetEnabled(MonitorTimer timer, bool enabled);
  bool Enabled(MonitorTimer timer) const;
  const QTimer& Timer(MonitorTimer timer) const;

  // Fired on the event loop when a timer runs out.
  std::function<void()> OnTimer1Timer;
  std::function<void()> OnTimer2Timer;

 private:
  QTimer& TimerOf(MonitorTimer timer);

  QTimer timer1_;
  QTimer timer2_;
};

}  // namespace veltrix::ui
