// Writing a new, empty table file from field definitions.
//
// The bytes written: the 32-byte header (version byte, today's date, count
// 0, header and record length, table flags), the 36 zero bytes of the dBase
// V/VII extension, one descriptor per field (nested lists after their field,
// each closed by a whole descriptor-sized block starting with 0x0D), the
// terminator 0x0D, one 0x1A byte and, for Visual FoxPro, 263 zero bytes.
// So n short descriptors give header length 32n + 34 (32n + 297 for Visual
// FoxPro); the file holds no records and ends at the header length.
#pragma once

#include "dbf/field_def.h"
#include "dbf/proxy_stream.h"
#include "dbf/table_header.h"
#include "dbf/xbase_version.h"

namespace qxdbf {

struct CreatedTable {
  bool has_memo = false;           // some field needs a memo file
  xBaseVersion lob_version = xUnknown;
  uint8_t version_byte = 0;        // final byte 0
  int32_t header_length = 0;
  int32_t record_length = 0;
};

// Creates (replacing) the storage of `proxy` and writes the table. Fills in
// each definition's Offset and OffsetHD, appends "_NULLFLAGS" for Visual
// FoxPro tables with nullable fields, and sets HasGotMemo in `flags` for a
// Visual FoxPro table with a memo. The proxy is closed afterwards, also when
// a step fails; a file already created stays on disk.
CreatedTable CreateTableFile(TProxyStream& proxy, TQxDBFFieldDefs& defs, xBaseVersion version,
                             TTableFlag& flags, bool oem);

}  // namespace qxdbf
