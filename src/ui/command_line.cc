#include "ui/command_line.h"

#include <cstdlib>

namespace veltrix::ui {

namespace {

bool EnvSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == kHeadlessOption) {
      line.headless = true;
    } else {
      line.args.push_back(arg);
    }
  }
  return line;
}

bool DisplayConfigured() { return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY") || EnvSet("QT_QPA_PLATFORM"); }

}  // namespace veltrix::ui
