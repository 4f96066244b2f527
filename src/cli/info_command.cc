// qxdbf info FILE: what the header and the descriptors of a table say.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "dbf/dbf_file.h"
#include "dbf/errors.h"

namespace qxdbf_cli {

namespace {

using qxdbf::DbfFile;
using qxdbf::TQxDBFFieldDefs;

const char* YesNo(bool b) { return b ? "yes" : "no"; }

void PrintFields(const TQxDBFFieldDefs& defs, int depth) {
  for (int i = 0; i < defs.Count(); ++i) {
    const auto& def = defs[i];
    const std::string ext =
        def.field_type() == 'E' ? qxdbf::ExtendedTypeName(static_cast<qxdbf::TQxDBFType>(def.extend_type() & 0x7F)) : "-";
    std::printf("%*s%-3d %-12s %c    %-18s %6u %4u %7d  %s\n", depth * 2, "", i + 1,
                def.Name().c_str(), def.field_type(), ext.c_str(), def.Rec().Len(),
                def.Rec().Dec(), def.Offset(),
                def.Layout().known ? qxdbf::FieldTypeName(def.Layout().data_type) : "(unreadable)");
    if (def.DBFFieldDefs().Count() > 0) PrintFields(def.DBFFieldDefs(), depth + 1);
  }
}

}  // namespace

int InfoCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: qxdbf info FILE\n");
    return 2;
  }
  DbfFile file;
  file.Proxy().SetFileName(args[0]);
  // Read-only and shared with everybody: the legacy programs keep working.
  file.Proxy().AccessMode().SetAccessMode(0x40);
  file.Proxy().Open();
  if (!file.Proxy().IsOpen())
    throw qxdbf::EQxDBFIoError("TQxSmartDBF.InternalOpen: Open error \"" + args[0] + "\"");
  file.ReadHeader();
  file.ReadFieldDescriptors();

  const auto& header = file.Header();
  const auto& flags = file.FoxTableFlag();
  std::printf("File:           %s\n", args[0].c_str());
  std::printf("Version byte:   0x%02X (%s)\n", header.VersionByte(), qxdbf::VersionName(file.DbfVersion()));
  std::printf("Memo version:   %s\n", qxdbf::VersionName(file.LobVersion()));
  std::printf("Last update:    %04d-%02d-%02d\n", header.Year(), header.Month(), header.Day());
  std::printf("Header length:  %d\n", file.HeaderLength());
  std::printf("Record length:  %d\n", file.RecordLength());
  std::printf("Stored count:   %u\n", header.RecordCount());
  std::printf("Records:        %d\n", file.RecordCount());
  std::printf("Table flags:    0x%02X (index: %s, memo: %s, database: %s)\n", flags.TableFlag(),
              YesNo(flags.HasGotIndex()), YesNo(flags.HasGotMemo()), YesNo(flags.ItIsDatabase()));
  std::printf("Code page byte: 0x%02X\n", header.CodePage());
  std::printf("Fields:         %d\n", file.FieldDefs().Count());
  std::printf("#   Name         Type Extended type         Len  Dec  Offset  Dataset type\n");
  PrintFields(file.FieldDefs(), 0);
  file.Proxy().Close();
  return 0;
}

}  // namespace qxdbf_cli
