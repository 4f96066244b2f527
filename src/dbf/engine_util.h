// Small stateless helpers shared by the field codec, the memo files and the
// expression language: big-endian readers, the calendar of the platform's
// date-time values, and the text builders of index keys.
//
// Date-times are doubles counting days since 30 December 1899 (day 0), with
// the time of day as the fraction. Before that origin the whole part counts
// backwards and the fraction still adds time forwards (-1.25 is 29 December
// 1899, 06:00), which is how other programs store such values.
#pragma once

#include <cstdint>
#include <string>

namespace qxdbf {

// Signed integers stored most significant byte first (FoxPro memo headers,
// binary fields of dBase 7 tables). REQUIRES: 4 (8) readable bytes.
int32_t ReadBigEndian32(const uint8_t* bytes);
int64_t ReadBigEndian64(const uint8_t* bytes);

// True, with the date's day number (days since 30 December 1899), when
// year/month/day name a real date of the years 1 to 9999 of the Gregorian
// calendar; false otherwise, leaving day_number unchanged.
bool TryEncodeDays(uint16_t year, uint16_t month, uint16_t day, int32_t& day_number);

// The inverse of TryEncodeDays. A day number outside the years 1 to 9999 has
// no date there and gives 0/0/0.
void DecodeDays(int32_t day_number, int& year, int& month, int& day);

// True when the first n bytes of text are all blanks (0x20); true for n <= 0.
// REQUIRES: n readable bytes when n > 0.
bool IsBlankText(const char* text, int n);

// The decimal digits of |value|, left-padded with "0" to `width`; a negative
// value has its first character replaced by "-" ("-007" for -7 in width 4).
// Digits that do not fit are never cut: a number wider than `width` gives
// all its digits, and a negative one whose digits fill the width gets its "-"
// in front, so the text always reads back as the value.
std::string IntToZeroPadded(int64_t value, int width);

// Key texts of date-time values, digits only: YYYYMMDD, YYYYMMDDhhmmss and
// hhmmss. The time of day is taken to the nearest millisecond, then cut to
// whole seconds. A value whose date lies outside the years 1 to 9999 (or is
// not a number) gives zeros for its date and time parts.
std::string DateToKeyText(double date_time);
std::string DateTimeToKeyText(double date_time);
std::string TimeToKeyText(double date_time);

// The number at the start of `text`, as xBase VAL reads it: blanks (and
// control characters) trimmed at both ends, then the longest leading run of
// digits, "+", "-" and "." in which every sign or point is followed by a
// digit; when there is no such run the whole trimmed text is read. The part
// read must be a plain decimal number (optional sign, digits with at most one
// ".", optional exponent) or the answer is 0: "12.5kg" gives 12.5, "abc" and
// "1.2.3" give 0.
double TextToNumber(const std::string& text);

// Turns every character c into (92 - c) mod 256, so that the digit texts of
// negative numbers sort in reverse in an index key: "0" becomes ",", "9"
// becomes "#", "." stays ".".
void NegateDigits(std::string& text);

// Replaces every blank (0x20) by `fill`.
void SpacesToChar(std::string& text, char fill);

}  // namespace qxdbf
