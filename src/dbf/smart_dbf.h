// TQxSmartDBF: one DBF table as a dataset.
//
// The table reads its file through a DbfFile (header and descriptors) and
// serves the cursor from a ReadWindow; field values are decoded from and
// encoded into record buffers by the field codec. Settings are properties
// that keep their values across opens, except DbfVersion and FoxTableFlag,
// which every open reads from the file.
//
// Record buffer: the record image (RecordSize bytes), then the record number
// (4 bytes, the bookmark), a status byte (0 read, 2 blanked), the bookmark
// flag, then the calculated-fields area.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "dbf/access_mode.h"
#include "dbf/dataset.h"
#include "dbf/dbf_file.h"
#include "dbf/field_codec.h"
#include "dbf/lock_protocol.h"
#include "dbf/mem_mgr.h"
#include "dbf/proxy_stream.h"
#include "dbf/read_window.h"

namespace qxdbf {

// The trailer after the record image in a record buffer.
constexpr int kTrailerRecNo = 0;     // record number, 4 bytes
constexpr int kTrailerStatus = 4;    // status byte
constexpr int kTrailerFlag = 5;      // bookmark flag
constexpr uint8_t kStatusRead = 0;   // filled from the table
constexpr uint8_t kStatusBlank = 2;  // blanked for a new record

class TQxSmartDBF : public TDataSet {
 public:
  TQxSmartDBF();
  ~TQxSmartDBF() override;

  // ---- settings ----
  const std::string& DBFFileName() const { return file_name_; }
  void SetDBFFileName(const std::string& name) { file_name_ = name; }
  TProxyStreamType StorageType() const { return storage_type_; }
  void SetStorageType(TProxyStreamType type) { storage_type_ = type; }
  TAccessMode& AccessMode() { return access_mode_; }
  int32_t BufferSize() const { return buffer_size_; }
  void SetBufferSize(int32_t size) { buffer_size_ = size; }
  int32_t WaitBusyRes() const { return wait_busy_res_; }
  void SetWaitBusyRes(int32_t attempts) { wait_busy_res_ = attempts; }
  LockProtocolType LockProtocol() const { return lock_protocol_; }
  // Raise while the table is open; the value is unchanged then.
  void SetLockProtocol(LockProtocolType protocol);
  LockProtocolType LobLockProtocol() const { return lob_lock_protocol_; }
  void SetLobLockProtocol(LockProtocolType protocol);
  xBaseVersion DbfVersion() const { return file_.DbfVersion(); }
  void SetDbfVersion(xBaseVersion version) { file_.SetDbfVersion(version); }
  xBaseVersion LobVersion() const { return file_.LobVersion(); }
  int32_t LobBlockSize() const { return lob_block_size_; }
  void SetLobBlockSize(int32_t size) { lob_block_size_ = size; }
  TTableFlag& FoxTableFlag() { return file_.FoxTableFlag(); }
  TQxDBFFieldDefs& DBFFieldDefs() { return file_.FieldDefs(); }
  bool OEM() const { return file_.OEM(); }
  void SetOEM(bool oem) { file_.SetOEM(oem); }
  bool SetDeleted() const { return set_deleted_; }
  // While open: pending changes are posted and the dataset refreshed.
  void SetSetDeleted(bool value);
  bool FastPostRecord() const { return fast_post_record_; }
  void SetFastPostRecord(bool value) { fast_post_record_ = value; }
  bool TrimCType() const { return trim_c_type_; }
  void SetTrimCType(bool value) {
    trim_c_type_ = value;
    RefreshCodec();
  }
  bool TrimInLocate() const { return trim_in_locate_; }
  void SetTrimInLocate(bool value) { trim_in_locate_ = value; }
  const std::string& IndexName() const { return index_name_; }
  void SetIndexName(const std::string& name) { index_name_ = name; }
  bool CreateNow() const { return create_now_; }
  // Setting it true creates the table file.
  void SetCreateNow(bool value);
  void SetFiltered(bool value) override;

  // Streams lent by the caller for pstOuterStream storage.
  void SetOuterStream(TStream* stream) { outer_stream_ = stream; }
  void SetOuterLobStream(TStream* stream) { outer_lob_stream_ = stream; }
  TLockEvent OnOuterStreamLock;
  TUnlockEvent OnOuterStreamUnlock;

  // ---- state ----
  int32_t RecordSize() const { return record_size_; }
  bool Deleted();
  bool FileLocked() const { return file_locked_; }
  bool HeaderLocked() const { return header_locked_; }
  bool LobLocked() const { return lob_locked_; }
  // Record numbers this table holds record locks on, in the order taken.
  const std::vector<int32_t>& LockedRecords() const { return locked_records_; }

  // ---- locks shared with other programs ----
  // Each answers after at most WaitBusyRes attempts a millisecond apart and
  // never raises. Tables opened exclusively or deny-write lock nothing and
  // succeed at once.
  bool LockRecord(int32_t recno);
  bool UnlockRecord(int32_t recno);
  bool UnlockAllRecords();
  // Also re-reads the header image from the file.
  bool LockHeader();
  bool UnlockHeader();
  // The whole table; record locks held before are released first, and the
  // current record is re-read under the lock.
  bool FLock();
  bool UnLock();
  bool LockLob(TProxyStream& stream);
  bool UnlockLob(TProxyStream& stream);
  virtual bool FoxLockByRecNo() const { return true; }

  // Writes "*" (or a blank) into the deletion flag of the current record.
  virtual void MarkDeleted(bool flag);

  // Cuts the table back to its first `count` records, to take back appends
  // that must not stay (a batch that failed part-way): the file ends after
  // record `count` with the 0x1A marker (as the close adds it: unless the
  // file ends with one already), and the header's count says
  // `count`, so the close has nothing left to redo. A pending edit or insert
  // is cancelled first; afterwards the cursor is on the first record. Takes
  // the header lock, as an append does, so no other program appends
  // meanwhile. Raises EQxDBFBadArgument when `count` is negative or above
  // the record count (a table is never grown here), "TQxSmartDBF.
  // TruncateRecords: Can not lock DBF header." when the lock is refused and
  // EQxDBFIoError when a write fails. REQUIRES: open for writing.
  void TruncateRecords(int32_t count);

  // Writes a new, empty table file from DBFFieldDefs. Raises "TQxSmartDBF.
  // CreateTable: Can not create table while dataset is open" when open.
  void CreateTable();

  // Moves to the nearest acceptable record from `recno`: forward first,
  // then backward; empties the window when none is acceptable.
  void SyncToAcceptable(int32_t recno);

  // ---- dataset hooks used by fields ----
  bool GetFieldData(TField& field, void* buffer) override;
  void SetFieldData(TField& field, const void* buffer) override;
  std::string Translate(std::string text, bool to_oem) override;
  bool BookmarkValid(const TBookmark& bookmark) override;
  int CompareBookmarks(const TBookmark& a, const TBookmark& b) override;

  // Read calls the cursor made (for tests and diagnostics).
  int64_t ReadCalls() const { return window_.ReadCalls(); }

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override;
  void InternalInitFieldDefs() override;
  int32_t GetRecordSize() const override { return record_size_; }
  TGetResult GetRecord(uint8_t* buffer, TGetMode mode, bool do_check) override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalSetToRecord(uint8_t* buffer) override;
  void InternalGotoBookmark(const uint8_t* bookmark) override;
  void InternalInitRecord(uint8_t* buffer) override;
  void InternalRefresh() override;
  int GetRecNo() override;
  void SetRecNoHook(int recno) override;
  int GetRecordCount() override;
  void InternalPost() override;
  void InternalDelete() override;
  // Appends `buffer` as the new last record (always at the end).
  void InternalAddRecord(uint8_t* buffer, bool append);
  void GetBookmarkData(const uint8_t* buffer, uint8_t* data) const override;
  void SetBookmarkData(uint8_t* buffer, const uint8_t* data) override;
  TBookmarkFlag GetBookmarkFlag(const uint8_t* buffer) const override;
  void SetBookmarkFlag(uint8_t* buffer, TBookmarkFlag flag) override;

  // The record buffer field access and the deletion test work on.
  uint8_t* GetActiveRecBuf();
  bool IsRecordAccepted();
  // Whether the window's current record passes the filters.
  bool CurrentSlotAccepted();
  // The codec settings of the open table; rebuilt by the open and by the
  // settings they depend on.
  const CodecContext& Codec() const { return codec_; }
  void RefreshCodec();
  DbfFile& File() { return file_; }
  ReadWindow& Window() { return window_; }

  // Lock state, cleared by every open.
  bool file_locked_ = false;
  bool header_locked_ = false;
  bool lob_locked_ = false;
  std::vector<int32_t> locked_records_;

 private:
  TGetResult FetchRecord(uint8_t* buffer, TGetMode mode);
  TGetResult FetchAcceptable(uint8_t* buffer, TGetMode mode);
  void CopySlot(uint8_t* buffer);
  void FreeOpenState();
  int32_t RecNoOf(const uint8_t* buffer) const;
  bool NoLockMode() const;
  // Attempts `attempt` up to WaitBusyRes times, a millisecond apart.
  bool AttemptLoop(const std::function<bool()>& attempt) const;
  void WriteRecord(int32_t recno, const uint8_t* record);
  void FillAutoIncrements(uint8_t* buffer);
  void PostEdit();
  [[noreturn]] void RaiseWriteError();

  // One mutex per lock operation, held for the whole operation.
  std::mutex lock_record_mutex_, unlock_record_mutex_, flock_mutex_, unlock_mutex_;
  std::mutex lock_header_mutex_, unlock_header_mutex_, lock_lob_mutex_, unlock_lob_mutex_;

  DbfFile file_;
  ReadWindow window_;
  TAccessMode access_mode_;
  std::string file_name_;
  TProxyStreamType storage_type_ = pstFile;
  TStream* outer_stream_ = nullptr;
  TStream* outer_lob_stream_ = nullptr;
  int32_t buffer_size_ = 4096;
  int32_t wait_busy_res_ = 3000;
  LockProtocolType lock_protocol_ = lpNone;
  LockProtocolType lob_lock_protocol_ = lpNone;
  int32_t lob_block_size_ = 512;
  bool set_deleted_ = false;
  bool fast_post_record_ = false;
  bool trim_c_type_ = false;
  bool trim_in_locate_ = false;
  bool create_now_ = false;
  std::string index_name_;

  int32_t record_size_ = 0;
  TrackedBuffer blank_buffer_;   // blank record of end-of-data results and SetRecNo probes
  TrackedBuffer filter_buffer_;  // fetch target while filters are evaluated
  TrackedBuffer key_buffer_;     // the set-key state's buffer
  TrackedBuffer crypt_buffer_;   // encryption scratch of writes
  uint8_t* sync_record_ = nullptr;  // temporary active record of SyncToAcceptable
  bool probing_ = false;            // SetRecNo reads its probe into blank_buffer_
  bool filling_auto_inc_ = false;   // the append writes "+" fields
  CodecContext codec_;              // field codec settings of the open table
};

// The class of the bridge's tables: Clipper-compatible locks by default.
class TQxDBFNTX : public TQxSmartDBF {
 public:
  TQxDBFNTX();
  ~TQxDBFNTX() override;
};

}  // namespace qxdbf
