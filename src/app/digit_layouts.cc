#include "app/digit_layouts.h"

#include <cstdint>

#include "app/convert_error.h"
#include "app/funcoes.h"

namespace veltrix {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// The value of a text of decimal digits (blanks around allowed) when it has
// between 1 and `max_digits` of them; false otherwise.
bool ReadDigits(std::string_view s, size_t max_digits, int& value) {
  s = TrimSpaces(s);
  if (s.empty() || s.size() > max_digits) return false;
  value = 0;
  for (char c : s) {
    if (!IsDigit(c)) return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

[[noreturn]] void NotADate(std::string_view d) {
  throw EConvertError("'" + std::string(d) + "' is not a valid date");
}

}  // namespace

std::string formataData(std::string_view d) {
  const size_t first = d.find('/');
  const size_t last = d.rfind('/');
  if (first == std::string_view::npos || first == last) NotADate(d);

  int day = 0, month = 0;
  if (!ReadDigits(d.substr(0, first), 2, day) || day < 1 || day > 31) NotADate(d);
  if (!ReadDigits(d.substr(first + 1, last - first - 1), 2, month) || month < 1 || month > 12) NotADate(d);

  const std::string_view year = TrimSpaces(d.substr(last + 1));
  if (year.size() < 2) NotADate(d);
  for (char c : year) {
    if (!IsDigit(c)) NotADate(d);
  }
  return std::string(year.substr(year.size() - 2)) + zeroEsquerda(month, 2) + zeroEsquerda(day, 2);
}

std::string valorDigitos(int n, Money v) {
  const int64_t cents = v.TenThousandths() / 100;  // toward zero
  const uint64_t magnitude = cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
  return zeroEsquerdaTexto(std::to_string(magnitude), n);
}

std::string compactaPares(std::string_view s) {
  std::string digits;
  if (s.size() % 2 != 0) digits.push_back('0');
  digits.append(s);
  std::string packed;
  packed.reserve(digits.size() / 2);
  for (size_t k = 0; k < digits.size(); k += 2) {
    const char hi = digits[k];
    const char lo = digits[k + 1];
    if (!IsDigit(hi) || !IsDigit(lo)) {
      throw EConvertError("'" + digits.substr(k, 2) + "' is not a valid integer value");
    }
    packed.push_back(static_cast<char>((hi - '0') * 10 + (lo - '0') + 48));
  }
  return packed;
}

}  // namespace veltrix
