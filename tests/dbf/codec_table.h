// A record image with hand-built field definitions, for the field codec
// tests: fields are laid out one after another from byte 1, as the
// descriptor reader places them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dbf/field_codec.h"
#include "dbf/field_def.h"
#include "dbf/field_layout.h"

namespace qxdbf_test {

// Bytes as lower-case hexadecimal, for readable expectations.
inline std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}


class CodecTable {
 public:
  explicit CodecTable(qxdbf::xBaseVersion version = qxdbf::xBaseIII,
                      qxdbf::xBaseVersion lob = qxdbf::xUnknown)
      : defs_(version), version_(version), lob_(lob), record_(1, ' ') {
    ctx.dbf_version = version;
    ctx.lob_version = lob;
  }

  // A field at the end of the record. `flags` is the descriptor flags byte
  // (0x02 = may store NULL).
  qxdbf::TQxDBFFieldDef& Add(const std::string& name, char letter, uint16_t len, uint16_t dec = 0,
                             uint8_t flags = 0, qxdbf::TQxDBFType ext = qxdbf::dbftUndefined) {
    qxdbf::TQxDBFFieldDef& def = defs_.Add(name, letter, len, dec);
    def.Setextend_type(ext);
    def.FieldFlag().SetFieldFlag(flags);
    def.SetPlacement(static_cast<int32_t>(record_.size()), 0);
    def.SetLayout(qxdbf::LayoutOf(def.Rec(), def.FieldFlag(), version_, lob_), true);
    if (def.FieldFlag().CanStoreNull() && version_ == qxdbf::xVisualFoxPro) {
      def.SetNullBit(nullable_ / 8, static_cast<uint8_t>(1u << (nullable_ % 8)));
      ++nullable_;
    }
    record_.resize(record_.size() + static_cast<size_t>(def.Width()), ' ');
    return def;
  }

  qxdbf::TQxDBFFieldDef& AddExtended(const std::string& name, qxdbf::TQxDBFType ext,
                                     uint16_t len = 0) {
    return Add(name, 'E', len, 0, 0, ext);
  }

  // Appends the _NULLFLAGS field of a Visual FoxPro table; call after the
  // nullable fields.
  void AddNullFlags() {
    const uint16_t width = static_cast<uint16_t>((nullable_ + 7) / 8);
    qxdbf::TQxDBFFieldDef& def = Add("_NULLFLAGS", '0', width, 0, 0x05);
    ctx.null_flags_offset = def.Offset();
    ctx.null_flags_width = width;
  }

  qxdbf::TQxDBFFieldDefs& defs() { return defs_; }
  std::vector<uint8_t>& record() { return record_; }

  std::string Bytes(const qxdbf::TQxDBFFieldDef& def) const {
    return std::string(reinterpret_cast<const char*>(record_.data()) + def.Offset(),
                       static_cast<size_t>(def.Width()));
  }
  void Put(const qxdbf::TQxDBFFieldDef& def, const std::string& bytes) {
    std::memcpy(record_.data() + def.Offset(), bytes.data(), bytes.size());
  }

  // The value buffer of a read; empty when the field reads as NULL.
  bool Read(const qxdbf::TQxDBFFieldDef& def, std::vector<uint8_t>& value) const {
    value.assign(static_cast<size_t>(qxdbf::FieldBufferSize(def)), 0xAA);
    return qxdbf::ReadFieldData(def, record_.data(), ctx, value.data());
  }
  template <typename T>
  bool ReadAs(const qxdbf::TQxDBFFieldDef& def, T& out) const {
    std::vector<uint8_t> value;
    const bool has = Read(def, value);
    std::memcpy(&out, value.data(), sizeof out);
    return has;
  }
  std::string ReadText(const qxdbf::TQxDBFFieldDef& def, bool* has = nullptr) const {
    std::vector<uint8_t> value;
    const bool h = Read(def, value);
    if (has) *has = h;
    return std::string(reinterpret_cast<const char*>(value.data()));
  }
  bool IsNull(const qxdbf::TQxDBFFieldDef& def) const {
    return qxdbf::IsFieldNull(def, record_.data(), ctx);
  }

  void Write(const qxdbf::TQxDBFFieldDef& def, const void* value) {
    qxdbf::WriteFieldData(def, record_.data(), ctx, value);
  }
  template <typename T>
  void WriteAs(const qxdbf::TQxDBFFieldDef& def, T value) {
    std::vector<uint8_t> buffer(static_cast<size_t>(qxdbf::FieldBufferSize(def)) + sizeof(T), 0);
    std::memcpy(buffer.data(), &value, sizeof value);
    Write(def, buffer.data());
  }
  void WriteText(const qxdbf::TQxDBFFieldDef& def, const std::string& text) {
    Write(def, text.c_str());
  }
  void WriteNull(const qxdbf::TQxDBFFieldDef& def) { Write(def, nullptr); }

  void Blank() {
    qxdbf::BlankRecordImage(record_.data(), static_cast<int32_t>(record_.size()), defs_, ctx);
  }

  qxdbf::CodecContext ctx;

 private:
  qxdbf::TQxDBFFieldDefs defs_;
  qxdbf::xBaseVersion version_;
  qxdbf::xBaseVersion lob_;
  std::vector<uint8_t> record_;
  int nullable_ = 0;
};

}  // namespace qxdbf_test
