// The monitor's command line and the choice between window and headless run:
//   veltrix-monitor [DATA_DIR] [DATABASE] [MODE] [--headless]
#pragma once

#include <string>
#include <vector>

namespace veltrix::ui {

inline constexpr const char* kHeadlessOption = "--headless";

struct CommandLine {
  // The positional arguments, in order, handed to the bridge core.
  std::vector<std::string> args;
  // "--headless" was given (anywhere on the line).
  bool headless = false;
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// Whether a display server is named in the environment (DISPLAY or
// WAYLAND_DISPLAY), or a Qt platform chosen explicitly (QT_QPA_PLATFORM, for
// example "offscreen"). Checked before any application object exists, since
// a widget application that finds no display aborts the process.
bool DisplayConfigured();

}  // namespace veltrix::ui
