#include "dbf/field.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dbf/dataset.h"
#include "dbf/engine_util.h"
#include "dbf/errors.h"
#include "dbf/field_codec.h"

namespace qxdbf {

namespace {

constexpr int32_t kDayOfOrigin = kDateDelta;  // 30 December 1899 as a day number from 1 January 1
constexpr double kMsPerDay = 86400000.0;

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

bool ParseInt64(const std::string& text, int64_t& out) {
  std::string t = Trim(text);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  return !t.empty() && ec == std::errc() && ptr == t.data() + t.size();
}

// Decimal text with "." or "," as the separator.
bool ParseDouble(const std::string& text, double& out) {
  std::string t = Trim(text);
  if (t.find('.') == std::string::npos) {
    if (auto comma = t.find(','); comma != std::string::npos) t[comma] = '.';
  }
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  return !t.empty() && ec == std::errc() && ptr == t.data() + t.size();
}

// Money text: optional sign, digits, optional "." or "," and up to four
// decimals.
bool ParseMoney(const std::string& text, int64_t& out) {
  double value = 0;
  if (!ParseDouble(text, value) || !std::isfinite(value) || std::fabs(value) > 9.2e14) return false;
  out = std::llround(value * 10000.0);
  return true;
}

std::string FormatDouble(double value) {
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof(buf), value);
  return ec == std::errc() ? std::string(buf, ptr) : std::string();
}

std::string FormatMoney(int64_t ten_thousandths) {
  const bool negative = ten_thousandths < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(ten_thousandths)
                                      : static_cast<uint64_t>(ten_thousandths);
  std::string text = std::to_string(magnitude / 10000);
  uint64_t frac = magnitude % 10000;
  if (frac != 0) {
    char digits[8];
    std::snprintf(digits, sizeof(digits), "%04llu", static_cast<unsigned long long>(frac));
    std::string f = digits;
    while (!f.empty() && f.back() == '0') f.pop_back();
    text += "." + f;
  }
  return negative ? "-" + text : text;
}

std::string FormatDate(int32_t day_number) {
  int y = 0, m = 0, d = 0;
  DecodeDays(day_number - kDayOfOrigin, y, m, d);
  char buf[16];
  std::snprintf(buf, sizeof(buf), "%04d-%02d-%02d", y, m, d);
  return buf;
}

std::string FormatTime(int64_t ms) {
  char buf[16];
  std::snprintf(buf, sizeof(buf), "%02d:%02d:%02d", static_cast<int>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60));
  return buf;
}

// YYYY-MM-DD, YYYYMMDD or DD/MM/YYYY, as a day number from 1 January 1.
bool ParseDate(const std::string& text, int32_t& day_number) {
  const std::string t = Trim(text);
  int y = 0, m = 0, d = 0;
  char tail = 0;
  bool ok = (t.size() == 10 && std::sscanf(t.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) == 3) ||
            (t.size() == 8 && std::sscanf(t.c_str(), "%4d%2d%2d%c", &y, &m, &d, &tail) == 3) ||
            (t.size() == 10 && std::sscanf(t.c_str(), "%2d/%2d/%4d%c", &d, &m, &y, &tail) == 3);
  if (!ok || y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
  int32_t days = 0;
  if (!TryEncodeDays(static_cast<uint16_t>(y), static_cast<uint16_t>(m), static_cast<uint16_t>(d), days))
    return false;
  day_number = days + kDayOfOrigin;
  return true;
}

}  // namespace

TField::TField(TDataSet& dataset, std::string name, TFieldType type, int32_t size, TFieldKind kind)
    : dataset_(dataset), name_(std::move(name)), type_(type), size_(size), kind_(kind) {}

int32_t TField::DataSize() const {
  switch (type_) {
    case ftString: case ftFixedChar: return size_ + 1;
    case ftSmallint: case ftWord: case ftBoolean: return 2;
    case ftInteger: case ftAutoInc: case ftDate: case ftTime: return 4;
    case ftLargeint: case ftFloat: case ftCurrency: case ftDateTime: return 8;
    case ftBCD: return 34;
    case ftWideString: return 4 + 2 * size_ + 2;
    default: return size_;
  }
}

// Reads the value into the field's scratch buffer, which is sized once, so
// that reading a field in a loop allocates nothing.
const uint8_t* TField::ReadBuffer(bool& has_value) const {
  const size_t size = static_cast<size_t>(DataSize()) + 1;
  if (scratch_.size() != size) scratch_.assign(size, 0);
  scratch_[size - 1] = 0;
  has_value = dataset_.GetFieldData(const_cast<TField&>(*this), scratch_.data());
  return scratch_.data();
}

bool TField::GetData(void* buffer) const { return dataset_.GetFieldData(const_cast<TField&>(*this), buffer); }

void TField::SetData(const void* buffer) {
  const TDataSetState state = dataset_.State();
  const bool writable = state == dsEdit || state == dsInsert || state == dsSetKey ||
                        state == dsFilter || state == dsNewValue ||
                        (kind_ == fkCalculated && state == dsCalcFields);
  if (!writable) throw EQxDBFError("Dataset not in edit or insert mode");
  dataset_.SetFieldData(*this, buffer);
}

bool TField::IsNull() const { return !dataset_.GetFieldData(const_cast<TField&>(*this), nullptr); }

void TField::Clear() { SetData(nullptr); }

void TField::ConversionError(const std::string& text, const char* what) const {
  throw EQxDBFBadArgument("'" + text + "' is not a valid " + what + " value for field '" + name_ + "'");
}

// ---- reading ----------------------------------------------------------------

std::string TField::AsString() const {
  bool has = false;
  const uint8_t* buf = ReadBuffer(has);
  if (!has) return {};
  const uint8_t* p = buf;
  switch (type_) {
    case ftString: case ftFixedChar:
      return dataset_.Translate(std::string(reinterpret_cast<const char*>(p)), false);
    case ftBoolean: return AsBoolean() ? "T" : "F";
    case ftFloat: return FormatDouble(AsFloat());
    case ftCurrency: return FormatMoney(AsCurrency());
    case ftDate: {
      int32_t day = 0;
      std::memcpy(&day, p, 4);
      return FormatDate(day);
    }
    case ftTime: {
      int32_t ms = 0;
      std::memcpy(&ms, p, 4);
      return FormatTime(ms);
    }
    case ftDateTime: {
      double v = 0;
      std::memcpy(&v, p, 8);
      const auto total = static_cast<int64_t>(std::llround(v));
      const auto day = static_cast<int32_t>(total / 86400000);
      const int64_t ms = total % 86400000;
      return ms == 0 ? FormatDate(day) : FormatDate(day) + " " + FormatTime(ms);
    }
    case ftSmallint: case ftWord: case ftInteger: case ftAutoInc: case ftLargeint:
      return std::to_string(AsLargeInt());
    default:
      return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(DataSize()));
  }
}

int64_t TField::AsLargeInt() const {
  bool has = false;
  const uint8_t* buf = ReadBuffer(has);
  if (!has) return 0;
  const uint8_t* p = buf;
  switch (type_) {
    case ftSmallint: { int16_t v; std::memcpy(&v, p, 2); return v; }
    case ftWord: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case ftBoolean: { int16_t v; std::memcpy(&v, p, 2); return v != 0; }
    case ftInteger: case ftAutoInc: case ftDate: case ftTime: { int32_t v; std::memcpy(&v, p, 4); return v; }
    case ftLargeint: { int64_t v; std::memcpy(&v, p, 8); return v; }
    case ftFloat: case ftCurrency: case ftDateTime: {
      double v; std::memcpy(&v, p, 8);
      return static_cast<int64_t>(std::llround(v));
    }
    case ftString: case ftFixedChar: {
      int64_t v = 0;
      std::string text = reinterpret_cast<const char*>(p);
      if (!ParseInt64(text, v)) ConversionError(Trim(text), "integer");
      return v;
    }
    default: ConversionError(name_, "integer");
  }
}

int32_t TField::AsInteger() const {
  const int64_t v = AsLargeInt();
  if (v < INT32_MIN || v > INT32_MAX) ConversionError(std::to_string(v), "32-bit integer");
  return static_cast<int32_t>(v);
}

double TField::AsFloat() const {
  bool has = false;
  const uint8_t* buf = ReadBuffer(has);
  if (!has) return 0;
  const uint8_t* p = buf;
  switch (type_) {
    case ftFloat: case ftCurrency: { double v; std::memcpy(&v, p, 8); return v; }
    case ftDateTime: case ftDate: case ftTime: return AsDateTime();
    case ftString: case ftFixedChar: {
      double v = 0;
      std::string text = reinterpret_cast<const char*>(p);
      if (!ParseDouble(text, v)) ConversionError(Trim(text), "floating point");
      return v;
    }
    default: return static_cast<double>(AsLargeInt());
  }
}

int64_t TField::AsCurrency() const {
  if (IsText()) {
    bool has = false;
    const uint8_t* buf = ReadBuffer(has);
    std::string text = reinterpret_cast<const char*>(buf);
    int64_t v = 0;
    if (has && !Trim(text).empty() && !ParseMoney(text, v)) ConversionError(Trim(text), "money");
    return v;
  }
  return std::llround(AsFloat() * 10000.0);
}

double TField::AsDateTime() const {
  bool has = false;
  const uint8_t* buf = ReadBuffer(has);
  if (!has) return 0;
  const uint8_t* p = buf;
  switch (type_) {
    case ftDate: { int32_t v; std::memcpy(&v, p, 4); return v - kDayOfOrigin; }
    case ftTime: { int32_t v; std::memcpy(&v, p, 4); return v / kMsPerDay; }
    case ftDateTime: { double v; std::memcpy(&v, p, 8); return v / kMsPerDay - kDayOfOrigin; }
    case ftString: case ftFixedChar: {
      int32_t day = 0;
      std::string text = reinterpret_cast<const char*>(p);
      if (!ParseDate(text, day)) ConversionError(Trim(text), "date");
      return day - kDayOfOrigin;
    }
    default: ConversionError(name_, "date");
  }
}

bool TField::AsBoolean() const {
  bool has = false;
  const uint8_t* buf = ReadBuffer(has);
  if (!has) return false;
  if (type_ == ftBoolean) {
    int16_t v;
    std::memcpy(&v, buf, 2);
    return v != 0;
  }
  if (IsText()) {
    const std::string t = Trim(reinterpret_cast<const char*>(buf));
    if (t == "T" || t == "t" || t == "Y" || t == "y") return true;
    if (t == "F" || t == "f" || t == "N" || t == "n") return false;
    ConversionError(t, "Boolean");
  }
  return AsLargeInt() != 0;
}

// ---- writing ----------------------------------------------------------------

void TField::SetAsString(const std::string& value) {
  if (IsText()) {
    std::string text = value.substr(0, static_cast<size_t>(size_));
    text = dataset_.Translate(std::move(text), true);
    std::vector<char> buf(static_cast<size_t>(DataSize()) + 1, '\0');
    std::memcpy(buf.data(), text.data(), std::min(text.size(), static_cast<size_t>(size_)));
    SetData(buf.data());
    return;
  }
  if (Trim(value).empty()) {
    Clear();
    return;
  }
  switch (type_) {
    case ftBoolean: {
      const std::string t = Trim(value);
      if (t == "T" || t == "t" || t == "Y" || t == "y" || t == "1" || t == "True" || t == "true")
        SetAsBoolean(true);
      else if (t == "F" || t == "f" || t == "N" || t == "n" || t == "0" || t == "False" || t == "false")
        SetAsBoolean(false);
      else
        ConversionError(t, "Boolean");
      return;
    }
    case ftDate: case ftDateTime: {
      int32_t day = 0;
      if (!ParseDate(value, day)) ConversionError(Trim(value), "date");
      SetAsDateTime(day - kDayOfOrigin);
      return;
    }
    case ftCurrency: {
      int64_t money = 0;
      if (!ParseMoney(value, money)) ConversionError(Trim(value), "money");
      SetAsCurrency(money);
      return;
    }
    default:
      SetAsNumberText(value);
  }
}

void TField::SetAsNumberText(const std::string& value) {
  if (type_ == ftFloat) {
    double v = 0;
    if (!ParseDouble(value, v)) ConversionError(Trim(value), "floating point");
    SetAsFloat(v);
    return;
  }
  int64_t v = 0;
  if (!ParseInt64(value, v)) ConversionError(Trim(value), "integer");
  SetAsLargeInt(v);
}

void TField::SetAsLargeInt(int64_t value) {
  uint8_t buf[8] = {};
  switch (type_) {
    case ftSmallint: case ftWord: case ftBoolean: {
      if (value < (type_ == ftWord ? 0 : INT16_MIN) || value > (type_ == ftWord ? UINT16_MAX : INT16_MAX))
        ConversionError(std::to_string(value), "16-bit integer");
      const auto v = static_cast<uint16_t>(value);
      std::memcpy(buf, &v, 2);
      break;
    }
    case ftInteger: case ftAutoInc: case ftDate: case ftTime: {
      if (value < INT32_MIN || value > INT32_MAX) ConversionError(std::to_string(value), "32-bit integer");
      const auto v = static_cast<int32_t>(value);
      std::memcpy(buf, &v, 4);
      break;
    }
    case ftLargeint: std::memcpy(buf, &value, 8); break;
    case ftFloat: case ftCurrency: case ftDateTime: SetAsFloat(static_cast<double>(value)); return;
    case ftString: case ftFixedChar: SetAsString(std::to_string(value)); return;
    default: ConversionError(std::to_string(value), "field");
  }
  SetData(buf);
}

void TField::SetAsInteger(int32_t value) { SetAsLargeInt(value); }

void TField::SetAsFloat(double value) {
  switch (type_) {
    case ftFloat: case ftCurrency: SetData(&value); return;
    case ftDate: case ftDateTime: case ftTime: SetAsDateTime(value); return;
    case ftString: case ftFixedChar: SetAsString(FormatDouble(value)); return;
    default:
      if (!std::isfinite(value)) ConversionError(FormatDouble(value), "integer");
      SetAsLargeInt(std::llround(value));
  }
}

void TField::SetAsCurrency(int64_t ten_thousandths) {
  if (IsText()) {
    SetAsString(FormatMoney(ten_thousandths));
    return;
  }
  SetAsFloat(static_cast<double>(ten_thousandths) / 10000.0);
}

void TField::SetAsDateTime(double value) {
  switch (type_) {
    case ftDate: {
      const auto day = static_cast<int32_t>(std::floor(value)) + kDayOfOrigin;
      SetData(&day);
      return;
    }
    case ftTime: {
      const double frac = value - std::floor(value);
      const auto ms = static_cast<int32_t>(std::llround(frac * kMsPerDay));
      SetData(&ms);
      return;
    }
    case ftDateTime: {
      const double v = std::round((value + kDayOfOrigin) * kMsPerDay);
      SetData(&v);
      return;
    }
    case ftString: case ftFixedChar: {
      SetAsString(FormatDate(static_cast<int32_t>(std::floor(value)) + kDayOfOrigin));
      return;
    }
    default: SetAsFloat(value);
  }
}

void TField::SetAsBoolean(bool value) {
  if (type_ == ftBoolean) {
    const int16_t v = value ? 1 : 0;
    SetData(&v);
  } else if (IsText()) {
    SetAsString(value ? "T" : "F");
  } else {
    SetAsLargeInt(value ? 1 : 0);
  }
}

}  // namespace qxdbf
