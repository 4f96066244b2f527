// qxdbf: an administrator's look into a DBF table.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: qxdbf info FILE\n"
               "       qxdbf dump FILE [--deleted] [--oem]\n"
               "       qxdbf append FILE FIELD=VALUE...\n"
               "       qxdbf set FILE RECNO FIELD=VALUE...\n"
               "       qxdbf delete FILE RECNO\n"
               "       qxdbf recall FILE RECNO\n"
               "       qxdbf lock FILE (--file | --header | --record N | --exclusive) --seconds S\n"
               "  info   header, record count and field descriptors of a table\n"
               "  dump   the records as CSV (deleted ones only with --deleted)\n"
               "  append, set, delete, recall   change records beside other programs\n"
               "  lock   hold one lock (or the file opened exclusively) for S seconds, then release it\n"
               "Values are given as dump prints them; writes use a shared open and\n"
               "Clipper-compatible locks.\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    Usage();
    return 2;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  try {
    if (command == "info") return qxdbf_cli::InfoCommand(args);
    if (command == "dump") return qxdbf_cli::DumpCommand(args);
    if (command == "append") return qxdbf_cli::AppendCommand(args);
    if (command == "set") return qxdbf_cli::SetCommand(args);
    if (command == "delete") return qxdbf_cli::MarkCommand(args, true);
    if (command == "recall") return qxdbf_cli::MarkCommand(args, false);
    if (command == "lock") return qxdbf_cli::LockCommand(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qxdbf: %s\n", e.what());
    return 1;
  }
  Usage();
  return 2;
}
