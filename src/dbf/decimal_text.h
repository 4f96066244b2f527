// Number text of N and F fields, read and written without the process
// locale.
//
// Other programs write these fields with "." or, on machines set up for a
// decimal comma, with ","; the reader accepts either, so neither the host's
// locale nor the writer's matters. Reading numeric fields is the hot path of
// a table scan, so nothing here allocates.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qxdbf {

// Reads a decimal number from text[0, n), which ends early at a zero byte:
// optional blanks, an optional sign, digits with at most one decimal
// separator ("." or ","), an optional exponent ("E" or "e", an optional sign
// and digits) and optional trailing blanks; at least one digit before the
// exponent. Answers false (value untouched) for anything else and for a
// number beyond the range of a double; a number too small for a double reads
// as zero. The value is the nearest double.
bool ParseDecimalText(const char* text, size_t n, double& value);

// Reads an integer from text[0, n), which ends early at a zero byte, the way
// the platform's integer conversion does: optional leading blanks, an
// optional sign, then decimal digits, or hexadecimal digits after "$", "x",
// "X", "0x" or "0X", and nothing after them (a trailing blank fails). The
// value must lie within [min, max]. Answers false (value untouched) otherwise.
bool ParseIntegerText(const char* text, size_t n, int64_t min, int64_t max, int64_t& value);

// Room FormatFixedText needs for any finite double with up to kMaxDecimals
// decimals.
constexpr int kMaxDecimals = 400;
constexpr size_t kFixedTextCapacity = 1 + 309 + 1 + kMaxDecimals + 1;

// Writes `value` as fixed-point text with exactly `decimals` digits after a
// "." (no point when decimals is 0) into out and answers its length. The
// value is first expanded to 18 significant decimal digits and that
// expansion is rounded to `decimals` places, halves away from zero, so
// 2.0625 gives "2.063" and 1.005 (just below 1.005 in binary) "1.00". At
// least one digit precedes the point; "-" precedes the first digit of a
// negative result; a result of zero carries no sign. No padding, no zero
// byte. REQUIRES: value finite, 0 <= decimals <= kMaxDecimals, out holding
// kFixedTextCapacity bytes.
size_t FormatFixedText(double value, int decimals, char* out);

}  // namespace qxdbf
