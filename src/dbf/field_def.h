// The DBF side of a table's fields: one TQxDBFFieldDef per descriptor, in
// record order, in a TQxDBFFieldDefs collection. A nested table's fields
// (extended type dbftDBFDataSet) live in the child collection of their
// field. The collection is rebuilt from the file at every open; a caller
// fills it before creating a table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dbf/dbf_types.h"
#include "dbf/field_layout.h"
#include "dbf/field_rec.h"
#include "dbf/xbase_version.h"

namespace qxdbf {

class TQxDBFFieldDefs;

class TQxDBFFieldDef {
 public:
  explicit TQxDBFFieldDef(xBaseVersion version);
  ~TQxDBFFieldDef();
  TQxDBFFieldDef(const TQxDBFFieldDef&) = delete;
  TQxDBFFieldDef& operator=(const TQxDBFFieldDef&) = delete;

  TQxDBFFieldDefs& DBFFieldDefs() { return *children_; }
  const TQxDBFFieldDefs& DBFFieldDefs() const { return *children_; }

  TFieldFlag& FieldFlag() { return flag_; }
  const TFieldFlag& FieldFlag() const { return flag_; }

  std::string Name() const { return rec_.Name(); }
  void SetName(const std::string& name) { rec_.SetName(name); }
  char field_type() const { return rec_.FieldType(); }
  void Setfield_type(char type) { rec_.SetFieldType(type); }
  TQxDBFType extend_type() const { return static_cast<TQxDBFType>(rec_.ExtendType()); }
  void Setextend_type(TQxDBFType type) { rec_.SetExtendType(type); }
  uint16_t len() const { return rec_.Len(); }
  void Setlen(uint16_t len) { rec_.SetLen(len); }
  uint16_t dec() const { return rec_.Dec(); }
  void Setdec(uint16_t dec) { rec_.SetDec(static_cast<uint8_t>(dec)); }
  int32_t Offset() const { return offset_; }
  int32_t OffsetHD() const { return offset_hd_; }
  uint32_t NextAutoInc() const { return rec_.NextAutoInc(); }
  void SetNextAutoInc(uint32_t v) { rec_.SetNextAutoInc(v); }
  uint32_t NativeNextAutoInc() const { return rec_.NativeNextAutoInc(); }
  void SetNativeNextAutoInc(uint32_t v) { rec_.SetNativeNextAutoInc(v); }
  uint8_t NativeStepAutoInc() const { return rec_.NativeStepAutoInc(); }
  void SetNativeStepAutoInc(uint8_t v) { rec_.SetNativeStepAutoInc(v); }
  int32_t Tag() const { return tag_; }
  void SetTag(int32_t tag) { tag_ = tag; }

  // The stored descriptor.
  FIELD_REC& Rec() { return rec_; }
  const FIELD_REC& Rec() const { return rec_; }

  // What the open derived from the descriptor: width in the record, dataset
  // type and sizes. `Layout().known` is false for letters the engine cannot
  // read; such a field gets no dataset field.
  const FieldLayout& Layout() const { return layout_; }
  int32_t Width() const { return layout_.width; }
  bool HasDataSetField() const { return layout_.known && has_dataset_def_; }

  // Null bit in _NULLFLAGS of a Visual FoxPro table; byte index -1 when the
  // field has none.
  int NullByte() const { return null_byte_; }
  uint8_t NullMask() const { return null_mask_; }

  // Set by the descriptor reader and by creation.
  void SetPlacement(int32_t offset, int32_t offset_hd) {
    offset_ = offset;
    offset_hd_ = offset_hd;
  }
  void SetLayout(const FieldLayout& layout, bool has_dataset_def) {
    layout_ = layout;
    has_dataset_def_ = has_dataset_def;
  }
  void SetNullBit(int byte_index, uint8_t mask) {
    null_byte_ = byte_index;
    null_mask_ = mask;
  }

  // Copies name, types, counters, len, dec, offsets and the children; the
  // flags and the tag stay as they are.
  void AssignTo(TQxDBFFieldDef& dest) const;
  // Same name (exact) and equal child collections.
  bool Equals(const TQxDBFFieldDef& other) const;
  void SetVersion(xBaseVersion version);

 private:
  FIELD_REC rec_;                               // the stored descriptor
  TFieldFlag flag_;                             // descriptor flags
  std::unique_ptr<TQxDBFFieldDefs> children_;   // nested table's fields
  int32_t offset_ = 0;                          // position in the record
  int32_t offset_hd_ = 0;                       // descriptor position in the file
  int32_t tag_ = 0;                             // free for the caller
  FieldLayout layout_;                          // derived at open
  bool has_dataset_def_ = true;                 // belongs to a dataset field
  int null_byte_ = -1;                          // _NULLFLAGS byte, -1 none
  uint8_t null_mask_ = 0;                       // bit within that byte
};

class TQxDBFFieldDefs {
 public:
  explicit TQxDBFFieldDefs(xBaseVersion version = xBaseIII) : version_(version) {}

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  TQxDBFFieldDef& Items(int i) { return *items_.at(static_cast<size_t>(i)); }
  const TQxDBFFieldDef& Items(int i) const { return *items_.at(static_cast<size_t>(i)); }
  TQxDBFFieldDef& operator[](int i) { return Items(i); }
  const TQxDBFFieldDef& operator[](int i) const { return Items(i); }

  // A new definition at the end, of this collection's version.
  TQxDBFFieldDef& Add();
  // Convenience for callers building a table.
  TQxDBFFieldDef& Add(const std::string& name, char type, uint16_t len, uint16_t dec = 0);
  void Clear();

  // Case-insensitive search, depth first into child collections after each
  // item; nullptr when absent.
  TQxDBFFieldDef* Find(const std::string& name);
  const TQxDBFFieldDef* Find(const std::string& name) const;

  // Index of the top-level definition with that name (case-insensitive), -1.
  int IndexOf(const std::string& name) const;

  bool Equals(const TQxDBFFieldDefs& other) const;

  xBaseVersion Version() const { return version_; }
  // Propagates to every descriptor holder and child collection.
  void SetVersion(xBaseVersion version);

  bool AutoIncMark() const { return auto_inc_mark_; }
  void SetAutoIncMark(bool v) { auto_inc_mark_ = v; }
  int32_t NullFlagsOffset() const { return null_flags_offset_; }
  int32_t NullFlagsWidth() const { return null_flags_width_; }
  void SetNullFlags(int32_t offset, int32_t width) {
    null_flags_offset_ = offset;
    null_flags_width_ = width;
  }

 private:
  xBaseVersion version_;
  std::vector<std::unique_ptr<TQxDBFFieldDef>> items_;
  bool auto_inc_mark_ = false;    // some field is filled by auto-increment
  int32_t null_flags_offset_ = 0; // position of _NULLFLAGS, 0 when none
  int32_t null_flags_width_ = 0;
};

}  // namespace qxdbf
