// TForm1: the bridge core. It owns the run state, the six legacy tables and
// the point-of-sale connection, and talks to the screen only through
// MonitorUi, so that the front end (or a test) drives it event by event.
#pragma once

#include <string>
#include <vector>

#include "app/ib_database.h"
#include "app/ib_transaction.h"
#include "app/legacy_tables.h"
#include "app/monitor_ui.h"
#include "app/run_state.h"

namespace veltrix {

// Mouse messages of the tray icon's callback.
inline constexpr int kTrayLeftButtonDown = 513;
inline constexpr int kTrayRightButtonDown = 516;

class TForm1 {
 public:
  // `args` are the command-line arguments after the program name: data
  // directory, point-of-sale database, mode word.
  TForm1(MonitorUi& ui, std::vector<std::string> args);

  // Start-up: run state, paths, the NFCE/EMIT directory, the marker stamp.
  void FormCreate();
  // "Fechar": refused while sales or write-downs are pending.
  void Button1Click();
  // The tray icon's callback: a left press shows the window, a right press
  // hides it.
  void TrayIconMessage(int mouse_message);
  // A click on the window or on the log hides the window.
  void FormClick();

  // Settings.
  const std::string& DirVeltrix() const { return dir_veltrix_; }
  // Command-line argument n (1 to 3), empty when absent.
  std::string Argument(int n) const;
  std::string MarkerPath() const;

  RunState& State() { return state_; }
  LegacyTables& Tables() { return tables_; }
  TIBDatabase& Database() { return database_; }
  TIBTransaction& Transaction() { return transaction_; }
  MonitorUi& Ui() { return ui_; }

 private:
  MonitorUi& ui_;
  std::vector<std::string> args_;
  std::string dir_veltrix_;
  RunState state_;
  LegacyTables tables_;
  TIBDatabase database_;
  TIBTransaction transaction_;
};

// The message both buttons show while sales or write-downs are pending.
inline constexpr const char* kPendingSalesMessage =
    "Existem vendas importadas pendentes de gravação, aguarde";

}  // namespace veltrix
