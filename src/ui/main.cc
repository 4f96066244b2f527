// veltrix-monitor [DATA_DIR] [DATABASE] [MODE] [--headless]
//
// Without positional arguments the bridge runs on a demo made afresh under
// ./veltrix-demo. Without a display (or with --headless) it runs without
// widgets and writes its log to standard output; SIGINT and SIGTERM then act
// as "Fechar".
#include <QApplication>
#include <QCoreApplication>

#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/demo_data.h"
#include "app/form1.h"
#include "ui/command_line.h"
#include "ui/form_wiring.h"
#include "ui/headless_ui.h"
#include "ui/monitor_window.h"
#include "ui/signal_stop.h"
#include "ui/top_level_handler.h"

namespace {

using veltrix::MonitorTimer;
using veltrix::MonitorUi;
using veltrix::TForm1;

constexpr const char* kApplicationTitle = "Veltrix Monitor";

// FormCreate, the start timer and the event loop, on whichever front end.
int RunBridge(QCoreApplication& app, MonitorUi& ui, TForm1& form, const std::string& demo_line,
              const std::function<void()>& show_window, const std::function<bool()>& terminated) {
  veltrix::ui::SignalStop stop;
  stop.OnStop = [&ui, &form] { veltrix::ui::RunHandled(ui, [&form] { form.Button1Click(); }); };
  if (!demo_line.empty()) ui.AppendLog(demo_line);
  veltrix::ui::RunHandled(ui, [&form] { form.FormCreate(); });
  show_window();
  ui.SetTimerEnabled(MonitorTimer::kStart, true);
  if (terminated()) return 0;
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    veltrix::ui::CommandLine line = veltrix::ui::ParseCommandLine(argc, argv);
    std::string demo_line;
    if (line.args.empty()) {
      const std::string base = (std::filesystem::current_path() / "veltrix-demo").string();
      try {
        const veltrix::DemoPaths demo = veltrix::CreateDemo(base, VELTRIX_SCHEMA_PATH);
        line.args = {demo.data_directory, demo.database};
        demo_line = "Demo: " + base;
      } catch (const std::exception& e) {
        std::cerr << "veltrix-monitor: " << e.what() << std::endl;
        return 1;
      }
    }

    if (line.headless || !veltrix::ui::DisplayConfigured()) {
      QCoreApplication app(argc, argv);
      veltrix::ui::HeadlessUi ui(std::cout, kApplicationTitle);
      TForm1 form(ui, line.args);
      veltrix::ui::WireHeadless(ui, form);
      return RunBridge(app, ui, form, demo_line, [] {}, [&ui] { return ui.TerminateRequested(); });
    }

    QApplication app(argc, argv);
    // The window lives hidden in the tray most of the time: closing a message
    // box then must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    veltrix::ui::MonitorWindow window(kApplicationTitle);
    TForm1 form(window, line.args);
    veltrix::ui::WireWindow(window, form);
    if (!demo_line.empty()) std::cout << demo_line << std::endl;
    return RunBridge(app, window, form, demo_line, [&window] { window.ShowWindow(); },
                     [&window] { return window.TerminateRequested(); });
  } catch (const std::exception& e) {
    std::cerr << "veltrix-monitor: " << e.what() << std::endl;
    return 1;
  }
}
