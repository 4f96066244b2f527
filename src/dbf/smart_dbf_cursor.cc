// The table's record cursor: fetching through the read window, the
// deletion and filter tests, record numbers and positioning.
#include <cstring>

#include "dbf/smart_dbf.h"

namespace qxdbf {

// ---- cursor -----------------------------------------------------------------

void TQxSmartDBF::InternalFirst() { window_.InternalFirst(); }
void TQxSmartDBF::InternalLast() { window_.InternalLast(); }

void TQxSmartDBF::InternalSetToRecord(uint8_t* buffer) { window_.GoToRecord(RecNoOf(buffer)); }

void TQxSmartDBF::InternalGotoBookmark(const uint8_t* bookmark) {
  int32_t recno = 0;
  std::memcpy(&recno, bookmark, 4);
  window_.GoToRecord(recno);
}

void TQxSmartDBF::InternalRefresh() {
  uint8_t* active = ActiveBuffer();
  if (active != nullptr && RecNoOf(active) > 0) window_.GoToRecord(RecNoOf(active));
}

int TQxSmartDBF::GetRecNo() {
  uint8_t* buffer = GetActiveRecBuf();
  return buffer == nullptr ? -1 : RecNoOf(buffer);
}

int TQxSmartDBF::GetRecordCount() { return file_.RecordCount(); }

void TQxSmartDBF::CopySlot(uint8_t* buffer) {
  const int32_t slot = window_.CurrentSlot;
  std::memcpy(buffer, window_.SlotData(slot), static_cast<size_t>(record_size_));
  const int32_t recno = window_.SlotRecNo(slot);
  std::memcpy(buffer + record_size_ + kTrailerRecNo, &recno, 4);
  buffer[record_size_ + kTrailerStatus] = kStatusRead;
  buffer[record_size_ + kTrailerFlag] = bfCurrent;
}

TGetResult TQxSmartDBF::FetchRecord(uint8_t* buffer, TGetMode mode) {
  TGetResult result = grOK;
  switch (mode) {
    case gmCurrent:
      if (!window_.OnRecord()) result = grError;
      break;
    case gmNext:
      window_.SkipNext();
      if (window_.AtEof) result = grEOF;
      break;
    case gmPrior:
      window_.SkipPrior();
      if (window_.AtBof) result = grBOF;
      break;
  }
  if (result == grOK) {
    CopySlot(buffer);
  } else {
    InternalInitRecord(blank_buffer_.data());
    std::memcpy(buffer, blank_buffer_.data(), static_cast<size_t>(RecBufSize()));
  }
  return result;
}

// Fetches through FilterBuffer until a record passes the filters.
TGetResult TQxSmartDBF::FetchAcceptable(uint8_t* buffer, TGetMode mode) {
  uint8_t* target = filter_buffer_.data();
  TGetResult result;
  bool accepted = false;
  for (;;) {
    result = FetchRecord(target, mode);
    if (result != grOK) break;
    WithTempState(dsFilter, [&] { accepted = IsRecordAccepted(); });
    if (accepted) break;
    if (mode == gmCurrent) {
      result = grError;
      break;
    }
  }
  const uint8_t* source = result == grOK && accepted ? target : blank_buffer_.data();
  if (source == blank_buffer_.data()) InternalInitRecord(blank_buffer_.data());
  std::memcpy(buffer, source, static_cast<size_t>(RecBufSize()));
  return result;
}

TGetResult TQxSmartDBF::GetRecord(uint8_t* buffer, TGetMode mode, bool do_check) {
  (void)do_check;
  if (Filtered() || set_deleted_) return FetchAcceptable(buffer, mode);
  return FetchRecord(buffer, mode);
}

uint8_t* TQxSmartDBF::GetActiveRecBuf() {
  if (sync_record_ != nullptr) return sync_record_;
  if (probing_) return blank_buffer_.data();
  switch (State()) {
    case dsBrowse:
    case dsEdit:
    case dsInsert:
    case dsNewValue:
    case dsOldValue:
    case dsCurValue:
      return ActiveBuffer();
    case dsSetKey: return key_buffer_.data();
    case dsCalcFields: return CalcBuffer();
    case dsFilter: return filter_buffer_.data();
    default: return nullptr;
  }
}

bool TQxSmartDBF::Deleted() {
  const uint8_t* buffer = GetActiveRecBuf();
  return buffer != nullptr && buffer[0] == kDeletedRecordFlag;
}

bool TQxSmartDBF::CurrentSlotAccepted() {
  if (!window_.OnRecord()) return false;
  struct ClearPointer {
    uint8_t*& pointer;
    ~ClearPointer() { pointer = nullptr; }
  } clear{sync_record_};
  sync_record_ = window_.SlotData(window_.CurrentSlot);
  return IsRecordAccepted();
}

bool TQxSmartDBF::IsRecordAccepted() {
  bool accept = true;
  if (Filtered()) {
    if (OnFilterRecord) OnFilterRecord(*this, accept);
    if (set_deleted_) accept = accept && !Deleted();
  } else if (set_deleted_) {
    accept = !Deleted();
  }
  return accept;
}

void TQxSmartDBF::SetRecNoHook(int recno) {
  // Numbers outside the table are refused: there is no record to probe.
  if (recno < 1 || recno > file_.RecordCount()) return;
  uint8_t* probe = blank_buffer_.data();
  const int32_t position = file_.RecordPosition(recno);
  TProxyStream& proxy = file_.Proxy();
  if (proxy.Seek(position, 0) != position || proxy.Read(probe, record_size_) != record_size_) return;
  std::memcpy(probe + record_size_ + kTrailerRecNo, &recno, 4);
  probe[record_size_ + kTrailerFlag] = bfCurrent;
  probing_ = true;
  bool accepted = false;
  try {
    accepted = IsRecordAccepted();
  } catch (...) {
    probing_ = false;
    throw;
  }
  probing_ = false;
  if (!accepted) return;
  FireBeforeScroll();
  window_.GoToRecord(recno);
  Resync();
  FireAfterScroll();
}

void TQxSmartDBF::SyncToAcceptable(int32_t recno) {
  window_.SelectBufferSlot(recno);
  bool found = CurrentSlotAccepted();
  while (!found && !window_.AtEof) {
    window_.SkipNext();
    found = CurrentSlotAccepted();
  }
  if (!found) {
    window_.GoToRecord(recno);
    found = CurrentSlotAccepted();
    while (!found && !window_.AtBof) {
      window_.SkipPrior();
      found = CurrentSlotAccepted();
    }
  }
  if (!found) {
    window_.Empty();
    return;
  }
  window_.GoToRecord(window_.SlotRecNo(window_.CurrentSlot));
}

}  // namespace qxdbf
