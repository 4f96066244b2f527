#include "app/money.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "app/convert_error.h"

namespace veltrix {

namespace {

constexpr uint64_t kMaxPositive = std::numeric_limits<int64_t>::max();
constexpr uint64_t kMaxNegative = kMaxPositive + 1;
// Exponents are clamped here while read: far beyond any digit count that
// could still give a value in range, and far from int overflow.
constexpr int kExponentClamp = 100000;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Parses the trimmed decimal text into ten-thousandths. False on any
// deviation from the grammar of FromText and when out of range.
bool ParseTenThousandths(std::string_view text, int64_t& out) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  // Digits of the mantissa without its separator; `scale` is the power of
  // ten they are multiplied by.
  std::string digits;
  int64_t scale = 0;
  bool any_digit = false;
  bool separator = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      any_digit = true;
      if (digits.empty() && c == '0') {
        if (separator) --scale;  // a leading zero after the separator only shifts
        continue;
      }
      digits.push_back(c);
      if (separator) --scale;
    } else if ((c == ',' || c == '.') && !separator) {
      separator = true;
    } else {
      break;
    }
  }
  if (!any_digit) return false;

  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool exp_negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) exp_negative = text[i++] == '-';
    if (i >= text.size() || !IsDigit(text[i])) return false;
    int64_t exponent = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      if (exponent < kExponentClamp) exponent = exponent * 10 + (text[i] - '0');
    }
    scale += exp_negative ? -exponent : exponent;
  }
  if (i != text.size()) return false;

  if (digits.empty()) {
    out = 0;
    return true;
  }
  // The digits times 10^(scale + 4) are the ten-thousandths.
  const uint64_t max_magnitude = negative ? kMaxNegative : kMaxPositive;
  const int64_t shift = scale + 4;
  uint64_t magnitude = 0;
  if (shift >= 0) {
    if (static_cast<int64_t>(digits.size()) + shift > 19) return false;
    unsigned __int128 v = 0;
    for (char c : digits) v = v * 10 + static_cast<unsigned>(c - '0');
    for (int64_t k = 0; k < shift; ++k) v *= 10;
    if (v > max_magnitude) return false;
    magnitude = static_cast<uint64_t>(v);
  } else {
    const int64_t keep = static_cast<int64_t>(digits.size()) + shift;
    if (keep > 19) return false;
    unsigned __int128 v = 0;
    for (int64_t k = 0; k < keep; ++k) v = v * 10 + static_cast<unsigned>(digits[static_cast<size_t>(k)] - '0');
    // Halves away from zero: the dropped part is at least one half exactly
    // when its first digit is 5 or more.
    if (keep >= 0 && digits[static_cast<size_t>(keep)] >= '5') ++v;
    if (v > max_magnitude) return false;
    magnitude = static_cast<uint64_t>(v);
  }
  // Modular conversion: 2^63 becomes the most negative value.
  out = static_cast<int64_t>(negative ? 0 - magnitude : magnitude);
  return true;
}

[[noreturn]] void NotMoney(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid money value");
}

[[noreturn]] void Overflow(const char* operation, Money a, Money b) {
  throw std::overflow_error("Money overflow: " + a.ToText() + " " + operation + " " + b.ToText());
}

}  // namespace

Money Money::FromWhole(int64_t units) {
  int64_t v = 0;
  if (__builtin_mul_overflow(units, kScale, &v)) {
    throw std::overflow_error("Money overflow: " + std::to_string(units) + " units");
  }
  return FromTenThousandths(v);
}

Money Money::FromDouble(double value) {
  char text[64];
  if (!std::isfinite(value)) {
    const auto r = std::to_chars(text, text + sizeof(text), value);
    NotMoney(std::string_view(text, static_cast<size_t>(r.ptr - text)));
  }
  // 15 significant digits: the decimal the double stands for.
  const auto r = std::to_chars(text, text + sizeof(text), value, std::chars_format::scientific, 14);
  int64_t v = 0;
  if (r.ec != std::errc() || !ParseTenThousandths(std::string_view(text, static_cast<size_t>(r.ptr - text)), v)) {
    const auto shortest = std::to_chars(text, text + sizeof(text), value);
    NotMoney(std::string_view(text, static_cast<size_t>(shortest.ptr - text)));
  }
  return FromTenThousandths(v);
}

bool Money::TryFromText(std::string_view text, Money& out) {
  int64_t v = 0;
  if (!ParseTenThousandths(TrimBlanks(text), v)) return false;
  out = FromTenThousandths(v);
  return true;
}

Money Money::FromText(std::string_view text) {
  Money m;
  if (!TryFromText(text, m)) NotMoney(TrimBlanks(text));
  return m;
}

double Money::ToDouble() const { return static_cast<double>(value_) / kScale; }

std::string Money::ToText() const {
  const bool negative = value_ < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value_) : static_cast<uint64_t>(value_);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / kScale);
  uint64_t fraction = magnitude % kScale;
  if (fraction != 0) {
    std::string digits = std::to_string(fraction + kScale).substr(1);  // four digits, leading zeros kept
    while (digits.back() == '0') digits.pop_back();
    text += "," + digits;
  }
  return text;
}

Money Money::Abs() const { return value_ < 0 ? -*this : *this; }

Money Money::operator-() const {
  if (value_ == std::numeric_limits<int64_t>::min()) Overflow("-", Money(), *this);
  return FromTenThousandths(-value_);
}

Money& Money::operator+=(Money other) {
  int64_t v = 0;
  if (__builtin_add_overflow(value_, other.value_, &v)) Overflow("+", *this, other);
  value_ = v;
  return *this;
}

Money& Money::operator-=(Money other) {
  int64_t v = 0;
  if (__builtin_sub_overflow(value_, other.value_, &v)) Overflow("-", *this, other);
  value_ = v;
  return *this;
}

Money arredonda(Money v) {
  const int64_t t = v.TenThousandths();
  const uint64_t magnitude = t < 0 ? 0 - static_cast<uint64_t>(t) : static_cast<uint64_t>(t);
  uint64_t cents = magnitude / 100;
  if (magnitude % 100 >= 50) ++cents;
  // At most 9223372036854775800: rounding never leaves the range.
  const auto rounded = static_cast<int64_t>(cents * 100);
  return Money::FromTenThousandths(t < 0 ? -rounded : rounded);
}

}  // namespace veltrix
