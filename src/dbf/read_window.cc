#include "dbf/read_window.h"

#include <algorithm>
#include <cstring>

#include "dbf/errors.h"

namespace qxdbf {

void ReadWindow::Allocate(const void* owner, int32_t buffer_size, int32_t record_size) {
  Free();
  if (record_size <= 0 || buffer_size / record_size == 0)
    throw EQxDBFBadArgument("TQxSmartDBF.InternalOpen: BufferSize too small!");
  record_size_ = record_size;
  BufferRecords = buffer_size / record_size;
  buffer_ = TrackedBuffer(owner, "TQxSmartDBF", buffer_size + 10);
  rec_nos_buffer_ = TrackedBuffer(owner, "TQxSmartDBF", BufferRecords * 4);
  rec_nos_ = reinterpret_cast<int32_t*>(rec_nos_buffer_.data());
  spare_ = TrackedBuffer(owner, "TQxSmartDBF", record_size);
  Empty();
}

void ReadWindow::Free() {
  buffer_.Reset();
  rec_nos_buffer_.Reset();
  spare_.Reset();
  rec_nos_ = nullptr;
  BufferRecords = 0;
  BufferFilled = 0;
  BufferBackward = false;
  CurrentSlot = -1;
  AtBof = AtEof = true;
}

void ReadWindow::Empty() {
  BufferFilled = 0;
  BufferBackward = false;
  CurrentSlot = -1;
  AtBof = AtEof = true;
}

int32_t ReadWindow::ReadRecords(int32_t first_recno, int32_t count, int32_t slot) {
  if (count <= 0 || first_recno < 1) return 0;
  const int32_t position = file_.RecordPosition(first_recno);
  if (position < 0) return 0;
  ++read_calls_;
  TProxyStream& proxy = file_.Proxy();
  if (proxy.Seek(position, 0) != position) return 0;
  const int32_t bytes = proxy.Read(SlotData(slot), count * record_size_);
  const int32_t obtained = bytes > 0 ? bytes / record_size_ : 0;
  if (hook_)
    for (int32_t i = 0; i < obtained; ++i) hook_(SlotData(slot + i), first_recno + i);
  return obtained;
}

void ReadWindow::InternalFirst() {
  AtBof = true;
  AtEof = false;
  BufferBackward = false;
  CurrentSlot = -1;
  BufferFilled = ReadRecords(1, BufferRecords, 0);
  for (int32_t i = 0; i < BufferFilled; ++i) rec_nos_[i] = i + 1;
  if (BufferFilled == 0) AtBof = AtEof = true;
}

void ReadWindow::InternalLast() {
  AtBof = false;
  AtEof = true;
  BufferBackward = true;
  CurrentSlot = BufferRecords;
  const int32_t count = file_.RecordCount();
  if (count == 0) {
    BufferFilled = 0;
    AtBof = AtEof = true;
    return;
  }
  const int32_t first = std::max(1, count - BufferRecords + 1);
  const int32_t wanted = count - first + 1;
  const int32_t obtained = ReadRecords(first, wanted, BufferRecords - wanted);
  // The file may have shrunk since it was measured; keep what was read.
  if (obtained < wanted) {
    BufferBackward = false;
    BufferFilled = obtained > 0 ? ReadRecords(first, obtained, 0) : 0;
    for (int32_t i = 0; i < BufferFilled; ++i) rec_nos_[i] = first + i;
    CurrentSlot = BufferFilled;
    if (BufferFilled == 0) AtBof = true;
    return;
  }
  BufferFilled = wanted;
  for (int32_t i = 0; i < BufferFilled; ++i) rec_nos_[BufferRecords - 1 - i] = count - i;
}

bool ReadWindow::FillForward() {
  if (BufferFilled <= 0) return false;
  const int32_t last = rec_nos_[BufferBackward ? BufferRecords - 1 : BufferFilled - 1];
  // When nothing whole comes back (the 0x1A byte or a record being
  // written), the window keeps its records: slot 0 is put back as it was.
  std::memcpy(spare_.data(), SlotData(0), static_cast<size_t>(record_size_));
  const int32_t obtained = ReadRecords(last + 1, BufferRecords, 0);
  if (obtained == 0) {
    std::memcpy(SlotData(0), spare_.data(), static_cast<size_t>(record_size_));
    return false;
  }
  BufferFilled = obtained;
  BufferBackward = false;
  CurrentSlot = 0;
  for (int32_t i = 0; i < BufferFilled; ++i) rec_nos_[i] = last + 1 + i;
  return true;
}

bool ReadWindow::FillBackward() {
  if (BufferFilled < 1) return false;
  const int32_t first = rec_nos_[BufferBackward ? BufferRecords - BufferFilled : 0];
  const int32_t start = std::max(1, first - BufferRecords);
  const int32_t n = first - start;
  if (n <= 0) return false;
  const int32_t obtained = ReadRecords(start, n, BufferRecords - n);
  if (obtained < n) {
    // The file lost records under us; what is left starts over from there.
    GoToRecord(start);
    return BufferFilled > 0;
  }
  BufferFilled = n;
  BufferBackward = true;
  CurrentSlot = BufferRecords - 1;
  for (int32_t i = 0; i < n; ++i) rec_nos_[BufferRecords - 1 - i] = first - 1 - i;
  return true;
}

void ReadWindow::GoToRecord(int32_t recno) {
  const int32_t start = std::max(1, recno - BufferRecords / 2);
  BufferFilled = ReadRecords(start, BufferRecords, 0);
  BufferBackward = false;
  if (BufferFilled == 0) {
    AtBof = AtEof = true;
    return;
  }
  AtBof = AtEof = false;
  CurrentSlot = 0;
  for (int32_t i = 0; i < BufferFilled; ++i) {
    rec_nos_[i] = start + i;
    if (start + i == recno) CurrentSlot = i;
  }
}

void ReadWindow::SkipNext() {
  AtBof = false;
  ++CurrentSlot;
  if (CurrentSlot < EndSlot()) return;
  if (FillForward()) return;
  CurrentSlot = EndSlot();
  AtEof = true;
}

void ReadWindow::SkipPrior() {
  AtEof = false;
  --CurrentSlot;
  if (CurrentSlot >= FirstValidSlot()) return;
  if (!FillBackward()) {
    AtBof = true;
    CurrentSlot = FirstValidSlot() - 1;
  }
}

int32_t ReadWindow::FindBufferSlot(int32_t recno) const {
  for (int32_t slot = FirstValidSlot(); slot < EndSlot(); ++slot)
    if (rec_nos_[slot] == recno) return slot;
  return -1;
}

bool ReadWindow::SelectBufferSlot(int32_t recno) {
  const int32_t slot = FindBufferSlot(recno);
  if (slot < 0) return false;
  CurrentSlot = slot;
  AtBof = AtEof = false;
  return true;
}

}  // namespace qxdbf
