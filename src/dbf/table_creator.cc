#include "dbf/table_creator.h"

#include <cstring>
#include <vector>

#include "dbf/code_page.h"
#include "dbf/errors.h"
#include "dbf/field_layout.h"

namespace qxdbf {

namespace {

// Writes the pieces of a new table and keeps the running header length.
class TableWriter {
 public:
  TableWriter(TProxyStream& proxy, xBaseVersion version, TTableFlag& flags, bool oem)
      : proxy_(proxy), version_(version), flags_(flags), oem_(oem) {}

  CreatedTable Write(TQxDBFFieldDefs& defs);

 private:
  void Put(const void* bytes, int32_t count);
  void WriteDescriptors(TQxDBFFieldDefs& defs, int32_t& record_offset, bool count_width);
  void WriteDescriptor(TQxDBFFieldDef& def, int32_t& record_offset, bool count_width);
  void FillLengths(TQxDBFFieldDef& def, int32_t width);
  void AddNullFlagsField(TQxDBFFieldDefs& defs);

  TProxyStream& proxy_;
  xBaseVersion version_;
  TTableFlag& flags_;
  bool oem_;
  TableHeader header_;
  int32_t header_length_ = 1;  // the terminator byte, counted up front
  int32_t record_length_ = 1;  // the deletion flag
  CreatedTable result_;
};

void TableWriter::Put(const void* bytes, int32_t count) {
  if (proxy_.Write(bytes, count) != count)
    throw EQxDBFIoError("TQxSmartDBF: " + proxy_.LastErrorText());
}

CreatedTable TableWriter::Write(TQxDBFFieldDefs& defs) {
  defs.SetVersion(version_);
  header_.SetVersionByte(VersionByteAtCreation(version_, false));
  header_.SetDateToday();
  header_.SetRecordCount(0);
  header_.SetHeaderLength(1);
  header_.SetRecordLength(1);
  header_.SetFlags(flags_.TableFlag());
  if (proxy_.Seek(0, 0) != 0) throw EQxDBFIoError("TQxSmartDBF: " + proxy_.LastErrorText());
  Put(header_.data(), kHeaderSize);
  header_length_ += kHeaderSize;
  if (HasLongDescriptors(version_)) {
    const uint8_t extension[kHeaderExtensionSize] = {};
    Put(extension, kHeaderExtensionSize);
    header_length_ += kHeaderExtensionSize;
  }
  if (version_ == xVisualFoxPro) AddNullFlagsField(defs);
  if (defs.Empty())
    throw EQxDBFBadArgument(
        "TQxSmartDBF.CreateTable: You should define one field at least to create table!");

  int32_t record_offset = 1;
  WriteDescriptors(defs, record_offset, true);
  Put(&kDescriptorTerminator, 1);
  Put(&kEndOfFileMarker, 1);
  header_length_ += 1;  // the 0x1A byte belongs to the header
  if (version_ == xVisualFoxPro) {
    const std::vector<uint8_t> backlink(kVisualFoxProBacklinkSize, 0);
    Put(backlink.data(), kVisualFoxProBacklinkSize);
    header_length_ += kVisualFoxProBacklinkSize;
  }
  if (header_length_ > 0xFFFF || record_length_ > 0xFFFF)
    throw EQxDBFBadArgument("TQxSmartDBF.CreateTable: the header or the record is longer than 65535 bytes");

  proxy_.Truncate();
  header_.SetHeaderLength(static_cast<uint16_t>(header_length_));
  header_.SetRecordLength(static_cast<uint16_t>(record_length_));
  header_.SetFlags(flags_.TableFlag());
  if (proxy_.Seek(0, 0) != 0) throw EQxDBFIoError("TQxSmartDBF: " + proxy_.LastErrorText());
  Put(header_.data(), kHeaderSize);

  result_.version_byte = header_.VersionByte();
  result_.header_length = header_length_;
  result_.record_length = record_length_;
  return result_;
}

// Visual FoxPro keeps the NULL state of nullable fields in a hidden last
// field with one bit per nullable field.
void TableWriter::AddNullFlagsField(TQxDBFFieldDefs& defs) {
  int nullable = 0;
  for (int i = 0; i < defs.Count(); ++i)
    if (defs[i].FieldFlag().CanStoreNull() && defs[i].Name() != "_NULLFLAGS") ++nullable;
  if (nullable == 0 || defs.IndexOf("_NULLFLAGS") >= 0) return;
  TQxDBFFieldDef& def = defs.Add("_NULLFLAGS", '0', static_cast<uint16_t>((nullable + 7) / 8));
  def.FieldFlag().SetFieldFlag(0);
  def.FieldFlag().SetSystem(true);
  def.FieldFlag().SetBinaryColumn(true);
}

void TableWriter::WriteDescriptors(TQxDBFFieldDefs& defs, int32_t& record_offset,
                                   bool count_width) {
  int null_bits = 0;
  for (int i = 0; i < defs.Count(); ++i) {
    TQxDBFFieldDef& def = defs[i];
    WriteDescriptor(def, record_offset, count_width);
    if (version_ == xVisualFoxPro && def.FieldFlag().CanStoreNull()) {
      def.SetNullBit(null_bits / 8, static_cast<uint8_t>(1u << (null_bits % 8)));
      ++null_bits;
    }
    if (def.field_type() == '0' && def.Name() == "_NULLFLAGS")
      defs.SetNullFlags(def.Offset(), def.Width());
    if (def.Layout().data_type == ftAutoInc) defs.SetAutoIncMark(true);
  }
}

void TableWriter::WriteDescriptor(TQxDBFFieldDef& def, int32_t& record_offset, bool count_width) {
  const char letter = def.field_type();
  const auto ext = static_cast<TQxDBFType>(def.extend_type() & 0x7F);
  if (letter == 'E' && (ext == dbftUndefined || ext >= dbftBytes))
    throw EQxDBFBadArgument("Extend_type incarect!");
  if (letter != 'E') def.Setextend_type(dbftUndefined);
  // Memo pointers of a Visual FoxPro table are 4-byte block numbers; the
  // memo file takes the table's version.
  const xBaseVersion lob = version_;
  FieldLayout layout = LayoutOf(def.Rec(), def.FieldFlag(), version_, lob);
  if (!layout.known) throw EQxDBFBadArgument("Field_type incarect!");
  if (count_width) record_length_ += layout.width;

  FillLengths(def, layout.width);
  std::string version_error = CreateVersionError(letter, version_);
  if (!version_error.empty()) throw EQxDBFBadArgument(version_error);
  if (letter == '+' || letter == '@' || letter == 'I' || letter == 'O')
    def.FieldFlag().SetBinaryColumn(true);
  def.Rec().SetFlags(def.FieldFlag().FieldFlag());
  layout = LayoutOf(def.Rec(), def.FieldFlag(), version_, lob);
  def.SetLayout(layout, true);
  // header_length_ counts the terminator ahead of time; the file position
  // is one less.
  def.SetPlacement(record_offset, header_length_ - 1);

  if (IsMemoField(letter, ext, version_)) {
    result_.has_memo = true;
    result_.lob_version = version_;
    if (version_ == xVisualFoxPro) {
      flags_.SetHasGotMemo(true);
      header_.SetFlags(flags_.TableFlag());
    } else {
      header_.SetVersionByte(VersionByteAtCreation(version_, true));
    }
  }

  uint8_t block[kMaxDescriptorSize];
  def.Rec().Encode(block);
  if (oem_) AnsiToOemBuffer(block, static_cast<size_t>(def.Rec().NameAreaSize()));
  Put(block, def.Rec().Size());
  header_length_ += def.Rec().Size();
  record_offset += layout.width;

  if (letter == 'E' && IsNestedTableType(ext)) {
    int32_t child_offset = 1;
    WriteDescriptors(def.DBFFieldDefs(), child_offset, false);
    uint8_t terminator[kMaxDescriptorSize] = {};
    terminator[0] = kDescriptorTerminator;
    Put(terminator, def.Rec().Size());
    header_length_ += def.Rec().Size();
  }
}

// The length and decimal bytes a descriptor gets. Fixed-width types store
// their width, as every other reader computes field positions from it.
void TableWriter::FillLengths(TQxDBFFieldDef& def, int32_t width) {
  const char letter = def.field_type();
  const auto fixed = static_cast<uint16_t>(width);
  switch (letter) {
    case 'C': case '0': case 'N': case 'F':
      break;  // as the caller set them
    case 'Y':
      def.Setlen(fixed);
      break;
    case 'E': {
      const auto ext = static_cast<TQxDBFType>(def.extend_type() & 0x7F);
      if (IsWideLengthExtendedType(ext)) break;
      if (ext == dbftCurrency_N || ext == dbftBCD || ext == dbftCurrency_NB) break;
      def.Setlen(0);
      def.Setdec(0);
      break;
    }
    default:
      def.Setlen(fixed);
      def.Setdec(0);
      break;
  }
}

}  // namespace

CreatedTable CreateTableFile(TProxyStream& proxy, TQxDBFFieldDefs& defs, xBaseVersion version,
                             TTableFlag& flags, bool oem) {
  proxy.CreateStorage();
  if (!proxy.IsOpen()) throw EQxDBFIoError("TQxSmartDBF.CreateTable: Create error");
  try {
    TableWriter writer(proxy, version, flags, oem);
    CreatedTable result = writer.Write(defs);
    proxy.Close();
    return result;
  } catch (...) {
    proxy.Close();
    throw;
  }
}

}  // namespace qxdbf
