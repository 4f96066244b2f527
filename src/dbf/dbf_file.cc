#include "dbf/dbf_file.h"

#include <algorithm>
#include <cstring>

#include "dbf/code_page.h"
#include "dbf/coding.h"
#include "dbf/errors.h"

namespace qxdbf {

namespace {

std::string TrimBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

}  // namespace

// Running positions while the descriptor array is read.
struct DbfFile::ReadState {
  int32_t file_size = 0;
  int32_t record_offset = 1;  // next field's position in the record
  int32_t header_offset = 0;  // next descriptor's position in the file
  int null_bits = 0;          // nullable fields seen (Visual FoxPro)
};

DbfFile::DbfFile() : field_defs_(xBaseIII) {}

void DbfFile::SetDbfVersion(xBaseVersion v) {
  dbf_version_ = v;
  field_defs_.SetVersion(v);
}

std::string DbfFile::DamagedMessage(const std::string& reason) const {
  return "TQxSmartDBF.InternalOpen: File \"" + FileName() + "\" is damaged: " + reason;
}

void DbfFile::FailAndClose(const std::string& message, bool corrupt) {
  proxy_.Close();
  if (corrupt) throw EQxDBFCorruptFile(message);
  throw EQxDBFError(message);
}

void DbfFile::ReadHeader() {
  dbf_version_ = xUnknown;
  lob_version_ = xUnknown;
  const int32_t size = proxy_.GetSize();
  if (size < kHeaderSize || proxy_.Seek(0, 0) != 0 ||
      proxy_.Read(header_.data(), kHeaderSize) != kHeaderSize) {
    FailAndClose(DamagedMessage("the file is shorter than a table header"), true);
  }
  table_flag_.SetTableFlag(header_.Flags());
  auto versions = VersionFromByte(header_.VersionByte(), table_flag_.HasGotMemo());
  if (!versions)
    FailAndClose("TQxSmartDBF.InternalOpen: File \"" + FileName() + "\" is not DBF file", false);
  if (HasLongDescriptors(versions->dbf)) {
    uint8_t extension[kHeaderExtensionSize];
    if (proxy_.Read(extension, kHeaderExtensionSize) != kHeaderExtensionSize)
      FailAndClose(DamagedMessage("the header extension is missing"), true);
  }
  if (header_.RecordLength() == 0)
    FailAndClose(DamagedMessage("the record length is 0"), true);
  if (header_.HeaderLength() < kHeaderSize)
    FailAndClose(DamagedMessage("the header length is below 32"), true);
  SetDbfVersion(versions->dbf);
  lob_version_ = versions->lob;
}

void DbfFile::ReadFieldDescriptors() {
  if (!proxy_.IsOpen())
    throw EQxDBFError(
        "TQxSmartDBF.InternalInitFieldDefs: Can not define fields while DataSet is closed!");
  field_defs_.Clear();
  field_defs_.SetVersion(dbf_version_);
  ReadState state;
  state.file_size = proxy_.GetSize();
  state.header_offset = DescriptorStart(dbf_version_);
  try {
    ReadDescriptorList(field_defs_, state, false);
  } catch (...) {
    field_defs_.Clear();
    throw;
  }
  // The records must start after the descriptors and hold every field;
  // otherwise reading positions from this header would walk into the
  // descriptors or past the end of each record.
  if (state.header_offset + 1 > HeaderLength())
    throw EQxDBFCorruptFile(DamagedMessage("the header length ends inside the field descriptors"));
  if (state.record_offset > RecordLength())
    throw EQxDBFCorruptFile(DamagedMessage("the fields are wider than the record length"));
}

void DbfFile::ReadDescriptorList(TQxDBFFieldDefs& defs, ReadState& state, bool nested) {
  const int block_size = DescriptorSize(dbf_version_);
  uint8_t block[kMaxDescriptorSize];
  for (;;) {
    // A terminator of a top-level list is one byte; of a nested list a whole
    // block. Either way the first byte decides.
    const bool have_block = state.header_offset + block_size <= state.file_size;
    const bool have_byte = state.header_offset + 1 <= state.file_size;
    if (!have_byte || proxy_.Seek(state.header_offset, 0) != state.header_offset ||
        proxy_.Read(block, 1) != 1) {
      throw EQxDBFCorruptFile(
          DamagedMessage("the field descriptors run to the end of the file without a terminator"));
    }
    if (block[0] == kDescriptorTerminator) {
      if (nested) state.header_offset += block_size;
      return;
    }
    if (!have_block || proxy_.Read(block + 1, block_size - 1) != block_size - 1) {
      throw EQxDBFCorruptFile(
          DamagedMessage("the field descriptors run to the end of the file without a terminator"));
    }
    AddField(defs, block, state);
  }
}

void DbfFile::AddField(TQxDBFFieldDefs& defs, const uint8_t* stored, ReadState& state) {
  const int block_size = DescriptorSize(dbf_version_);
  uint8_t block[kMaxDescriptorSize];
  std::memcpy(block, stored, static_cast<size_t>(block_size));
  const int name_area = HasLongDescriptors(dbf_version_) ? kLongNameArea : kShortNameArea;
  if (oem_) OemToAnsiBuffer(block, static_cast<size_t>(name_area));

  TQxDBFFieldDef& def = defs.Add();
  def.Rec().Decode(block);
  def.SetName(AnsiUpperCase(TrimBlanks(def.Rec().Name())));
  def.FieldFlag().SetFieldFlag(def.Rec().Flags());
  if (def.field_type() != 'E') def.Setextend_type(dbftUndefined);

  std::string version_error = OpenVersionError(def.field_type(), dbf_version_);
  if (!version_error.empty()) throw EQxDBFError(version_error);

  FieldLayout layout = LayoutOf(def.Rec(), def.FieldFlag(), dbf_version_, lob_version_);
  // A letter the engine cannot read gets no dataset field; it is skipped by
  // its stored length so that the fields after it stay at their places.
  if (!layout.known) layout.width = def.Rec().Len();
  def.SetLayout(layout, layout.known);
  def.SetPlacement(state.record_offset, state.header_offset);

  if (dbf_version_ == xVisualFoxPro && def.FieldFlag().CanStoreNull()) {
    def.SetNullBit(state.null_bits / 8, static_cast<uint8_t>(1u << (state.null_bits % 8)));
    ++state.null_bits;
  }
  if (def.field_type() == '0' && def.Name() == "_NULLFLAGS")
    defs.SetNullFlags(state.record_offset, layout.width);
  if (layout.data_type == ftAutoInc) defs.SetAutoIncMark(true);

  state.header_offset += block_size;
  if (def.field_type() == 'E' && IsNestedTableType(static_cast<TQxDBFType>(def.extend_type() & 0x7F))) {
    ReadState nested = state;
    nested.record_offset = 1;
    ReadDescriptorList(def.DBFFieldDefs(), nested, true);
    state.header_offset = nested.header_offset;
  }
  state.record_offset += layout.width;
}

int32_t DbfFile::RecordPosition(int32_t recno) const {
  const int64_t pos = static_cast<int64_t>(HeaderLength()) +
                      static_cast<int64_t>(recno - 1) * RecordLength();
  return pos < 0 || pos > INT32_MAX ? -1 : static_cast<int32_t>(pos);
}

int32_t DbfFile::RecordCount() {
  const int32_t size = proxy_.GetSize();
  int32_t count = 0;
  if (size > HeaderLength() && RecordLength() > 0)
    count = (size - HeaderLength()) / RecordLength();
  header_.SetRecordCount(static_cast<uint32_t>(count));
  return count;
}

bool DbfFile::WriteHeader() {
  return proxy_.Seek(0, 0) == 0 && proxy_.Write(header_.data(), kHeaderSize) == kHeaderSize;
}

bool DbfFile::ReReadHeader() {
  TableHeader fresh;
  if (proxy_.Seek(0, 0) != 0 || proxy_.Read(fresh.data(), kHeaderSize) != kHeaderSize) return false;
  header_ = fresh;
  return true;
}

bool DbfFile::ReReadDescriptor(TQxDBFFieldDef& def) {
  uint8_t block[kMaxDescriptorSize];
  const int size = def.Rec().Size();
  if (proxy_.Seek(def.OffsetHD(), 0) != def.OffsetHD() || proxy_.Read(block, size) != size)
    return false;
  FIELD_REC fresh(def.Rec().Version());
  fresh.Decode(block);
  def.SetNextAutoInc(fresh.NextAutoInc());
  def.SetNativeNextAutoInc(fresh.NativeNextAutoInc());
  def.SetNativeStepAutoInc(fresh.NativeStepAutoInc());
  return true;
}

bool DbfFile::WriteDescriptor(const TQxDBFFieldDef& def) {
  // Only the counters change after creation: patch them into the bytes as
  // stored, so that the name and any bytes other writers keep stay intact.
  uint8_t block[kMaxDescriptorSize];
  const int size = def.Rec().Size();
  if (proxy_.Seek(def.OffsetHD(), 0) != def.OffsetHD() || proxy_.Read(block, size) != size)
    return false;
  if (HasLongDescriptors(def.Rec().Version())) {
    EncodeLE32(block + kLongNextAutoIncOffset, def.NextAutoInc());
    EncodeLE32(block + kLongNativeNextAutoIncOffset, def.NativeNextAutoInc());
  } else {
    EncodeLE32(block + kShortNativeNextAutoIncOffset, def.NativeNextAutoInc());
    block[kShortNativeStepAutoIncOffset] = def.NativeStepAutoInc();
    EncodeLE32(block + kShortNextAutoIncOffset, def.NextAutoInc());
  }
  return proxy_.Seek(def.OffsetHD(), 0) == def.OffsetHD() && proxy_.Write(block, size) == size;
}

void DbfFile::EnsureEndOfFileMarker() {
  const int32_t size = proxy_.GetSize();
  if (size <= 0) return;
  uint8_t last = 0;
  if (proxy_.Seek(size - 1, 0) != size - 1 || proxy_.Read(&last, 1) != 1) return;
  if (last == kEndOfFileMarker) return;
  if (proxy_.Seek(0, 2) == size) proxy_.Write(&kEndOfFileMarker, 1);
}

}  // namespace qxdbf
