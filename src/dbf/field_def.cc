#include "dbf/field_def.h"

#include <strings.h>

namespace qxdbf {

TQxDBFFieldDef::TQxDBFFieldDef(xBaseVersion version)
    : rec_(version), children_(std::make_unique<TQxDBFFieldDefs>(version)) {}

TQxDBFFieldDef::~TQxDBFFieldDef() = default;

void TQxDBFFieldDef::AssignTo(TQxDBFFieldDef& dest) const {
  dest.SetName(Name());
  dest.Setfield_type(field_type());
  dest.Setextend_type(extend_type());
  dest.SetNextAutoInc(NextAutoInc());
  dest.SetNativeNextAutoInc(NativeNextAutoInc());
  dest.SetNativeStepAutoInc(rec_.NativeStepAutoInc());
  dest.rec_.SetLen(rec_.Len());
  dest.rec_.SetDec(rec_.Dec());
  dest.offset_ = offset_;
  dest.offset_hd_ = offset_hd_;
  dest.children_->Clear();
  for (int i = 0; i < children_->Count(); ++i) children_->Items(i).AssignTo(dest.children_->Add());
}

bool TQxDBFFieldDef::Equals(const TQxDBFFieldDef& other) const {
  return Name() == other.Name() && children_->Equals(*other.children_);
}

void TQxDBFFieldDef::SetVersion(xBaseVersion version) {
  rec_.SetVersion(version);
  children_->SetVersion(version);
}

TQxDBFFieldDef& TQxDBFFieldDefs::Add() {
  items_.push_back(std::make_unique<TQxDBFFieldDef>(version_));
  return *items_.back();
}

TQxDBFFieldDef& TQxDBFFieldDefs::Add(const std::string& name, char type, uint16_t len,
                                     uint16_t dec) {
  TQxDBFFieldDef& def = Add();
  def.SetName(name);
  def.Setfield_type(type);
  def.Setextend_type(dbftUndefined);
  def.Setlen(len);
  def.Setdec(dec);
  return def;
}

void TQxDBFFieldDefs::Clear() {
  items_.clear();
  auto_inc_mark_ = false;
  null_flags_offset_ = 0;
  null_flags_width_ = 0;
}

TQxDBFFieldDef* TQxDBFFieldDefs::Find(const std::string& name) {
  for (auto& item : items_) {
    if (strcasecmp(item->Name().c_str(), name.c_str()) == 0) return item.get();
    if (TQxDBFFieldDef* child = item->DBFFieldDefs().Find(name)) return child;
  }
  return nullptr;
}

const TQxDBFFieldDef* TQxDBFFieldDefs::Find(const std::string& name) const {
  return const_cast<TQxDBFFieldDefs*>(this)->Find(name);
}

int TQxDBFFieldDefs::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (strcasecmp(items_[i]->Name().c_str(), name.c_str()) == 0) return static_cast<int>(i);
  return -1;
}

bool TQxDBFFieldDefs::Equals(const TQxDBFFieldDefs& other) const {
  if (items_.size() != other.items_.size()) return false;
  for (size_t i = 0; i < items_.size(); ++i)
    if (!items_[i]->Equals(*other.items_[i])) return false;
  return true;
}

void TQxDBFFieldDefs::SetVersion(xBaseVersion version) {
  version_ = version;
  for (auto& item : items_) item->SetVersion(version);
}

}  // namespace qxdbf
