#include "app/ib_value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/funcoes.h"
#include "app/ib_error.h"
#include "app/latin1_text.h"
#include "dbf/engine_util.h"

namespace veltrix {

namespace {

constexpr int64_t kPow10[] = {1,
                              10,
                              100,
                              1000,
                              10000,
                              100000,
                              1000000,
                              10000000,
                              100000000,
                              1000000000,
                              10000000000,
                              100000000000,
                              1000000000000,
                              10000000000000,
                              100000000000000,
                              1000000000000000,
                              10000000000000000,
                              100000000000000000,
                              1000000000000000000};

[[noreturn]] void ConversionError(const std::string& text, const char* what) {
  throw EIBError("'" + text + "' is not a valid " + what);
}

// units / 10^shift, rounded half away from zero.
int64_t DivideRounded(int64_t units, int shift) {
  if (shift <= 0) return units;
  const int64_t div = kPow10[shift];
  const int64_t q = units / div;
  const int64_t r = units % div;
  if (r >= 0 ? r * 2 >= div : -r * 2 >= div) return units >= 0 ? q + 1 : q - 1;
  return q;
}

// units * 10^shift, or false when it leaves the int64 range.
bool MultiplyChecked(int64_t units, int shift, int64_t& out) {
  const __int128 v = static_cast<__int128>(units) * kPow10[shift];
  if (v > std::numeric_limits<int64_t>::max() || v < std::numeric_limits<int64_t>::min()) return false;
  out = static_cast<int64_t>(v);
  return true;
}

std::string FormatScaled(int64_t units, int decimals) {
  const bool negative = units < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
  std::string digits = std::to_string(magnitude);
  if (digits.size() < static_cast<size_t>(decimals) + 1) digits.insert(0, decimals + 1 - digits.size(), '0');
  std::string whole = digits.substr(0, digits.size() - decimals);
  std::string frac = digits.substr(digits.size() - decimals);
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  std::string text = frac.empty() ? whole : whole + "," + frac;
  return negative && text != "0" ? "-" + text : text;
}

std::string FormatFloat(double value) {
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof(buf), value);
  std::string text = ec == std::errc() ? std::string(buf, ptr) : std::string();
  for (char& c : text) {
    if (c == '.') c = ',';
  }
  return text;
}

std::string FormatDate(int32_t day_number) {
  int y = 0, m = 0, d = 0;
  qxdbf::DecodeDays(day_number, y, m, d);
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%02d/%02d/%04d", d, m, y);
  return buf;
}

std::string FormatTime(uint32_t time_units) {
  const uint32_t seconds = time_units / 10000;
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return buf;
}

// An integer text: blanks around, an optional sign, decimal digits.
bool ParseInteger(const std::string& text, int64_t& out) {
  std::string t = Trim(text);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) return false;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  return ec == std::errc() && ptr == t.data() + t.size();
}

// A decimal text (blanks around, optional sign, digits with at most one "," or
// "." and digits on at least one side) as units of 10^-decimals, rounded half
// away from zero.
bool ParseDecimal(const std::string& text, int decimals, int64_t& out) {
  const std::string t = Trim(text);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  __int128 value = 0;
  int frac_digits = 0;
  bool point = false, any_digit = false, round_up = false;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c == ',' || c == '.') {
      if (point) return false;
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
    any_digit = true;
    if (point && frac_digits >= decimals) {
      if (frac_digits == decimals) round_up = c >= '5';
      ++frac_digits;
      continue;
    }
    value = value * 10 + (c - '0');
    if (point) ++frac_digits;
    if (value > static_cast<__int128>(std::numeric_limits<int64_t>::max())) return false;
  }
  if (!any_digit) return false;
  for (int k = std::min(frac_digits, decimals); k < decimals; ++k) {
    value *= 10;
    if (value > static_cast<__int128>(std::numeric_limits<int64_t>::max())) return false;
  }
  if (round_up) ++value;
  if (value > static_cast<__int128>(std::numeric_limits<int64_t>::max())) return false;
  out = static_cast<int64_t>(negative ? -value : value);
  return true;
}

bool ParseFloat(const std::string& text, double& out) {
  std::string t = Trim(text);
  for (char& c : t) {
    if (c == ',') c = '.';
  }
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) return false;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  return ec == std::errc() && ptr == t.data() + t.size() && std::isfinite(out);
}

// "dd/mm/yyyy", "yyyy-mm-dd" or "hh:nn[:ss]", or a date and a time separated
// by a blank.
bool ParseDateTime(const std::string& text, double& out) {
  const std::string t = Trim(text);
  int a = 0, b = 0, c = 0, h = 0, n = 0, s = 0;
  char tail = 0;
  auto time_only = [&](const std::string& part, int& hh, int& nn, int& ss) {
    ss = 0;
    char extra = 0;
    const int got = std::sscanf(part.c_str(), "%2d:%2d:%2d%c", &hh, &nn, &ss, &extra);
    return (got == 2 || got == 3) && hh >= 0 && hh < 24 && nn >= 0 && nn < 60 && ss >= 0 && ss < 60;
  };
  const size_t blank = t.find(' ');
  const std::string date_part = t.substr(0, blank);
  double time = 0;
  if (blank != std::string::npos) {
    if (!time_only(Trim(t.substr(blank)), h, n, s)) return false;
    time = (h * 3600 + n * 60 + s) / 86400.0;
  } else if (date_part.find(':') != std::string::npos) {
    if (!time_only(date_part, h, n, s)) return false;
    out = (h * 3600 + n * 60 + s) / 86400.0;
    return true;
  }
  int y = 0, m = 0, d = 0;
  if (std::sscanf(date_part.c_str(), "%2d/%2d/%4d%c", &a, &b, &c, &tail) == 3) {
    d = a, m = b, y = c;
  } else if (std::sscanf(date_part.c_str(), "%4d-%2d-%2d%c", &a, &b, &c, &tail) == 3) {
    y = a, m = b, d = c;
  } else {
    return false;
  }
  int32_t day = 0;
  if (y < 1 || m < 1 || d < 1 ||
      !qxdbf::TryEncodeDays(static_cast<uint16_t>(y), static_cast<uint16_t>(m), static_cast<uint16_t>(d), day))
    return false;
  out = day >= 0 ? day + time : day - time;
  return true;
}

int64_t RoundToInt64(double v, const TIBValue& self) {
  if (!std::isfinite(v) || std::fabs(v) >= 9.2e18) ConversionError(self.AsString(), "integer");
  return std::llround(v);
}

}  // namespace

void SplitDateTime(double date_time, int32_t& day_number, uint32_t& time_units) {
  double whole = std::trunc(date_time);
  double frac = std::fabs(date_time - whole);
  auto units = static_cast<uint64_t>(std::llround(frac * kTimeUnitsPerDay));
  if (units >= kTimeUnitsPerDay) {
    // Rounded up to midnight: the next day, away from the origin.
    units = 0;
    whole += date_time < 0 ? -1 : 1;
  }
  day_number = static_cast<int32_t>(whole);
  time_units = static_cast<uint32_t>(units);
}

double JoinDateTime(int32_t day_number, uint32_t time_units) {
  const double frac = static_cast<double>(time_units) / kTimeUnitsPerDay;
  return day_number >= 0 ? day_number + frac : day_number - frac;
}

TIBValue TIBValue::Integer(int64_t value) {
  TIBValue v;
  v.SetAsLargeInt(value);
  return v;
}

TIBValue TIBValue::Scaled(int64_t units, int decimals) {
  if (decimals < 0 || decimals > kMaxDecimals) throw EIBError("Scale out of range: " + std::to_string(decimals));
  TIBValue v;
  v.kind_ = vkScaled;
  v.int_ = units;
  v.decimals_ = decimals;
  return v;
}

TIBValue TIBValue::Currency(int64_t ten_thousandths) { return Scaled(ten_thousandths, 4); }

TIBValue TIBValue::Float(double value) {
  TIBValue v;
  v.SetAsFloat(value);
  return v;
}

TIBValue TIBValue::Text(std::string value) {
  TIBValue v;
  v.kind_ = vkText;
  v.text_ = std::move(value);
  return v;
}

TIBValue TIBValue::Date(int32_t day_number) {
  TIBValue v;
  v.SetAsDate(day_number);
  return v;
}

TIBValue TIBValue::Time(double fraction_of_day) {
  TIBValue v;
  v.kind_ = vkTime;
  v.real_ = fraction_of_day;
  return v;
}

TIBValue TIBValue::DateTime(double date_time) {
  TIBValue v;
  v.SetAsDateTime(date_time);
  return v;
}

TIBValue TIBValue::Boolean(bool value) {
  TIBValue v;
  v.SetAsBoolean(value);
  return v;
}

std::string TIBValue::AsString() const {
  switch (kind_) {
    case vkNull: return {};
    case vkInteger: return std::to_string(int_);
    case vkScaled: return FormatScaled(int_, decimals_);
    case vkFloat: return FormatFloat(real_);
    case vkText: return text_;
    case vkDate: return FormatDate(static_cast<int32_t>(int_));
    case vkTime: {
      int32_t day = 0;
      uint32_t units = 0;
      SplitDateTime(real_, day, units);
      return FormatTime(units);
    }
    case vkDateTime: {
      int32_t day = 0;
      uint32_t units = 0;
      SplitDateTime(real_, day, units);
      return units == 0 ? FormatDate(day) : FormatDate(day) + " " + FormatTime(units);
    }
    case vkBoolean: return int_ != 0 ? "True" : "False";
  }
  return {};
}

int64_t TIBValue::AsLargeInt() const {
  switch (kind_) {
    case vkNull: return 0;
    case vkInteger: case vkDate: case vkBoolean: return int_;
    case vkScaled: return DivideRounded(int_, decimals_);
    case vkFloat: return RoundToInt64(real_, *this);
    case vkTime: return 0;
    case vkDateTime: return static_cast<int64_t>(std::trunc(real_));
    case vkText: {
      int64_t v = 0;
      if (!ParseInteger(text_, v)) ConversionError(Trim(text_), "integer");
      return v;
    }
  }
  return 0;
}

int32_t TIBValue::AsInteger() const {
  const int64_t v = AsLargeInt();
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    ConversionError(std::to_string(v), "32-bit integer");
  return static_cast<int32_t>(v);
}

double TIBValue::AsFloat() const {
  switch (kind_) {
    case vkNull: return 0;
    case vkInteger: case vkDate: case vkBoolean: return static_cast<double>(int_);
    case vkScaled: return static_cast<double>(static_cast<long double>(int_) / kPow10[decimals_]);
    case vkFloat: case vkTime: case vkDateTime: return real_;
    case vkText: {
      double v = 0;
      if (!ParseFloat(text_, v)) ConversionError(Trim(text_), "floating point value");
      return v;
    }
  }
  return 0;
}

int64_t TIBValue::AsCurrency() const { return AsScaled(4); }

int64_t TIBValue::AsScaled(int decimals) const {
  int64_t out = 0;
  switch (kind_) {
    case vkNull: return 0;
    case vkInteger: case vkDate: case vkBoolean:
      if (!MultiplyChecked(int_, decimals, out)) ConversionError(AsString(), "number");
      return out;
    case vkScaled:
      if (decimals_ >= decimals) return DivideRounded(int_, decimals_ - decimals);
      if (!MultiplyChecked(int_, decimals - decimals_, out)) ConversionError(AsString(), "number");
      return out;
    case vkFloat: case vkTime: case vkDateTime: {
      const double v = static_cast<double>(static_cast<long double>(real_) * kPow10[decimals]);
      if (!std::isfinite(v) || std::fabs(v) >= 9.2e18) ConversionError(AsString(), "number");
      return std::llround(v);
    }
    case vkText:
      if (!ParseDecimal(text_, decimals, out)) ConversionError(Trim(text_), "number");
      return out;
  }
  return 0;
}

double TIBValue::AsDateTime() const {
  switch (kind_) {
    case vkNull: return 0;
    case vkDate: return static_cast<double>(int_);
    case vkTime: case vkDateTime: return real_;
    case vkText: {
      double v = 0;
      if (!ParseDateTime(text_, v)) ConversionError(Trim(text_), "date and time");
      return v;
    }
    default: return AsFloat();
  }
}

bool TIBValue::AsBoolean() const {
  switch (kind_) {
    case vkNull: return false;
    case vkText: {
      const std::string t = UpperLatin1(Trim(text_));
      if (t == "TRUE" || t == "T" || t == "Y" || t == "1") return true;
      if (t == "FALSE" || t == "F" || t == "N" || t == "0") return false;
      ConversionError(Trim(text_), "boolean");
    }
    case vkFloat: case vkTime: case vkDateTime: return real_ != 0;
    default: return int_ != 0;
  }
}

void TIBValue::Clear() { *this = TIBValue(); }

void TIBValue::SetAsString(const std::string& value) { *this = Text(value); }

void TIBValue::SetAsInteger(int32_t value) { SetAsLargeInt(value); }

void TIBValue::SetAsLargeInt(int64_t value) {
  *this = TIBValue();
  kind_ = vkInteger;
  int_ = value;
}

void TIBValue::SetAsFloat(double value) {
  *this = TIBValue();
  kind_ = vkFloat;
  real_ = value;
}

void TIBValue::SetAsCurrency(int64_t ten_thousandths) { *this = Currency(ten_thousandths); }

void TIBValue::SetAsDate(int32_t day_number) {
  *this = TIBValue();
  kind_ = vkDate;
  int_ = day_number;
}

void TIBValue::SetAsDateTime(double date_time) {
  *this = TIBValue();
  kind_ = vkDateTime;
  real_ = date_time;
}

void TIBValue::SetAsBoolean(bool value) {
  *this = TIBValue();
  kind_ = vkBoolean;
  int_ = value ? 1 : 0;
}

}  // namespace veltrix
