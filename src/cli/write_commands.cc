// qxdbf append / set / delete / recall / lock: changes made beside the
// legacy programs, through the same shared open (access mode 66) and
// Clipper locks the bridge uses.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_commands.h"
#include "dbf/errors.h"
#include "dbf/smart_dbf.h"

namespace qxdbf_cli {

namespace {

using qxdbf::EQxDBFBadArgument;
using qxdbf::TQxDBFNTX;

void OpenShared(TQxDBFNTX& table, const std::string& path) {
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(66);  // read-write, shared with everybody
  table.Open();
}

int32_t ParseRecNo(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || value < 1 || value > INT32_MAX)
    throw EQxDBFBadArgument("'" + text + "' is not a record number");
  return static_cast<int32_t>(value);
}

// FIELD=VALUE pairs, values in the forms `dump` prints.
void AssignValues(TQxDBFNTX& table, const std::vector<std::string>& pairs) {
  for (const auto& pair : pairs) {
    const size_t eq = pair.find('=');
    if (eq == std::string::npos || eq == 0)
      throw EQxDBFBadArgument("'" + pair + "' is not FIELD=VALUE");
    table.FieldByName(pair.substr(0, eq)).SetAsString(pair.substr(eq + 1));
  }
}

void GoToRecord(TQxDBFNTX& table, int32_t recno) {
  table.SetRecNo(recno);
  if (table.RecNo() != recno)
    throw EQxDBFBadArgument("record " + std::to_string(recno) + " is not in the table");
}

}  // namespace

int AppendCommand(const std::vector<std::string>& args) {
  if (args.empty()) {
    std::fprintf(stderr, "usage: qxdbf append FILE FIELD=VALUE...\n");
    return 2;
  }
  TQxDBFNTX table;
  OpenShared(table, args[0]);
  table.Append();
  AssignValues(table, std::vector<std::string>(args.begin() + 1, args.end()));
  table.Post();
  std::printf("%d\n", table.RecNo());
  table.Close();
  return 0;
}

int SetCommand(const std::vector<std::string>& args) {
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: qxdbf set FILE RECNO FIELD=VALUE...\n");
    return 2;
  }
  TQxDBFNTX table;
  OpenShared(table, args[0]);
  GoToRecord(table, ParseRecNo(args[1]));
  table.Edit();
  AssignValues(table, std::vector<std::string>(args.begin() + 2, args.end()));
  table.Post();
  table.Close();
  return 0;
}

int MarkCommand(const std::vector<std::string>& args, bool deleted) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: qxdbf %s FILE RECNO\n", deleted ? "delete" : "recall");
    return 2;
  }
  TQxDBFNTX table;
  OpenShared(table, args[0]);
  GoToRecord(table, ParseRecNo(args[1]));
  table.MarkDeleted(deleted);
  table.Close();
  return 0;
}

int LockCommand(const std::vector<std::string>& args) {
  std::string path, what;
  int32_t recno = 0;
  double seconds = -1;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--file" || args[i] == "--header" || args[i] == "--exclusive") {
      what = args[i];
    } else if (args[i] == "--record" && i + 1 < args.size()) {
      what = args[i];
      recno = ParseRecNo(args[++i]);
    } else if (args[i] == "--seconds" && i + 1 < args.size()) {
      seconds = std::atof(args[++i].c_str());
    } else if (path.empty()) {
      path = args[i];
    } else {
      what.clear();
      break;
    }
  }
  if (path.empty() || what.empty() || seconds < 0) {
    std::fprintf(stderr, "usage: qxdbf lock FILE (--file | --header | --record N | --exclusive) --seconds S\n");
    return 2;
  }
  TQxDBFNTX table;
  if (what == "--exclusive") {
    // Holding the file open without sharing keeps every other program out.
    table.SetDBFFileName(path);
    table.AccessMode().SetAccessMode(18);
    table.Open();
  } else {
    OpenShared(table, path);
  }
  bool locked = what == "--exclusive";
  if (what == "--file") locked = table.FLock();
  if (what == "--header") locked = table.LockHeader();
  if (what == "--record") locked = table.LockRecord(recno);
  if (!locked) {
    std::fprintf(stderr, "qxdbf: the lock was refused\n");
    return 1;
  }
  std::printf("locked\n");
  std::fflush(stdout);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  if (what == "--file") table.UnLock();
  if (what == "--header") table.UnlockHeader();
  if (what == "--record") table.UnlockRecord(recno);
  std::printf("unlocked\n");
  table.Close();
  return 0;
}

}  // namespace qxdbf_cli
