#include "dbf/decimal_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <system_error>

namespace qxdbf {

namespace {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The text ends at its first zero byte, as the platform's conversions see a
// field copied into a zero-terminated buffer.
inline size_t TextLength(const char* text, size_t n) {
  const void* zero = std::memchr(text, 0, n);
  return zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : n;
}

// The number is beyond a double's range; decides whether it is too large
// (true) or too small (false) from the position of its first significant
// digit and its exponent. The mantissa is known to hold a non-zero digit.
bool Overflows(const char* mantissa, const char* mantissa_end, const char* exponent,
               const char* exponent_end) {
  int64_t point = mantissa_end - mantissa;  // digits before the separator
  int64_t first = -1;                       // index of the first non-zero digit
  int64_t digit_index = 0;
  for (const char* p = mantissa; p < mantissa_end; ++p) {
    if (!IsDigit(*p)) {
      point = digit_index;
      continue;
    }
    if (first < 0 && *p != '0') first = digit_index;
    ++digit_index;
  }
  if (point > digit_index) point = digit_index;
  int64_t exp = 0;
  bool negative = false;
  const char* p = exponent;
  if (p < exponent_end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  for (; p < exponent_end; ++p) {
    if (exp < 1000000000) exp = exp * 10 + (*p - '0');
  }
  if (negative) exp = -exp;
  // The first significant digit has weight 10^(point - first - 1 + exp).
  return point - first - 1 + exp > 0;
}

}  // namespace

bool ParseDecimalText(const char* text, size_t n, double& value) {
  n = TextLength(text, n);
  size_t i = 0;
  while (i < n && text[i] == ' ') ++i;
  const size_t sign_pos = i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t mantissa_pos = i;
  size_t digits = 0;
  size_t separator_pos = n;
  bool has_nonzero = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      ++digits;
      has_nonzero |= c != '0';
    } else if (c == '.' || c == ',') {
      if (separator_pos != n) return false;
      separator_pos = i;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  const size_t mantissa_end = i;
  size_t exponent_pos = i;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    exponent_pos = ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t exponent_digits = i;
    while (i < n && IsDigit(text[i])) ++i;
    if (i == exponent_digits) return false;
  }
  const size_t end = i;
  while (i < n && text[i] == ' ') ++i;
  if (i != n) return false;

  // from_chars reads "." only and takes no "+"; a "," is swapped for "."
  // in a copy, which stays on the stack for any field width.
  const char* first = negative ? text + sign_pos : text + mantissa_pos;
  const char* last = text + end;
  char local[320];
  std::string spill;
  if (separator_pos != n && text[separator_pos] == ',') {
    const size_t count = static_cast<size_t>(last - first);
    char* copy = local;
    if (count > sizeof local) {
      spill.assign(first, count);
      copy = spill.data();
    } else {
      std::memcpy(copy, first, count);
    }
    copy[text + separator_pos - first] = '.';
    first = copy;
    last = copy + count;
  }
  double result = 0;
  const auto [ptr, ec] = std::from_chars(first, last, result, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    if (!has_nonzero) {
      result = 0;
    } else if (Overflows(text + mantissa_pos, text + mantissa_end, text + exponent_pos,
                         text + (exponent_pos == mantissa_end ? mantissa_end : end))) {
      return false;
    } else {
      result = 0;
    }
    if (negative) result = -result;
  } else if (ec != std::errc() || ptr != last) {
    return false;
  }
  value = result;
  return true;
}

bool ParseIntegerText(const char* text, size_t n, int64_t min, int64_t max, int64_t& value) {
  n = TextLength(text, n);
  size_t i = 0;
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  // Magnitudes beyond 2^63 fit no range a caller can ask for.
  constexpr uint64_t kLimit = uint64_t{1} << 63;
  uint64_t magnitude = 0;
  const size_t digits_pos = i;
  for (; i < n; ++i) {
    const int d = base == 16 ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
    if (d < 0) return false;
    if (magnitude > (kLimit - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) return false;
    magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  if (i == digits_pos) return false;
  int64_t result;
  if (negative) {
    result = magnitude == kLimit ? INT64_MIN : -static_cast<int64_t>(magnitude);
  } else {
    if (magnitude == kLimit) return false;
    result = static_cast<int64_t>(magnitude);
  }
  if (result < min || result > max) return false;
  value = result;
  return true;
}

size_t FormatFixedText(double value, int decimals, char* out) {
  // The 18 significant digits of |value| and the power of ten of the first.
  char sci[40];
  const auto sci_end =
      std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, 17).ptr;
  char digits[18];
  int count = 0;
  const char* p = sci;
  for (; p < sci_end && *p != 'e'; ++p)
    if (IsDigit(*p)) digits[count++] = *p;
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+'), sci_end, exponent);

  // result = the digits of round(|value| * 10^decimals), without leading
  // zeros ("0" for zero).
  char result[kFixedTextCapacity];
  size_t length = 0;
  const int keep = value == 0 ? -1 : exponent + decimals + 1;  // digits left of the cut
  if (keep <= 0) {
    result[length++] = keep == 0 && digits[0] >= '5' ? '1' : '0';
  } else {
    const int taken = keep < 18 ? keep : 18;
    std::memcpy(result, digits, static_cast<size_t>(taken));
    length = static_cast<size_t>(taken);
    if (keep < 18) {
      if (digits[keep] >= '5') {
        // Halves away from zero: add one unit at the last kept digit.
        size_t k = length;
        while (k > 0 && result[k - 1] == '9') result[--k] = '0';
        if (k > 0) {
          ++result[k - 1];
        } else {
          std::memmove(result + 1, result, length++);
          result[0] = '1';
        }
      }
    } else {
      std::memset(result + length, '0', static_cast<size_t>(keep - 18));
      length += static_cast<size_t>(keep - 18);
    }
  }
  const bool zero = length == 1 && result[0] == '0';

  size_t pos = 0;
  if (value < 0 && !zero) out[pos++] = '-';
  const size_t dec = static_cast<size_t>(decimals);
  if (length <= dec) {
    // At least one digit before the point: 0.063, never .063.
    out[pos++] = '0';
    if (dec > 0) {
      out[pos++] = '.';
      std::memset(out + pos, '0', dec - length);
      pos += dec - length;
      std::memcpy(out + pos, result, length);
      pos += length;
    }
  } else {
    std::memcpy(out + pos, result, length - dec);
    pos += length - dec;
    if (dec > 0) {
      out[pos++] = '.';
      std::memcpy(out + pos, result + length - dec, dec);
      pos += dec;
    }
  }
  return pos;
}

}  // namespace qxdbf
