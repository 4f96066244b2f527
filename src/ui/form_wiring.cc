#include "ui/form_wiring.h"

#include "ui/top_level_handler.h"

namespace veltrix::ui {

void WireTimers(MonitorTimers& timers, MonitorUi& ui, TForm1& form) {
  timers.OnTimer1Timer = [&ui, &form] { RunHandled(ui, [&form] { form.Timer1Timer(); }); };
  timers.OnTimer2Timer = [&ui, &form] { RunHandled(ui, [&form] { form.Timer2Timer(); }); };
}

void WireWindow(MonitorWindow& window, TForm1& form) {
  WireTimers(window.Timers(), window, form);
  window.OnButtonAtuClick = [&window, &form] { RunHandled(window, [&form] { form.ButtonAtuClick(); }); };
  window.OnButton1Click = [&window, &form] { RunHandled(window, [&form] { form.Button1Click(); }); };
  window.OnFormClick = [&window, &form] { RunHandled(window, [&form] { form.FormClick(); }); };
  window.OnTrayIconMessage = [&window, &form](int message) {
    RunHandled(window, [&form, message] { form.TrayIconMessage(message); });
  };
}

void WireHeadless(HeadlessUi& ui, TForm1& form) { WireTimers(ui.Timers(), ui, form); }

}  // namespace veltrix::ui
