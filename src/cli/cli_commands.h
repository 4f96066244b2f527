// Subcommands of the qxdbf tool. Each takes its arguments after the command
// word and answers the process exit status.
#pragma once

#include <string>
#include <vector>

namespace qxdbf_cli {

int InfoCommand(const std::vector<std::string>& args);
int DumpCommand(const std::vector<std::string>& args);
int AppendCommand(const std::vector<std::string>& args);
int SetCommand(const std::vector<std::string>& args);
// Writes (deleted true) or clears the deletion mark of one record.
int MarkCommand(const std::vector<std::string>& args, bool deleted);
int LockCommand(const std::vector<std::string>& args);

}  // namespace qxdbf_cli
