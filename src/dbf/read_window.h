// The read buffer of an open table: a window of consecutive records read
// with one call, from which the cursor's fetches are served.
//
//   slot:   0   1   2  ...  BufferRecords-1
//   forward window  (BufferBackward false): valid slots 0 .. BufferFilled-1
//   backward window (BufferBackward true):  valid slots
//                   BufferRecords-BufferFilled .. BufferRecords-1
//
// Valid slots always hold consecutive record numbers in ascending slot
// order. CurrentSlot is -1 before the first record and the window's end
// after the last. A read yields (bytes read) div (record length) records, so
// a trailing 0x1A byte or a partly written record never counts.
//
// Cursor states: before first (AtBof), on a record (neither), after last
// (AtEof), no records (both).
#pragma once

#include <cstdint>
#include <functional>

#include "dbf/dbf_file.h"
#include "dbf/mem_mgr.h"

namespace qxdbf {

class ReadWindow {
 public:
  // Called for every record read, with its number, before it is served
  // (the seam of table encryption).
  using RecordHook = std::function<void(uint8_t* record, int32_t recno)>;

  explicit ReadWindow(DbfFile& file) : file_(file) {}

  // Allocates the window for records of `record_size` bytes in `buffer_size`
  // bytes. Raises "TQxSmartDBF.InternalOpen: BufferSize too small!" when not
  // even one record fits.
  void Allocate(const void* owner, int32_t buffer_size, int32_t record_size);
  void Free();
  bool Allocated() const { return static_cast<bool>(buffer_); }
  void SetRecordHook(RecordHook hook) { hook_ = std::move(hook); }

  void InternalFirst();
  void InternalLast();
  // Answers whether records were obtained.
  bool FillForward();
  bool FillBackward();
  void GoToRecord(int32_t recno);
  void SkipNext();
  void SkipPrior();
  // Makes the valid slot holding `recno` current; false when none does.
  bool SelectBufferSlot(int32_t recno);
  // The valid slot holding `recno`, or -1.
  int32_t FindBufferSlot(int32_t recno) const;
  // Forgets every record: no records, cursor at both ends.
  void Empty();

  bool OnRecord() const { return !AtBof && !AtEof && CurrentSlot >= FirstValidSlot() && CurrentSlot < EndSlot(); }
  uint8_t* SlotData(int32_t slot) const { return buffer_.data() + static_cast<size_t>(slot) * record_size_; }
  int32_t SlotRecNo(int32_t slot) const { return rec_nos_[slot]; }
  int32_t FirstValidSlot() const { return BufferBackward ? BufferRecords - BufferFilled : 0; }
  int32_t EndSlot() const { return BufferBackward ? BufferRecords : BufferFilled; }
  // Read calls made so far (for tests and diagnostics).
  int64_t ReadCalls() const { return read_calls_; }

  int32_t BufferRecords = 0;     // slots in the window
  int32_t BufferFilled = 0;      // valid slots
  bool BufferBackward = false;   // valid slots sit at the end
  int32_t CurrentSlot = -1;      // the cursor's slot
  bool AtBof = true;
  bool AtEof = true;

 private:
  // Reads up to `count` records from `first_recno` into slots from `slot`.
  int32_t ReadRecords(int32_t first_recno, int32_t count, int32_t slot);

  DbfFile& file_;
  TrackedBuffer buffer_;          // ReadBuffer: BufferSize + 10 bytes
  TrackedBuffer rec_nos_buffer_;  // BufferRecNos
  TrackedBuffer spare_;           // slot 0 saved across a refill that may find nothing
  int32_t* rec_nos_ = nullptr;
  int32_t record_size_ = 0;
  RecordHook hook_;
  int64_t read_calls_ = 0;
};

}  // namespace qxdbf
