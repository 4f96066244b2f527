// The application's top-level handler: the bridge core's event handlers may
// raise (a connection error at start, a failed export from "Atualizar"), and
// an error must never leave a Qt slot. It is shown instead and the program
// carries on.
#pragma once

#include <functional>

#include "app/monitor_ui.h"

namespace veltrix::ui {

// Runs `handler`; an error it raises is shown with ui.ShowMessage (the
// error's text; "Erro desconhecido" for an exception that is not a
// std::exception) and swallowed.
void RunHandled(MonitorUi& ui, const std::function<void()>& handler);

}  // namespace veltrix::ui
