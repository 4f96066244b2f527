// Connects the front end's events to the bridge core's handlers. Every call
// into the core goes through the top-level handler (top_level_handler.h), as
// a Qt slot must not let an error escape.
#pragma once

#include "app/form1.h"
#include "ui/headless_ui.h"
#include "ui/monitor_timers.h"
#include "ui/monitor_window.h"

namespace veltrix::ui {

// Timer 1 → Timer1Timer, timer 2 → Timer2Timer; errors shown through `ui`.
void WireTimers(MonitorTimers& timers, MonitorUi& ui, TForm1& form);
// The timers, "Atualizar" → ButtonAtuClick, "Fechar" → Button1Click, a click
// on the window or the log → FormClick, the tray icon → TrayIconMessage.
void WireWindow(MonitorWindow& window, TForm1& form);
void WireHeadless(HeadlessUi& ui, TForm1& form);

}  // namespace veltrix::ui
