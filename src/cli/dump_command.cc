// qxdbf dump FILE [--deleted] [--oem]: the records as CSV.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "dbf/field_def.h"
#include "dbf/smart_dbf.h"

namespace qxdbf_cli {

namespace {

using qxdbf::TField;

std::string CsvCell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string RightTrimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// The value as the dump shows it: text without trailing blanks, numbers
// with "." and their stored decimals, dates as YYYY-MM-DD, T or F.
std::string CellText(TField& field) {
  if (field.IsNull()) return {};
  const auto* def = static_cast<const qxdbf::TQxDBFFieldDef*>(field.Tag());
  if (field.DataType() == qxdbf::ftFloat && def != nullptr && def->Layout().precision > 0 &&
      (def->field_type() == 'N' || def->field_type() == 'F')) {
    char buf[400];
    std::snprintf(buf, sizeof(buf), "%.*f", def->Layout().precision, field.AsFloat());
    return buf;
  }
  return RightTrimmed(field.AsString());
}

}  // namespace

int DumpCommand(const std::vector<std::string>& args) {
  std::string path;
  bool with_deleted = false, oem = false;
  for (const auto& arg : args) {
    if (arg == "--deleted") {
      with_deleted = true;
    } else if (arg == "--oem") {
      oem = true;
    } else if (path.empty() && arg.rfind("--", 0) != 0) {
      path = arg;
    } else {
      std::fprintf(stderr, "usage: qxdbf dump FILE [--deleted] [--oem]\n");
      return 2;
    }
  }
  if (path.empty()) {
    std::fprintf(stderr, "usage: qxdbf dump FILE [--deleted] [--oem]\n");
    return 2;
  }
  qxdbf::TQxDBFNTX table;
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(0x40);  // read, shared with everybody
  table.SetOEM(oem);
  table.SetSetDeleted(!with_deleted);
  table.Open();

  std::string line;
  if (with_deleted) line += '*';
  for (int i = 0; i < table.FieldCount(); ++i) {
    if (i > 0 || with_deleted) line += ",";
    line += CsvCell(table.Fields(i).FieldName());
  }
  std::printf("%s\n", line.c_str());
  for (table.First(); !table.Eof(); table.Next()) {
    line.clear();
    if (with_deleted && table.Deleted()) line += '*';
    for (int i = 0; i < table.FieldCount(); ++i) {
      if (i > 0 || with_deleted) line += ",";
      line += CsvCell(CellText(table.Fields(i)));
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
  table.Close();
  return 0;
}

}  // namespace qxdbf_cli
