// Legacy records for the import and synchronisation tests, written and read
// as a legacy program would (shared open, append, post), plus raw byte
// patches for values no text write can store (NUL bytes in a C field).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/form1.h"
#include "dbf/smart_dbf.h"
#include "test_util.h"

namespace veltrix_test {

using FieldTexts = std::map<std::string, std::string>;  // field name -> text

// Appends one record per entry; each record in `deleted` (0-based index)
// is marked deleted after it is posted.
inline void AppendRecords(const std::string& path, const std::vector<FieldTexts>& records,
                          const std::vector<size_t>& deleted = {}) {
  qxdbf::TQxDBFNTX table;
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(66);
  table.Open();
  for (size_t i = 0; i < records.size(); ++i) {
    table.Append();
    for (const auto& [name, value] : records[i]) table.FieldByName(name).SetAsString(value);
    table.Post();
    for (const size_t d : deleted)
      if (d == i) table.Delete();
  }
  table.Close();
}

// Every record, deleted ones too, each field as the engine reads it.
inline std::vector<FieldTexts> ReadRecords(const std::string& path) {
  qxdbf::TQxDBFNTX table;
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(66);
  table.Open();
  std::vector<FieldTexts> records;
  for (table.First(); !table.Eof(); table.Next()) {
    FieldTexts record;
    for (int i = 0; i < table.FieldCount(); ++i) record[table.Fields(i).FieldName()] = table.Fields(i).AsString();
    records.push_back(record);
  }
  table.Close();
  return records;
}

// Replaces the first occurrence of byte `from` after the header with `to`.
inline void PatchByte(const std::string& path, uint8_t from, uint8_t to) {
  std::vector<uint8_t> bytes = qxdbf_test::ReadAll(path);
  const size_t header = static_cast<size_t>(bytes[8] | (bytes[9] << 8));
  for (size_t i = header; i < bytes.size(); ++i)
    if (bytes[i] == from) {
      bytes[i] = to;
      break;
    }
  qxdbf_test::WriteAll(path, bytes);
}

// Connects the bridge as its start sequence does before the imports.
inline void ConnectBridge(veltrix::TForm1& form) {
  if (!form.Database().Connected()) form.Database().Open();
}

// Commits what the bridge ran so far, as its next commit point would.
inline void CommitBridge(veltrix::TForm1& form) {
  if (form.Transaction().InTransaction()) form.Transaction().Commit();
}

}  // namespace veltrix_test
