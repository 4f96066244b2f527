#include "ui/top_level_handler.h"

#include <exception>

namespace veltrix::ui {

void RunHandled(MonitorUi& ui, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ui.ShowMessage(e.what());
  } catch (...) {
    ui.ShowMessage("Erro desconhecido");
  }
}

}  // namespace veltrix::ui
