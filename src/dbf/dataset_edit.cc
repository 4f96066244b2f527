// The editing states of the dataset: insert, append, edit, post, cancel
// and delete, with their events.
#include <utility>

#include "dbf/dataset.h"
#include "dbf/errors.h"

namespace qxdbf {

// ---- editing ----------------------------------------------------------------

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ == dsEdit || state_ == dsInsert) {
    if (modified_)
      Post();
    else
      Cancel();
  }
}

void TDataSet::DoInsert(bool append) {
  CheckBrowseMode();
  Fire(BeforeInsert);
  Fire(BeforeScroll);
  SyncCursor();
  InternalInsert();
  // The record shown before the insert comes back from the table on
  // Cancel or after Post; the fetch buffer is free meanwhile.
  std::swap(active_, fetch_);
  saved_has_record_ = has_record_;
  InternalInitRecord(active_);
  SetBookmarkFlag(active_, append ? bfEOF : bfInserted);
  state_ = dsInsert;
  modified_ = false;
  Fire(OnNewRecord);
  Fire(AfterInsert);
  Fire(AfterScroll);
}

void TDataSet::Insert() { DoInsert(false); }
void TDataSet::Append() { DoInsert(true); }

void TDataSet::Edit() {
  CheckActive();
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (!has_record_) {
    Insert();
    return;
  }
  CheckBrowseMode();
  Fire(BeforeEdit);
  SyncCursor();
  InternalEdit();
  state_ = dsEdit;
  modified_ = false;
  Fire(AfterEdit);
}

void TDataSet::Post() {
  CheckActive();
  if (state_ != dsEdit && state_ != dsInsert) return;
  Fire(BeforePost);
  InternalPost();
  state_ = dsBrowse;
  modified_ = false;
  Resync();
  Fire(AfterPost);
}

void TDataSet::Cancel() {
  CheckActive();
  if (state_ != dsEdit && state_ != dsInsert) return;
  Fire(BeforeCancel);
  const bool was_insert = state_ == dsInsert;
  InternalCancel();
  state_ = dsBrowse;
  modified_ = false;
  if (was_insert) {
    std::swap(active_, fetch_);
    has_record_ = saved_has_record_;
  } else {
    Resync();
  }
  Fire(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (!has_record_) throw EQxDBFError("Cannot perform this operation on an empty dataset");
  Fire(BeforeDelete);
  Fire(BeforeScroll);
  SyncCursor();
  InternalDelete();
  state_ = dsBrowse;
  modified_ = false;
  Resync();
  Fire(AfterDelete);
  Fire(AfterScroll);
}

}  // namespace qxdbf
