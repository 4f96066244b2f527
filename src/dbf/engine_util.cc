#include "dbf/engine_util.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "dbf/coding.h"

namespace qxdbf {

namespace {

// Days from 1 January of year 1 (day 1) to 30 December 1899.
constexpr int32_t kDaysBeforeOrigin = 693594;
constexpr int32_t kFirstDay = 1 - kDaysBeforeOrigin;  // 1 January 0001
constexpr int32_t kLastDay = 2958465;                 // 31 December 9999
constexpr int64_t kMillisecondsPerDay = 86400000;

constexpr int32_t kDaysIn400Years = 146097;
constexpr int32_t kDaysIn100Years = 36524;
constexpr int32_t kDaysIn4Years = 1461;
constexpr int32_t kDaysInYear = 365;

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kLengths[month - 1];
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Splits a date-time into its day number and the milliseconds of its time of
// day. Rounding the whole value to milliseconds first keeps 0.5 from
// decoding as 11:59:59.999. False when the date lies outside years 1..9999.
bool SplitDateTime(double date_time, int32_t& day_number, int32_t& milliseconds) {
  if (!std::isfinite(date_time) || date_time < kFirstDay - 1.0 || date_time > kLastDay + 1.0)
    return false;
  const int64_t total = std::llround(date_time * static_cast<double>(kMillisecondsPerDay));
  const int64_t days = total / kMillisecondsPerDay;  // toward zero, as stored
  if (days < kFirstDay || days > kLastDay) return false;
  day_number = static_cast<int32_t>(days);
  milliseconds = static_cast<int32_t>(std::llabs(total) % kMillisecondsPerDay);
  return true;
}

std::string TwoDigits(int value) { return IntToZeroPadded(value, 2); }

std::string DatePart(bool valid, int32_t day_number) {
  int year = 0, month = 0, day = 0;
  if (valid) DecodeDays(day_number, year, month, day);
  return IntToZeroPadded(year, 4) + TwoDigits(month) + TwoDigits(day);
}

std::string TimePart(bool valid, int32_t milliseconds) {
  const int seconds = valid ? milliseconds / 1000 : 0;
  return TwoDigits(seconds / 3600) + TwoDigits(seconds / 60 % 60) + TwoDigits(seconds % 60);
}

// A plain decimal number filling the whole text: optional sign, digits with
// at most one point (at least one digit), optional exponent.
bool IsPlainNumber(const std::string& text) {
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  return i == n;
}

}  // namespace

int32_t ReadBigEndian32(const uint8_t* bytes) {
  return static_cast<int32_t>(DecodeBE32(bytes));
}

int64_t ReadBigEndian64(const uint8_t* bytes) {
  return static_cast<int64_t>(DecodeBE64(bytes));
}

bool TryEncodeDays(uint16_t year, uint16_t month, uint16_t day, int32_t& day_number) {
  if (year == 0 || year > 9999 || month < 1 || month > 12) return false;
  if (day == 0 || day > DaysInMonth(year, month)) return false;
  int32_t day_of_year = day;
  for (int m = 1; m < month; ++m) day_of_year += DaysInMonth(year, m);
  const int32_t y = year - 1;
  day_number = y * 365 + y / 4 - y / 100 + y / 400 + day_of_year - kDaysBeforeOrigin;
  return true;
}

void DecodeDays(int32_t day_number, int& year, int& month, int& day) {
  year = month = day = 0;
  if (day_number < kFirstDay || day_number > kLastDay) return;
  int32_t rest = day_number - kFirstDay;  // days since 1 January 0001
  int y = 1 + rest / kDaysIn400Years * 400;
  rest %= kDaysIn400Years;
  // The last day of a 400-year (4-year) cycle belongs to its last century
  // (year), not to a fifth one.
  int32_t part = std::min<int32_t>(rest / kDaysIn100Years, 3);
  y += part * 100;
  rest -= part * kDaysIn100Years;
  part = rest / kDaysIn4Years;
  y += part * 4;
  rest %= kDaysIn4Years;
  part = std::min<int32_t>(rest / kDaysInYear, 3);
  y += part;
  rest -= part * kDaysInYear;
  int m = 1;
  while (rest >= DaysInMonth(y, m)) rest -= DaysInMonth(y, m++);
  year = y;
  month = m;
  day = static_cast<int>(rest) + 1;
}

bool IsBlankText(const char* text, int n) {
  for (int i = 0; i < n; ++i)
    if (text[i] != ' ') return false;
  return true;
}

std::string IntToZeroPadded(int64_t value, int width) {
  // Through unsigned so that the most negative value has a magnitude too.
  const uint64_t magnitude =
      value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  const bool padded = width > 0 && digits.size() < static_cast<size_t>(width);
  if (padded) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  if (value < 0) {
    if (padded)
      digits[0] = '-';
    else
      digits.insert(0, 1, '-');
  }
  return digits;
}

std::string DateToKeyText(double date_time) {
  int32_t day_number = 0, milliseconds = 0;
  const bool valid = SplitDateTime(date_time, day_number, milliseconds);
  return DatePart(valid, day_number);
}

std::string DateTimeToKeyText(double date_time) {
  int32_t day_number = 0, milliseconds = 0;
  const bool valid = SplitDateTime(date_time, day_number, milliseconds);
  return DatePart(valid, day_number) + TimePart(valid, milliseconds);
}

std::string TimeToKeyText(double date_time) {
  int32_t day_number = 0, milliseconds = 0;
  const bool valid = SplitDateTime(date_time, day_number, milliseconds);
  return TimePart(valid, milliseconds);
}

double TextToNumber(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  std::string number = text.substr(first, last - first);

  size_t run = 0;
  while (run < number.size()) {
    const char c = number[run];
    const bool sign_or_point = c == '+' || c == '-' || c == '.';
    if (IsDigit(c) || (sign_or_point && run + 1 < number.size() && IsDigit(number[run + 1])))
      ++run;
    else
      break;
  }
  if (run > 0) number.resize(run);

  if (!IsPlainNumber(number)) return 0;
  const char* begin = number.data();
  const char* end = begin + number.size();
  if (*begin == '+') ++begin;  // from_chars takes no plus sign
  double value = 0;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end) return 0;
  return value;
}

void NegateDigits(std::string& text) {
  for (char& c : text)
    c = static_cast<char>(static_cast<uint8_t>(92 - static_cast<uint8_t>(c)));
}

void SpacesToChar(std::string& text, char fill) {
  for (char& c : text)
    if (c == ' ') c = fill;
}

}  // namespace qxdbf
