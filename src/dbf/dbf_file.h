// The table file as the engine sees it: header image, field descriptors,
// record positions and the record count, over a TProxyStream.
//
// This layer knows the byte layout and nothing of cursors, fields values or
// locks. A table object owns one DbfFile, opens its proxy, then calls
// ReadHeader and ReadFieldDescriptors.
//
// Record n (from 1) starts at header length + (n - 1) * record length. The
// record count is always (file size - header length) div record length: a
// trailing 0x1A byte or a partly written record never counts, and the count
// stored in the header is never trusted (other programs leave it stale).
#pragma once

#include <cstdint>
#include <string>

#include "dbf/field_def.h"
#include "dbf/proxy_stream.h"
#include "dbf/table_header.h"
#include "dbf/xbase_version.h"

namespace qxdbf {

class DbfFile {
 public:
  DbfFile();

  TProxyStream& Proxy() { return proxy_; }
  const std::string& FileName() const { return proxy_.FileName(); }

  // Name bytes are converted OEM <-> ANSI when set.
  bool OEM() const { return oem_; }
  void SetOEM(bool oem) { oem_ = oem; }

  // REQUIRES: the proxy is open. Reads the 32 header bytes (and the dBase
  // V/VII extension), sets the versions and the table flags. Raises
  // "TQxSmartDBF.InternalOpen: File "<name>" is not DBF file" for an unknown
  // version byte and a damaged-file error for a file shorter than its header
  // or with impossible lengths; on every failure the proxy is closed again.
  void ReadHeader();

  // Rebuilds FieldDefs() from the descriptor array. Raises
  // "TQxSmartDBF.InternalInitFieldDefs: Can not define fields while DataSet
  // is closed!" when the proxy is not open, the version messages of the type
  // letters, and a damaged-file error when the array has no terminator
  // before the end of the file, runs past the header length, or describes
  // fields wider than the record.
  void ReadFieldDescriptors();

  xBaseVersion DbfVersion() const { return dbf_version_; }
  void SetDbfVersion(xBaseVersion v);
  xBaseVersion LobVersion() const { return lob_version_; }
  void SetLobVersion(xBaseVersion v) { lob_version_ = v; }
  TTableFlag& FoxTableFlag() { return table_flag_; }
  const TTableFlag& FoxTableFlag() const { return table_flag_; }

  TableHeader& Header() { return header_; }
  const TableHeader& Header() const { return header_; }
  TQxDBFFieldDefs& FieldDefs() { return field_defs_; }
  const TQxDBFFieldDefs& FieldDefs() const { return field_defs_; }

  int32_t HeaderLength() const { return header_.HeaderLength(); }
  int32_t RecordLength() const { return header_.RecordLength(); }

  // File offset of record `recno` (from 1); -1 when it lies past what a
  // signed 32-bit position can address.
  int32_t RecordPosition(int32_t recno) const;

  // (file size - header length) div record length, also stored in the
  // header image. 0 when the file is shorter than its header.
  int32_t RecordCount();

  // Writes the 32-byte image at offset 0; false when the write failed.
  bool WriteHeader();
  // Re-reads the 32 bytes into the image; false when the read failed.
  bool ReReadHeader();

  // Re-reads the descriptor of `def` from its OffsetHD into `def`'s counters
  // (the auto-increment bytes another program may have advanced).
  bool ReReadDescriptor(TQxDBFFieldDef& def);
  // Writes the descriptor of `def` back at its OffsetHD.
  bool WriteDescriptor(const TQxDBFFieldDef& def);

  // Appends a 0x1A byte when the file does not end with one.
  void EnsureEndOfFileMarker();

  // "TQxSmartDBF.InternalOpen: File "<name>" is damaged: <reason>"
  std::string DamagedMessage(const std::string& reason) const;

 private:
  struct ReadState;
  void ReadDescriptorList(TQxDBFFieldDefs& defs, ReadState& state, bool nested);
  void AddField(TQxDBFFieldDefs& defs, const uint8_t* block, ReadState& state);
  [[noreturn]] void FailAndClose(const std::string& message, bool corrupt);

  TProxyStream proxy_;
  bool oem_ = false;
  xBaseVersion dbf_version_ = xBaseIII;
  xBaseVersion lob_version_ = xUnknown;
  TTableFlag table_flag_;
  TableHeader header_;
  TQxDBFFieldDefs field_defs_;
};

}  // namespace qxdbf
