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
               "  info   header, record count and field descriptors of a table\n"
               "  dump   the records as CSV (deleted ones only with --deleted)\n");
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
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qxdbf: %s\n", e.what());
    return 1;
  }
  Usage();
  return 2;
}
