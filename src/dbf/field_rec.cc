#include "dbf/field_rec.h"

#include <algorithm>
#include <cstring>

#include "dbf/coding.h"

namespace qxdbf {

uint8_t TFieldFlag::FieldFlag() const {
  return static_cast<uint8_t>((system_ ? 0x01 : 0) | (can_store_null_ ? 0x02 : 0) |
                              (binary_column_ ? 0x04 : 0) | (auto_increment_ ? 0x08 : 0));
}

void TFieldFlag::SetFieldFlag(uint8_t value) {
  system_ = (value & 0x01) != 0;
  can_store_null_ = (value & 0x02) != 0;
  binary_column_ = (value & 0x04) != 0;
  auto_increment_ = (value & 0x08) != 0;
}

std::string FIELD_REC::Name() const {
  // The short layout holds 11 bytes, of which writers keep the last for the
  // terminating zero; other programs sometimes fill all 11.
  const size_t limit = static_cast<size_t>(NameAreaSize());
  const auto* begin = reinterpret_cast<const char*>(name_.data());
  return std::string(begin, std::find(begin, begin + limit, '\0'));
}

void FIELD_REC::SetName(const std::string& name) {
  name_.fill(0);
  std::memcpy(name_.data(), name.data(), std::min<size_t>(name.size(), kLongNameArea - 1));
}

bool FIELD_REC::HasWideLength() const {
  if (type_ == 'C' || type_ == '0') return true;
  return type_ == 'E' && IsWideLengthExtendedType(static_cast<TQxDBFType>(extend_type_ & 0x7F));
}

uint16_t FIELD_REC::Len() const { return HasWideLength() ? len_ : static_cast<uint16_t>(len_ & 0xFF); }

uint8_t FIELD_REC::Dec() const { return HasWideLength() ? 0 : dec_; }

uint8_t FIELD_REC::NativeStepAutoInc() const {
  return HasLongDescriptors(version_) ? 1 : native_step_auto_inc_;
}

void FIELD_REC::Decode(const uint8_t* bytes) {
  name_.fill(0);
  if (HasLongDescriptors(version_)) {
    std::memcpy(name_.data(), bytes, kLongNameArea);
    type_ = bytes[32];
    len_ = bytes[33];
    dec_ = bytes[34];
    extend_type_ = bytes[35];
    flags_ = bytes[37];
    next_auto_inc_ = DecodeLE32(bytes + kLongNextAutoIncOffset);
    native_next_auto_inc_ = DecodeLE32(bytes + kLongNativeNextAutoIncOffset);
    native_step_auto_inc_ = 1;
  } else {
    std::memcpy(name_.data(), bytes, kShortNameArea);
    type_ = bytes[11];
    extend_type_ = bytes[12];
    len_ = bytes[16];
    dec_ = bytes[17];
    flags_ = bytes[18];
    native_next_auto_inc_ = DecodeLE32(bytes + kShortNativeNextAutoIncOffset);
    native_step_auto_inc_ = bytes[kShortNativeStepAutoIncOffset];
    next_auto_inc_ = DecodeLE32(bytes + kShortNextAutoIncOffset);
  }
  if (HasWideLength()) {
    len_ = static_cast<uint16_t>(len_ | (dec_ << 8));
    dec_ = 0;
  }
}

void FIELD_REC::Encode(uint8_t* bytes) const {
  const bool wide = HasWideLength();
  const uint8_t len_lo = static_cast<uint8_t>(len_);
  const uint8_t len_hi = wide ? static_cast<uint8_t>(len_ >> 8) : dec_;
  std::memset(bytes, 0, static_cast<size_t>(Size()));
  if (HasLongDescriptors(version_)) {
    std::memcpy(bytes, name_.data(), kLongNameArea - 1);
    bytes[32] = type_;
    bytes[33] = len_lo;
    bytes[34] = len_hi;
    bytes[35] = extend_type_;
    bytes[37] = flags_;
    EncodeLE32(bytes + kLongNextAutoIncOffset, next_auto_inc_);
    EncodeLE32(bytes + kLongNativeNextAutoIncOffset, native_next_auto_inc_);
  } else {
    std::memcpy(bytes, name_.data(), kShortNameArea - 1);
    bytes[11] = type_;
    bytes[12] = extend_type_;
    bytes[16] = len_lo;
    bytes[17] = len_hi;
    bytes[18] = flags_;
    EncodeLE32(bytes + kShortNativeNextAutoIncOffset, native_next_auto_inc_);
    bytes[kShortNativeStepAutoIncOffset] = native_step_auto_inc_;
    EncodeLE32(bytes + kShortNextAutoIncOffset, next_auto_inc_);
  }
}

}  // namespace qxdbf
