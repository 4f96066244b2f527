#include "app/form1.h"

#include <filesystem>
#include <system_error>

#include "app/legacy_paths.h"
#include "app/marker_stamp.h"
#include "app/pos_settings.h"

namespace veltrix {

TForm1::TForm1(MonitorUi& ui, std::vector<std::string> args) : ui_(ui), args_(std::move(args)) {
  ApplyPosSettings(database_, transaction_);
  query_.SetDatabase(&database_);
  query_.SetTransaction(&transaction_);
  provider_.SetDataSet(&query_);
  provider_.SetOptions(poAllowCommandText);
  for (TClientDataSet* snapshot : {&pedidos_, &itens_, &pagto_}) snapshot->SetProvider(&provider_);
}

void TForm1::Connect() {
  if (!database_.Connected()) database_.Open();
}

std::string TForm1::Argument(int n) const {
  return n >= 1 && static_cast<size_t>(n) <= args_.size() ? args_[static_cast<size_t>(n) - 1] : "";
}

std::string TForm1::MarkerPath() const { return LegacyPath(dir_veltrix_, "KQ000062.DAT"); }

void TForm1::FormCreate() {
  state_ = RunState{};
  dir_veltrix_ = Argument(1).empty() ? kDefaultDataDirectory : Argument(1);
  tables_.PointAt(dir_veltrix_);
  if (!Argument(2).empty()) database_.SetDatabaseName(Argument(2));

  std::error_code ignored;
  std::filesystem::create_directories(dir_veltrix_ + "/NFCE/EMIT", ignored);

  // An unreadable marker is reported like any unexpected error; the window
  // and its timers come up all the same.
  try {
    state_.ultimaAtualizacao = dataAtualizacaoVeltrix();
    ui_.AppendLog("Ultima atualização do Veltrix: " + FormatStamp(state_.ultimaAtualizacao));
  } catch (const std::exception& e) {
    ui_.ShowMessage(e.what());
  }
}

void TForm1::Button1Click() {
  if (state_.Pending()) {
    ui_.ShowMessage(kPendingSalesMessage);
    return;
  }
  database_.Close();
  ui_.Terminate();
}

void TForm1::ButtonAtuClick() {
  if (state_.Pending()) {
    ui_.ShowMessage(kPendingSalesMessage);
    return;
  }
  ui_.SetTimerEnabled(MonitorTimer::kCycle, false);
  // The cycle must not stay off because one export failed: it is switched
  // on again before the error travels on.
  try {
    Connect();
    converteDados();
  } catch (...) {
    ui_.SetTimerEnabled(MonitorTimer::kCycle, true);
    throw;
  }
  ui_.SetTimerEnabled(MonitorTimer::kCycle, true);
}

void TForm1::TrayIconMessage(int mouse_message) {
  if (mouse_message == kTrayLeftButtonDown) ui_.ShowWindow();
  if (mouse_message == kTrayRightButtonDown) ui_.HideWindow();
}

void TForm1::FormClick() { ui_.HideWindow(); }

}  // namespace veltrix
