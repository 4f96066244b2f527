// A second program for the write tests: appends COUNT records to a shared
// table, each naming its writer and its sequence number, through the same
// open and locks as the bridge.
//
//   append_child FILE WRITER COUNT
//
// Exit status 0 when every append was posted, 1 on the first failure (its
// message on standard error), 2 on wrong arguments.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "dbf/smart_dbf.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const int writer = std::atoi(argv[2]);
  const int count = std::atoi(argv[3]);
  try {
    qxdbf::TQxDBFNTX table;
    table.SetDBFFileName(argv[1]);
    table.AccessMode().SetAccessMode(66);
    table.Open();
    qxdbf::TField& who = table.FieldByName("WRITER");
    qxdbf::TField& seq = table.FieldByName("SEQ");
    qxdbf::TField& text = table.FieldByName("TEXT");
    for (int i = 1; i <= count; ++i) {
      table.Append();
      who.SetAsInteger(writer);
      seq.SetAsInteger(i);
      text.SetAsString("writer " + std::to_string(writer) + " record " + std::to_string(i));
      table.Post();
    }
    table.Close();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
