// The table's locks on its own file, in the layout of LockProtocol.
//
// Every lock goes through the table file's proxy: a byte-range lock on a
// file, nothing for an inner stream, the outer-stream events otherwise. An
// attempt never blocks; the operations below retry WaitBusyRes times with a
// one-millisecond busy wait between attempts, and answer false when the
// lock stays refused.
#include <algorithm>

#include "dbf/busy_wait.h"
#include "dbf/smart_dbf.h"

namespace qxdbf {

bool TQxSmartDBF::NoLockMode() const {
  // Opened exclusively or deny-write: no other program can write the file.
  return (access_mode_.LastAccessMode() & 0x30) != 0;
}

bool TQxSmartDBF::AttemptLoop(const std::function<bool()>& attempt) const {
  for (int32_t count = 1;; ++count) {
    if (attempt()) return true;
    BusyWait(false, 0.001);
    if (count >= wait_busy_res_) return false;
  }
}

bool TQxSmartDBF::LockRecord(int32_t recno) {
  std::lock_guard<std::mutex> guard(lock_record_mutex_);
  if (file_locked_) return true;
  if (std::find(locked_records_.begin(), locked_records_.end(), recno) != locked_records_.end())
    return true;
  if (NoLockMode()) return true;
  const LockRange range = RecordLockRange(lock_protocol_, recno, FoxLockByRecNo(),
                                          static_cast<uint32_t>(file_.RecordPosition(recno)));
  const bool locked = AttemptLoop([&] {
    return lock_protocol_ == lpNone || file_.Proxy().Lock(range.offset, range.length);
  });
  if (locked) locked_records_.push_back(recno);
  return locked;
}

bool TQxSmartDBF::UnlockRecord(int32_t recno) {
  std::lock_guard<std::mutex> guard(unlock_record_mutex_);
  if (NoLockMode()) return true;
  const LockRange range = RecordLockRange(lock_protocol_, recno, FoxLockByRecNo(),
                                          static_cast<uint32_t>(file_.RecordPosition(recno)));
  const bool unlocked = lock_protocol_ == lpNone || file_.Proxy().Unlock(range.offset, range.length);
  if (unlocked) {
    auto it = std::find(locked_records_.begin(), locked_records_.end(), recno);
    if (it != locked_records_.end()) locked_records_.erase(it);
  }
  return unlocked;
}

bool TQxSmartDBF::UnlockAllRecords() {
  while (!locked_records_.empty()) {
    const size_t before = locked_records_.size();
    UnlockRecord(locked_records_.front());
    if (locked_records_.size() == before) return false;
  }
  return true;
}

bool TQxSmartDBF::LockHeader() {
  std::lock_guard<std::mutex> guard(lock_header_mutex_);
  const bool no_lock = NoLockMode() || (lock_protocol_ == lpFoxLock && file_locked_);
  const LockRange range = HeaderLockRange(lock_protocol_);
  const bool locked = AttemptLoop([&] {
    if (header_locked_ || no_lock || lock_protocol_ == lpNone) return true;
    return file_.Proxy().Lock(range.offset, range.length);
  });
  if (!locked) {
    header_locked_ = false;
    return false;
  }
  file_.ReReadHeader();
  header_locked_ = true;
  return true;
}

bool TQxSmartDBF::UnlockHeader() {
  std::lock_guard<std::mutex> guard(unlock_header_mutex_);
  const bool no_lock = NoLockMode() || (lock_protocol_ == lpFoxLock && file_locked_);
  bool result = true;
  if (!no_lock && header_locked_ && lock_protocol_ != lpNone) {
    const LockRange range = HeaderLockRange(lock_protocol_);
    result = file_.Proxy().Unlock(range.offset, range.length);
  }
  if (result && header_locked_) header_locked_ = false;
  return result;
}

bool TQxSmartDBF::FLock() {
  {
    std::lock_guard<std::mutex> guard(flock_mutex_);
    if (file_locked_) return true;
    if (!UnlockAllRecords()) return false;
    const LockRange range = FileLockRange(lock_protocol_);
    const bool locked = AttemptLoop([&] {
      if (NoLockMode() || lock_protocol_ == lpNone) return true;
      return file_.Proxy().Lock(range.offset, range.length);
    });
    if (!locked) {
      file_locked_ = false;
      return false;
    }
    file_locked_ = true;
  }
  // Re-read the current record as it stands now that nobody else writes.
  uint8_t* active = ActiveBuffer();
  if (Active() && active != nullptr && RecNoOf(active) > 0) {
    const int32_t recno = RecNoOf(active);
    window_.GoToRecord(recno);
    SyncToAcceptable(recno);
    Resync();
  }
  return true;
}

bool TQxSmartDBF::UnLock() {
  std::lock_guard<std::mutex> guard(unlock_mutex_);
  bool result = true;
  if (!NoLockMode()) {
    result = UnlockAllRecords();
    if (result && lock_protocol_ != lpNone) {
      const LockRange range = FileLockRange(lock_protocol_);
      result = file_.Proxy().Unlock(range.offset, range.length);
    }
  }
  if (result && file_locked_) file_locked_ = false;
  return result;
}

bool TQxSmartDBF::LockLob(TProxyStream& stream) {
  std::lock_guard<std::mutex> guard(lock_lob_mutex_);
  const LockRange range = LobLockRange(lob_lock_protocol_);
  const bool locked = AttemptLoop([&] {
    if (lob_locked_ || NoLockMode() || lob_lock_protocol_ == lpNone) return true;
    return stream.Lock(range.offset, range.length);
  });
  lob_locked_ = locked;
  return locked;
}

bool TQxSmartDBF::UnlockLob(TProxyStream& stream) {
  std::lock_guard<std::mutex> guard(unlock_lob_mutex_);
  bool result = true;
  if (!NoLockMode() && lob_locked_ && lob_lock_protocol_ != lpNone) {
    const LockRange range = LobLockRange(lob_lock_protocol_);
    result = stream.Unlock(range.offset, range.length);
  }
  if (result && lob_locked_) lob_locked_ = false;
  return result;
}

}  // namespace qxdbf
