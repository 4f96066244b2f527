// A small dataset layer: the cursor-and-fields model tables are driven by.
//
// TDataSet keeps one active record buffer (plus a fetch buffer it swaps with
// on every successful move) and the field objects, runs the state machine
// (browse, edit, insert and the internal states below) and fires the before
// and after events. A concrete table implements the protected hooks: it
// opens its file, fills record buffers and reads and writes field values.
//
//   inactive --Open--> browse --Edit--> edit   --Post/Cancel--> browse
//                        |  \--Insert/Append--> insert --Post/Cancel--> browse
//                        \--Close--> inactive
//
// The internal states (set-key, calculating, filter, new, old and current
// value) are entered only for the duration of one operation, so that the
// table's choice of the active record buffer follows what is being done.
//
// Record buffer layout, RecordSize() = the hook GetRecordSize():
//
//   OFFSET          SIZE  DESCRIPTION
//   0               R     record image as stored
//   R               4     record number (the bookmark), 0 in a blank buffer
//   R + 4           1     status: 0 read from the table, 2 blanked for a new record
//   R + 5           1     bookmark flag (TBookmarkFlag)
//   R + 6           C     calculated-fields area
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dbf/dbf_types.h"
#include "dbf/field.h"

namespace qxdbf {

enum TDataSetState : uint8_t {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
  dsCurValue,
  dsOpening,
};

enum TGetMode : uint8_t { gmCurrent, gmNext, gmPrior };
enum TGetResult : uint8_t { grOK, grBOF, grEOF, grError };
enum TBookmarkFlag : uint8_t { bfCurrent, bfBOF, bfEOF, bfInserted };

// A bookmark: the bytes the table gives (a record number); empty = none.
using TBookmark = std::vector<uint8_t>;

// Field definition of the dataset layer, built by InternalInitFieldDefs.
struct TFieldDef {
  std::string name;
  TFieldType data_type = ftUnknown;
  int32_t size = 0;
  int32_t precision = 0;
  bool required = false;
  void* source = nullptr;  // the table's own definition behind it
};

class TDataSet {
 public:
  using TDataSetNotifyEvent = std::function<void(TDataSet&)>;
  using TFilterRecordEvent = std::function<void(TDataSet&, bool& accept)>;

  TDataSet();
  virtual ~TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  // Lifecycle.
  void Open();
  void Close();
  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool active);
  TDataSetState State() const { return state_; }

  // Navigation. A move that finds no record leaves the current record in
  // place and sets Eof (forward) or Bof (backward).
  void First();
  void Last();
  void Next();
  void Prior();
  int MoveBy(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const;

  int RecordCount();
  int RecNo();
  void SetRecNo(int recno);
  TBookmark GetBookmark();
  void GotoBookmark(const TBookmark& bookmark);
  virtual bool BookmarkValid(const TBookmark& bookmark);
  virtual int CompareBookmarks(const TBookmark& a, const TBookmark& b);
  void Refresh();

  // Editing.
  void Insert();
  void Append();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Posts pending changes when editing or inserting.
  void CheckBrowseMode();

  // Fields.
  int FieldCount() const { return static_cast<int>(field_list_.size()); }
  TField& Fields(int i) { return *field_list_.at(static_cast<size_t>(i)); }
  TField* FindField(const std::string& name);
  // Raises "Field '<name>' not found" when absent.
  TField& FieldByName(const std::string& name);
  const std::vector<TFieldDef>& FieldDefs() const { return field_defs_; }
  // A calculated field, filled by OnCalcFields; only while closed.
  TField& AddCalculatedField(const std::string& name, TFieldType type, int32_t size = 0);

  // Filtering switch; the table decides what Filter means.
  bool Filtered() const { return filtered_; }
  virtual void SetFiltered(bool value);
  const std::string& Filter() const { return filter_; }
  virtual void SetFilter(const std::string& filter) { filter_ = filter; }

  // Events.
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent OnNewRecord, OnCalcFields;
  TFilterRecordEvent OnFilterRecord;

  // Value access used by TField.
  virtual bool GetFieldData(TField& field, void* buffer) = 0;
  virtual void SetFieldData(TField& field, const void* buffer) = 0;
  // Text translation between the stored code page and the callers'. Answers
  // the length of the result.
  virtual std::string Translate(std::string text, bool to_oem) { (void)to_oem; return text; }

 protected:
  // Hooks of the table.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  virtual void InternalInitFieldDefs() = 0;
  virtual void InternalHandleException();
  virtual int32_t GetRecordSize() const = 0;
  virtual TGetResult GetRecord(uint8_t* buffer, TGetMode mode, bool do_check) = 0;
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  virtual void InternalSetToRecord(uint8_t* buffer) = 0;
  virtual void InternalGotoBookmark(const uint8_t* bookmark) = 0;
  virtual void InternalInitRecord(uint8_t* buffer) = 0;
  virtual void InternalRefresh() = 0;
  virtual int GetRecNo() = 0;
  virtual void SetRecNoHook(int recno) = 0;
  virtual int GetRecordCount() = 0;
  virtual void InternalEdit() {}
  virtual void InternalInsert() {}
  virtual void InternalCancel() {}
  virtual void InternalPost() = 0;
  virtual void InternalDelete() = 0;
  // Record buffers, allocated once per open through the allocation
  // tracker with the dataset as owner.
  virtual uint8_t* AllocRecordBuffer();
  virtual void FreeRecordBuffer(uint8_t*& buffer);

  // Bookmark bytes of a record buffer.
  virtual int BookmarkSize() const { return 4; }
  virtual void GetBookmarkData(const uint8_t* buffer, uint8_t* data) const = 0;
  virtual void SetBookmarkData(uint8_t* buffer, const uint8_t* data) = 0;
  virtual TBookmarkFlag GetBookmarkFlag(const uint8_t* buffer) const = 0;
  virtual void SetBookmarkFlag(uint8_t* buffer, TBookmarkFlag flag) = 0;

  // For the table.
  std::vector<TFieldDef>& MutableFieldDefs() { return field_defs_; }
  // The active record buffer; null when the dataset is empty or closed.
  uint8_t* ActiveBuffer() const { return has_record_ || state_ == dsInsert ? active_ : nullptr; }
  uint8_t* CalcBuffer() const { return calc_buffer_; }
  int32_t CalcFieldsSize() const { return calc_fields_size_; }
  int32_t RecBufSize() const { return GetRecordSize() + 6 + calc_fields_size_; }
  // Runs `body` with the state switched to `state`, restoring it afterwards.
  void WithTempState(TDataSetState state, const std::function<void()>& body);
  // Runs the calculated-fields event for `buffer`.
  void CalculateFields(uint8_t* buffer);
  // Re-reads the record the table's cursor stands on into the active
  // buffer; when the table refuses it, the next one, else the prior one,
  // else the dataset is empty.
  void Resync();
  // Open step of the table: reads the field definitions (through
  // InternalInitFieldDefs), creates the field objects and the record
  // buffers. Close step: destroys them again.
  void CreateDefaultFields();
  void DestroyDefaultFields();
  // Calculated fields keep their values in the calculated-fields area: one
  // presence byte, then the value buffer.
  bool GetCalcFieldData(TField& field, void* buffer);
  void SetCalcFieldData(TField& field, const void* buffer);

 public:
  // Called by fields after a value was written.
  void DataChanged(TField& field);
  bool Modified() const { return modified_; }

 protected:
  void FireBeforeScroll() { Fire(BeforeScroll); }
  void FireAfterScroll() { Fire(AfterScroll); }

 private:
  void CloseCursor();
  void AllocateBuffers();
  void FreeBuffers();
  bool FetchInto(TGetMode mode);
  void SyncCursor();
  void SetState(TDataSetState state) { state_ = state; }
  void DoInsert(bool append);
  void CheckActive() const;
  void ScrollTo(const std::function<void()>& position, TGetMode mode);
  void Fire(const TDataSetNotifyEvent& event) {
    if (event) event(*this);
  }

  TDataSetState state_ = dsInactive;
  std::vector<TFieldDef> field_defs_;
  std::vector<std::unique_ptr<TField>> fields_;       // data fields made by the open
  std::vector<std::unique_ptr<TField>> calc_fields_;  // declared before open
  std::vector<TField*> field_list_;                   // data fields, then calculated
  int32_t calc_fields_size_ = 0;
  uint8_t* active_ = nullptr;       // the current record buffer
  uint8_t* fetch_ = nullptr;        // target of moves, swapped in on success
  uint8_t* calc_buffer_ = nullptr;  // buffer being calculated
  bool has_record_ = false;         // active_ holds a record
  bool saved_has_record_ = false;   // has_record_ before an insert
  bool modified_ = false;           // a field was written since edit/insert
  bool cursor_synced_ = true;       // the table's cursor is on active_'s record
  bool eof_ = true;
  bool bof_ = true;
  bool filtered_ = false;
  std::string filter_;
};

}  // namespace qxdbf
