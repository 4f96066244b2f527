// What the bridge core needs of the screen, and nothing more.
//
// The front end implements it with a window, a tray icon and two timers; the
// headless run writes log lines to standard output; tests use a recording
// fake and call the timer handlers themselves, tick by tick. The bridge core
// never includes a GUI header.
//
// The core's event handlers may raise (a connection error at start, a
// failed export from "Atualizar"): the front end shows the error text in a
// message box and carries on, as an application's top-level handler does.
#pragma once

#include <string>

namespace veltrix {

enum class MonitorTimer { kStart, kCycle };  // Timer1 (2 s, once) and Timer2 (25 s)

class MonitorUi {
 public:
  virtual ~MonitorUi() = default;

  // One line at the end of the log. Texts from the legacy side are
  // Windows-1252, from the point of sale ISO 8859-1: the front end converts
  // them for display only.
  virtual void AppendLog(const std::string& line) = 0;
  // The window caption doubles as the status line.
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
  // The application title doubles as the export's progress display.
  virtual void SetApplicationTitle(const std::string& title) = 0;
  virtual std::string ApplicationTitle() const = 0;
  // Lets the front end serve pending events (buttons, tray clicks) during
  // long work.
  virtual void ProcessMessages() = 0;
  virtual void ShowWindow() = 0;
  virtual void HideWindow() = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void SetTimerEnabled(MonitorTimer timer, bool enabled) = 0;
  // Ends the event loop (after "Fechar").
  virtual void Terminate() = 0;
};

}  // namespace veltrix
