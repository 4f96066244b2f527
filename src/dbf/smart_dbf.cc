#include "dbf/smart_dbf.h"

#include <cstring>

#include "dbf/code_page.h"
#include "dbf/errors.h"
#include "dbf/table_creator.h"

namespace qxdbf {


TQxSmartDBF::TQxSmartDBF() : window_(file_) {}

TQxSmartDBF::~TQxSmartDBF() {
  // Never raises: whatever fails while closing, the files are closed.
  try {
    Close();
  } catch (...) {
    file_.Proxy().Close();
  }
  FreeOpenState();
}

// ---- settings ---------------------------------------------------------------

void TQxSmartDBF::SetLockProtocol(LockProtocolType protocol) {
  if (Active())
    throw EQxDBFError("TQxSmartDBF.SetLockProtocol: Can't change lock protocol while dataset is active!");
  lock_protocol_ = protocol;
}

void TQxSmartDBF::SetLobLockProtocol(LockProtocolType protocol) {
  if (Active())
    throw EQxDBFError("TQxSmartDBF.SetLobLockProtocol: Can't change lock protocol while dataset is active!");
  lob_lock_protocol_ = protocol;
}

void TQxSmartDBF::SetSetDeleted(bool value) {
  if (!Active()) {
    set_deleted_ = value;
    return;
  }
  CheckBrowseMode();
  set_deleted_ = value;
  Refresh();
}

void TQxSmartDBF::SetFiltered(bool value) {
  if (!Active()) {
    TDataSet::SetFiltered(value);
    return;
  }
  CheckBrowseMode();
  if (value && !Filter().empty())
    throw EQxDBFError("TQxSmartDBF.SetFiltered: filter expressions are not available; use OnFilterRecord");
  if (value == Filtered()) return;
  TDataSet::SetFiltered(value);
  Refresh();
}

void TQxSmartDBF::SetCreateNow(bool value) {
  create_now_ = value;
  if (value) CreateTable();
}

// ---- open and close ---------------------------------------------------------

void TQxSmartDBF::InternalOpen() {
  file_locked_ = header_locked_ = lob_locked_ = false;
  locked_records_.clear();

  TProxyStream& proxy = file_.Proxy();
  proxy.SetFileName(file_name_);
  proxy.AccessMode().SetAccessMode(access_mode_.AccessMode());
  proxy.SetProxyStreamType(storage_type_);
  proxy.SetOuterStream(outer_stream_);
  proxy.OnLockEvent = OnOuterStreamLock;
  proxy.OnUnlockEvent = OnOuterStreamUnlock;
  proxy.Open();
  if (!proxy.IsOpen())
    throw EQxDBFIoError("TQxSmartDBF.InternalOpen: Open error \"" + file_name_ + "\"");

  file_.ReadHeader();
  record_size_ = file_.RecordLength();
  window_.Allocate(this, buffer_size_, record_size_);
  CreateDefaultFields();
  RefreshCodec();
  window_.InternalFirst();
  blank_buffer_ = TrackedBuffer(this, "TQxSmartDBF", RecBufSize());
  filter_buffer_ = TrackedBuffer(this, "TQxSmartDBF", RecBufSize());
  key_buffer_ = TrackedBuffer(this, "TQxSmartDBF", RecBufSize());
  crypt_buffer_ = TrackedBuffer(this, "TQxSmartDBF", RecBufSize());
  if (Filtered() && !Filter().empty())
    throw EQxDBFError("TQxSmartDBF.InternalOpen: filter expressions are not available; use OnFilterRecord");
  window_.AtBof = true;
}

void TQxSmartDBF::InternalInitFieldDefs() {
  file_.ReadFieldDescriptors();
  auto& defs = MutableFieldDefs();
  TQxDBFFieldDefs& dbf_defs = file_.FieldDefs();
  for (int i = 0; i < dbf_defs.Count(); ++i) {
    TQxDBFFieldDef& d = dbf_defs[i];
    if (!d.HasDataSetField()) continue;
    TFieldDef def;
    def.name = d.Name();
    def.data_type = d.Layout().data_type;
    def.size = d.Layout().data_size;
    // Memo pointers, byte fields and decimal records travel as their
    // stored bytes.
    if (def.size == 0 && def.data_type != ftFloat && FieldBufferSize(d) > 8) def.size = FieldBufferSize(d);
    def.precision = d.Layout().precision;
    def.source = &d;
    defs.push_back(def);
  }
}

void TQxSmartDBF::FreeOpenState() {
  window_.Free();
  blank_buffer_.Reset();
  filter_buffer_.Reset();
  key_buffer_.Reset();
  crypt_buffer_.Reset();
  sync_record_ = nullptr;
  probing_ = false;
}

void TQxSmartDBF::InternalClose() {
  FreeOpenState();
  TProxyStream& proxy = file_.Proxy();
  if (!proxy.IsOpen()) return;
  // Other programs expect the 0x1A byte after the last record.
  if (access_mode_.OpenReadWrite()) {
    try {
      file_.EnsureEndOfFileMarker();
    } catch (...) {
      proxy.Close();
      throw;
    }
  }
  proxy.Close();
}

bool TQxSmartDBF::IsCursorOpen() const { return const_cast<DbfFile&>(file_).Proxy().IsOpen(); }

void TQxSmartDBF::CreateTable() {
  if (Active())
    throw EQxDBFError("TQxSmartDBF.CreateTable: Can not create table while dataset is open");
  TProxyStream& proxy = file_.Proxy();
  proxy.SetFileName(file_name_);
  proxy.AccessMode().SetAccessMode(access_mode_.AccessMode());
  proxy.SetProxyStreamType(storage_type_);
  proxy.SetOuterStream(outer_stream_);
  const CreatedTable created =
      CreateTableFile(proxy, file_.FieldDefs(), file_.DbfVersion(), file_.FoxTableFlag(), file_.OEM());
  if (created.has_memo) file_.SetLobVersion(created.lob_version);
}

// ---- record buffers ---------------------------------------------------------

int32_t TQxSmartDBF::RecNoOf(const uint8_t* buffer) const {
  int32_t recno = 0;
  std::memcpy(&recno, buffer + record_size_ + kTrailerRecNo, 4);
  return recno;
}

void TQxSmartDBF::InternalInitRecord(uint8_t* buffer) {
  std::memset(buffer, ' ', static_cast<size_t>(RecBufSize()));
  BlankRecordImage(buffer, record_size_, file_.FieldDefs(), Codec());
  const int32_t zero = 0;
  std::memcpy(buffer + record_size_ + kTrailerRecNo, &zero, 4);
  buffer[record_size_ + kTrailerStatus] = kStatusBlank;
  buffer[record_size_ + kTrailerFlag] = bfInserted;
}

void TQxSmartDBF::GetBookmarkData(const uint8_t* buffer, uint8_t* data) const {
  std::memcpy(data, buffer + record_size_ + kTrailerRecNo, 4);
}

void TQxSmartDBF::SetBookmarkData(uint8_t* buffer, const uint8_t* data) {
  std::memcpy(buffer + record_size_ + kTrailerRecNo, data, 4);
}

TBookmarkFlag TQxSmartDBF::GetBookmarkFlag(const uint8_t* buffer) const {
  return static_cast<TBookmarkFlag>(buffer[record_size_ + kTrailerFlag]);
}

void TQxSmartDBF::SetBookmarkFlag(uint8_t* buffer, TBookmarkFlag flag) {
  buffer[record_size_ + kTrailerFlag] = flag;
}

bool TQxSmartDBF::BookmarkValid(const TBookmark& bookmark) {
  if (bookmark.size() < 4) return false;
  int32_t recno = 0;
  std::memcpy(&recno, bookmark.data(), 4);
  return recno >= 1 && static_cast<uint32_t>(recno) <= file_.Header().RecordCount();
}

int TQxSmartDBF::CompareBookmarks(const TBookmark& a, const TBookmark& b) {
  if (a.empty() && b.empty()) return 0;
  if (a.empty()) return -1;
  if (b.empty()) return 1;
  int32_t x = 0, y = 0;
  std::memcpy(&x, a.data(), 4);
  std::memcpy(&y, b.data(), 4);
  return x < y ? -1 : (x > y ? 1 : 0);
}

// ---- field values -----------------------------------------------------------

void TQxSmartDBF::RefreshCodec() {
  CodecContext& ctx = codec_;
  ctx.dbf_version = file_.DbfVersion();
  ctx.lob_version = file_.LobVersion();
  ctx.trim_c_type = trim_c_type_;
  ctx.null_flags_offset = file_.FieldDefs().NullFlagsOffset();
  ctx.null_flags_width = file_.FieldDefs().NullFlagsWidth();
  ctx.filling_auto_inc = filling_auto_inc_;
}

bool TQxSmartDBF::GetFieldData(TField& field, void* buffer) {
  if (field.FieldKind() == fkCalculated) return GetCalcFieldData(field, buffer);
  const uint8_t* record = GetActiveRecBuf();
  if (record == nullptr || field.Tag() == nullptr) return false;
  return ReadFieldData(*static_cast<const TQxDBFFieldDef*>(field.Tag()), record, Codec(), buffer);
}

void TQxSmartDBF::SetFieldData(TField& field, const void* buffer) {
  if (field.ReadOnly() && State() != dsSetKey && State() != dsFilter)
    throw EQxDBFError("Field '" + field.DisplayName() + "' cannot be modified");
  if (field.FieldKind() == fkCalculated) {
    SetCalcFieldData(field, buffer);
    return;
  }
  uint8_t* record = GetActiveRecBuf();
  if (record == nullptr || field.Tag() == nullptr)
    throw EQxDBFError("Field '" + field.DisplayName() + "' has no record to write to");
  WriteFieldData(*static_cast<const TQxDBFFieldDef*>(field.Tag()), record, Codec(), buffer);
  if (State() != dsCalcFields && State() != dsFilter && State() != dsNewValue) DataChanged(field);
}

std::string TQxSmartDBF::Translate(std::string text, bool to_oem) {
  if (!file_.OEM()) return text;
  return to_oem ? AnsiToOem(std::move(text)) : OemToAnsi(std::move(text));
}

TQxDBFNTX::TQxDBFNTX() {
  SetLockProtocol(lpClipperLock);
  SetLobLockProtocol(lpClipperLock);
}

TQxDBFNTX::~TQxDBFNTX() {
  try {
    Close();
  } catch (...) {
  }
}

}  // namespace qxdbf
