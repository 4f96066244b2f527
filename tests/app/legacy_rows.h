// Writing and reading legacy records in tests, the way a legacy program
// would: open shared, append or edit, post, close.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "dbf/smart_dbf.h"

namespace veltrix_test {

using LegacyRecord = std::map<std::string, std::string>;  // field name -> text

// Appends one record per entry; texts are stored as given (numbers in the
// engine's notation, "12.5"). A record with the key "*deleted" is marked
// deleted after it is posted.
inline void AppendLegacy(const std::string& path, const std::vector<LegacyRecord>& records) {
  qxdbf::TQxDBFNTX table;
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(66);
  table.Open();
  for (const LegacyRecord& record : records) {
    table.Append();
    for (const auto& [name, value] : record)
      if (name != "*deleted") table.FieldByName(name).SetAsString(value);
    table.Post();
    if (record.count("*deleted")) table.Delete();
  }
  table.Close();
}

// Every record (deleted ones too), each field as the engine reads it.
inline std::vector<LegacyRecord> ReadLegacy(const std::string& path) {
  qxdbf::TQxDBFNTX table;
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(66);
  table.Open();
  std::vector<LegacyRecord> records;
  for (table.First(); !table.Eof(); table.Next()) {
    LegacyRecord record;
    for (int i = 0; i < table.FieldCount(); ++i) record[table.Fields(i).FieldName()] = table.Fields(i).AsString();
    if (table.Deleted()) record["*deleted"] = "";
    records.push_back(record);
  }
  table.Close();
  return records;
}

}  // namespace veltrix_test
