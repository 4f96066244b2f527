// Writing records: the post of an edited record, appends and the deletion
// mark, each under the record (and for appends the header) lock of the
// table's lock layout, so that the legacy programs writing the same file at
// the same time never see a half-written change or lose one.
//
// An append takes the header lock first and computes the new record's
// number from the file size under it: two programs that both follow the
// layout can never append at the same position. The record is written
// before the header's count is raised.
#include <cstring>

#include "dbf/errors.h"
#include "dbf/smart_dbf.h"

namespace qxdbf {

namespace {

// Restores the proxy's position and releases the record lock on every way
// out of a write.
class RecordWriteScope {
 public:
  RecordWriteScope(TQxSmartDBF& table, TProxyStream& proxy, int32_t recno)
      : table_(table), proxy_(proxy), recno_(recno), position_(proxy.Seek(0, 1)) {}
  ~RecordWriteScope() {
    table_.UnlockRecord(recno_);
    if (position_ >= 0) proxy_.Seek(position_, 0);
  }
  RecordWriteScope(const RecordWriteScope&) = delete;
  RecordWriteScope& operator=(const RecordWriteScope&) = delete;

 private:
  TQxSmartDBF& table_;
  TProxyStream& proxy_;
  int32_t recno_;
  int32_t position_;
};

class HeaderScope {
 public:
  explicit HeaderScope(TQxSmartDBF& table) : table_(table) {}
  ~HeaderScope() { table_.UnlockHeader(); }
  HeaderScope(const HeaderScope&) = delete;
  HeaderScope& operator=(const HeaderScope&) = delete;

 private:
  TQxSmartDBF& table_;
};

}  // namespace

void TQxSmartDBF::RaiseWriteError() {
  std::string text = file_.Proxy().LastErrorText();
  if (text.size() > 500) text.resize(500);
  throw EQxDBFIoError("TQxSmartDBF: " + text);
}

void TQxSmartDBF::WriteRecord(int32_t recno, const uint8_t* record) {
  TProxyStream& proxy = file_.Proxy();
  const int32_t position = file_.RecordPosition(recno);
  if (position < 0 || proxy.Seek(position, 0) != position ||
      proxy.Write(record, record_size_) != record_size_) {
    RaiseWriteError();
  }
}

void TQxSmartDBF::InternalPost() {
  if (State() == dsInsert) {
    InternalAddRecord(ActiveBuffer(), true);
    return;
  }
  PostEdit();
}

void TQxSmartDBF::PostEdit() {
  uint8_t* active = ActiveBuffer();
  if (active == nullptr) return;
  int32_t recno = RecNoOf(active);
  if (!LockRecord(recno)) throw EQxDBFError("TQxSmartDBF.InternalPost: Can not lock DBF record.");
  RecordWriteScope scope(*this, file_.Proxy(), recno);
  WriteRecord(recno, active);
  // The window's copy follows only a write that reached the file.
  const int32_t slot = window_.FindBufferSlot(recno);
  if (slot >= 0) std::memcpy(window_.SlotData(slot), active, static_cast<size_t>(record_size_));
  if (!fast_post_record_) SyncToAcceptable(recno);
}

void TQxSmartDBF::FillAutoIncrements(uint8_t* buffer) {
  struct Restore {
    TQxSmartDBF& table;
    ~Restore() {
      table.sync_record_ = nullptr;
      table.filling_auto_inc_ = false;
      table.RefreshCodec();
    }
  } restore{*this};
  sync_record_ = buffer;
  filling_auto_inc_ = true;
  RefreshCodec();
  for (int i = 0; i < FieldCount(); ++i) {
    TField& field = Fields(i);
    if (field.DataType() != ftAutoInc || field.Tag() == nullptr) continue;
    auto& def = *static_cast<TQxDBFFieldDef*>(field.Tag());
    if (!file_.ReReadDescriptor(def)) RaiseWriteError();
    const uint32_t value = def.NativeNextAutoInc();
    def.SetNativeNextAutoInc(value + def.NativeStepAutoInc());
    if (!file_.WriteDescriptor(def)) RaiseWriteError();
    field.SetAsLargeInt(static_cast<int32_t>(value));
  }
}

void TQxSmartDBF::InternalAddRecord(uint8_t* buffer, bool append) {
  (void)append;  // a record is always added at the end
  if (!LockHeader()) throw EQxDBFError("TQxSmartDBF.InternalAddRecord: Can not lock DBF header.");
  HeaderScope header(*this);
  if (file_.FieldDefs().AutoIncMark()) FillAutoIncrements(buffer);
  const int32_t count = file_.RecordCount();
  const int32_t recno = count + 1;
  if (!LockRecord(recno)) throw EQxDBFError("TQxSmartDBF.InternalAddRecord: Can not lock DBF record.");
  RecordWriteScope scope(*this, file_.Proxy(), recno);
  std::memcpy(buffer + record_size_, &recno, 4);
  // Over the trailing 0x1A byte, if any; the close writes a new one.
  WriteRecord(recno, buffer);
  file_.Header().SetRecordCount(static_cast<uint32_t>(recno));
  if (!file_.WriteHeader()) RaiseWriteError();
  if (!fast_post_record_) {
    window_.GoToRecord(recno);
    // The window was read just now and centred on the new record; only a
    // record the filters refuse needs the search for an acceptable one.
    if (!CurrentSlotAccepted()) SyncToAcceptable(recno);
  }
}

void TQxSmartDBF::InternalDelete() { MarkDeleted(true); }

void TQxSmartDBF::MarkDeleted(bool flag) {
  uint8_t* active = ActiveBuffer();
  if (!Active() || active == nullptr) return;
  active[0] = flag ? kDeletedRecordFlag : kLiveRecordFlag;
  const int32_t recno = RecNoOf(active);
  if (!LockRecord(recno)) throw EQxDBFError("TQxSmartDBF.InternalPost: Can not lock DBF record.");
  RecordWriteScope scope(*this, file_.Proxy(), recno);
  WriteRecord(recno, active);
  const int32_t slot = window_.FindBufferSlot(recno);
  if (slot >= 0) window_.SlotData(slot)[0] = active[0];
  if (!fast_post_record_) SyncToAcceptable(recno);
}

}  // namespace qxdbf
