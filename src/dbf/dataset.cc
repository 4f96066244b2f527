#include "dbf/dataset.h"

#include <strings.h>

#include <cstring>
#include <utility>

#include "dbf/errors.h"
#include "dbf/mem_mgr.h"

namespace qxdbf {

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
  // A derived table closes itself first (its hooks are gone by now); this
  // only returns what is left.
  FreeBuffers();
}

void TDataSet::CheckActive() const {
  if (state_ == dsInactive) throw EQxDBFError("Cannot perform this operation on a closed dataset");
}

// ---- lifecycle --------------------------------------------------------------

void TDataSet::SetActive(bool active) {
  if (active)
    Open();
  else
    Close();
}

void TDataSet::Open() {
  if (Active()) return;
  Fire(BeforeOpen);
  state_ = dsOpening;
  try {
    InternalOpen();
  } catch (...) {
    // The open failed part-way: let the table release what it took.
    try {
      CloseCursor();
    } catch (...) {
    }
    state_ = dsInactive;
    throw;
  }
  state_ = dsBrowse;
  has_record_ = false;
  modified_ = false;
  // The open left the table's cursor before the first record: fetch it.
  has_record_ = FetchInto(gmNext);
  cursor_synced_ = true;
  bof_ = true;
  eof_ = !has_record_;
  Fire(AfterOpen);
}

void TDataSet::Close() {
  if (!Active()) return;
  Fire(BeforeClose);
  state_ = dsInactive;
  CloseCursor();
  Fire(AfterClose);
}

void TDataSet::CloseCursor() {
  try {
    InternalClose();
  } catch (...) {
    DestroyDefaultFields();
    throw;
  }
  DestroyDefaultFields();
}

void TDataSet::InternalHandleException() {}

void TDataSet::CreateDefaultFields() {
  field_defs_.clear();
  InternalInitFieldDefs();
  fields_.clear();
  field_list_.clear();
  for (const TFieldDef& def : field_defs_) {
    if (def.data_type == ftUnknown) continue;
    auto field = std::make_unique<TField>(*this, def.name, def.data_type, def.size, fkData);
    field->SetTag(def.source);
    field_list_.push_back(field.get());
    fields_.push_back(std::move(field));
  }
  calc_fields_size_ = 0;
  for (auto& calc : calc_fields_) {
    calc->calc_offset_ = calc_fields_size_;
    calc_fields_size_ += 1 + calc->DataSize();
    field_list_.push_back(calc.get());
  }
  for (size_t i = 0; i < field_list_.size(); ++i) field_list_[i]->field_no_ = static_cast<int>(i) + 1;
  AllocateBuffers();
}

void TDataSet::DestroyDefaultFields() {
  FreeBuffers();
  fields_.clear();
  field_list_.clear();
  has_record_ = false;
}

TField& TDataSet::AddCalculatedField(const std::string& name, TFieldType type, int32_t size) {
  if (Active()) throw EQxDBFError("Cannot perform this operation on an open dataset");
  calc_fields_.push_back(std::make_unique<TField>(*this, name, type, size, fkCalculated));
  return *calc_fields_.back();
}

uint8_t* TDataSet::AllocRecordBuffer() {
  return static_cast<uint8_t*>(GlobalMemMgr().MemAlloc(this, "TDataSet", RecBufSize()));
}

void TDataSet::FreeRecordBuffer(uint8_t*& buffer) {
  GlobalMemMgr().MemFree(buffer);
  buffer = nullptr;
}

void TDataSet::AllocateBuffers() {
  FreeBuffers();
  active_ = AllocRecordBuffer();
  fetch_ = AllocRecordBuffer();
  std::memset(active_, ' ', static_cast<size_t>(RecBufSize()));
  std::memset(fetch_, ' ', static_cast<size_t>(RecBufSize()));
}

void TDataSet::FreeBuffers() {
  if (active_) GlobalMemMgr().MemFree(active_);
  if (fetch_) GlobalMemMgr().MemFree(fetch_);
  active_ = fetch_ = nullptr;
  calc_buffer_ = nullptr;
}

// ---- navigation -------------------------------------------------------------

bool TDataSet::FetchInto(TGetMode mode) {
  if (GetRecord(fetch_, mode, true) != grOK) return false;
  CalculateFields(fetch_);
  std::swap(active_, fetch_);
  has_record_ = true;
  return true;
}

// After a move that found nothing the table's cursor stands beyond the
// current record; put it back before moving again.
void TDataSet::SyncCursor() {
  if (!cursor_synced_ && has_record_) InternalSetToRecord(active_);
  cursor_synced_ = true;
}

void TDataSet::ScrollTo(const std::function<void()>& position, TGetMode mode) {
  CheckActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  position();
  has_record_ = FetchInto(mode);
  cursor_synced_ = true;
  bof_ = mode == gmNext || !has_record_;
  eof_ = mode == gmPrior || !has_record_;
  Fire(AfterScroll);
}

void TDataSet::First() {
  ScrollTo([this] { InternalFirst(); }, gmNext);
}

void TDataSet::Last() {
  ScrollTo([this] { InternalLast(); }, gmPrior);
}

void TDataSet::Next() {
  CheckActive();
  CheckBrowseMode();
  if (eof_) return;
  Fire(BeforeScroll);
  SyncCursor();
  if (FetchInto(gmNext)) {
    bof_ = false;
  } else {
    eof_ = true;
    cursor_synced_ = false;
  }
  Fire(AfterScroll);
}

void TDataSet::Prior() {
  CheckActive();
  CheckBrowseMode();
  if (bof_) return;
  Fire(BeforeScroll);
  SyncCursor();
  if (FetchInto(gmPrior)) {
    eof_ = false;
  } else {
    bof_ = true;
    cursor_synced_ = false;
  }
  Fire(AfterScroll);
}

int TDataSet::MoveBy(int distance) {
  int moved = 0;
  for (; distance > 0 && !eof_; --distance) {
    Next();
    if (!eof_) ++moved;
  }
  for (; distance < 0 && !bof_; ++distance) {
    Prior();
    if (!bof_) --moved;
  }
  return moved;
}

bool TDataSet::IsEmpty() const { return !has_record_ && state_ != dsInsert; }

int TDataSet::RecordCount() {
  CheckActive();
  return GetRecordCount();
}

int TDataSet::RecNo() {
  if (!Active()) return -1;
  return GetRecNo();
}

void TDataSet::SetRecNo(int recno) {
  CheckActive();
  CheckBrowseMode();
  SetRecNoHook(recno);
}

void TDataSet::Resync() {
  cursor_synced_ = true;
  if (FetchInto(gmCurrent) || FetchInto(gmNext) || FetchInto(gmPrior)) {
    bof_ = eof_ = false;
    return;
  }
  has_record_ = false;
  bof_ = eof_ = true;
}

TBookmark TDataSet::GetBookmark() {
  TBookmark bookmark;
  if (!Active() || !has_record_) return bookmark;
  bookmark.resize(static_cast<size_t>(BookmarkSize()));
  GetBookmarkData(active_, bookmark.data());
  return bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  CheckActive();
  if (bookmark.empty()) return;
  CheckBrowseMode();
  Fire(BeforeScroll);
  InternalGotoBookmark(bookmark.data());
  Resync();
  Fire(AfterScroll);
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) { return !bookmark.empty(); }

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) {
  if (a.empty() && b.empty()) return 0;
  if (a.empty()) return -1;
  if (b.empty()) return 1;
  return a < b ? -1 : (b < a ? 1 : 0);
}

void TDataSet::Refresh() {
  CheckActive();
  CheckBrowseMode();
  InternalRefresh();
  Resync();
}

void TDataSet::SetFiltered(bool value) { filtered_ = value; }

// ---- fields -----------------------------------------------------------------

TField* TDataSet::FindField(const std::string& name) {
  for (TField* field : field_list_)
    if (strcasecmp(field->FieldName().c_str(), name.c_str()) == 0) return field;
  return nullptr;
}

TField& TDataSet::FieldByName(const std::string& name) {
  TField* field = FindField(name);
  if (field == nullptr) throw EQxDBFBadArgument("Field '" + name + "' not found");
  return *field;
}

void TDataSet::DataChanged(TField& field) {
  (void)field;
  if (state_ == dsEdit || state_ == dsInsert) modified_ = true;
}

void TDataSet::WithTempState(TDataSetState state, const std::function<void()>& body) {
  const TDataSetState saved = state_;
  state_ = state;
  try {
    body();
  } catch (...) {
    state_ = saved;
    throw;
  }
  state_ = saved;
}

void TDataSet::CalculateFields(uint8_t* buffer) {
  if (calc_fields_.empty()) return;
  std::memset(buffer + GetRecordSize() + 6, 0, static_cast<size_t>(calc_fields_size_));
  if (!OnCalcFields) return;
  uint8_t* saved = calc_buffer_;
  calc_buffer_ = buffer;
  try {
    WithTempState(dsCalcFields, [this] { OnCalcFields(*this); });
  } catch (...) {
    calc_buffer_ = saved;
    throw;
  }
  calc_buffer_ = saved;
}

bool TDataSet::GetCalcFieldData(TField& field, void* buffer) {
  uint8_t* record = state_ == dsCalcFields ? calc_buffer_ : ActiveBuffer();
  if (record == nullptr) return false;
  const uint8_t* slot = record + GetRecordSize() + 6 + field.CalcOffset();
  if (slot[0] == 0) return false;
  if (buffer) std::memcpy(buffer, slot + 1, static_cast<size_t>(field.DataSize()));
  return true;
}

void TDataSet::SetCalcFieldData(TField& field, const void* buffer) {
  uint8_t* record = state_ == dsCalcFields ? calc_buffer_ : ActiveBuffer();
  if (record == nullptr) return;
  uint8_t* slot = record + GetRecordSize() + 6 + field.CalcOffset();
  slot[0] = buffer ? 1 : 0;
  if (buffer)
    std::memcpy(slot + 1, buffer, static_cast<size_t>(field.DataSize()));
  else
    std::memset(slot + 1, 0, static_cast<size_t>(field.DataSize()));
}

}  // namespace qxdbf
