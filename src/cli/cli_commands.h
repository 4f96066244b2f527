// Subcommands of the qxdbf tool. Each takes its arguments after the command
// word and answers the process exit status.
#pragma once

#include <string>
#include <vector>

namespace qxdbf_cli {

int InfoCommand(const std::vector<std::string>& args);
int DumpCommand(const std::vector<std::string>& args);

}  // namespace qxdbf_cli
