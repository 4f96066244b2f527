// Binary floating formats of older compilers that some tables store: the
// 48-bit "real" of early Pascal compilers and the 80-bit extended float of
// the x87 unit, converted to and from IEEE doubles with integer arithmetic only, so
// the results do not depend on the host's long double.
#pragma once

#include <cstdint>

namespace qxdbf {

constexpr int kReal48Size = 6;
constexpr int kExtended80Size = 10;

// 48-bit real: byte 0 the exponent (bias 129, 0 means zero), bytes 1-5 a
// 39-bit fraction with a hidden leading one, least significant byte first,
// and the sign in the top bit of byte 5. It has no infinities, NaNs or
// subnormals. REQUIRES: 6 readable bytes.
double Real48ToDouble(const uint8_t* bytes);
// Stores `value` rounded to the nearest 48-bit real (halves away from zero);
// a magnitude below the smallest real becomes zero. Answers false, writing
// nothing, for infinities, NaNs and magnitudes beyond the largest real
// (about 1.7e38).
bool DoubleToReal48(double value, uint8_t* bytes);

// 80-bit extended: bytes 0-7 the 64-bit significand with its explicit
// leading bit, bytes 8-9 the sign (bit 15) and the 15-bit exponent (bias
// 16383), little-endian. Reading rounds the significand to the nearest
// double; extended subnormals read as zero, the all-ones exponent as an
// infinity (zero fraction) or a NaN, magnitudes beyond a double's range as
// infinities. REQUIRES: 10 readable bytes.
double Extended80ToDouble(const uint8_t* bytes);
// Every double has an exact extended form, NaNs (stored as the quiet NaN)
// and infinities included. REQUIRES: 10 writable bytes.
void DoubleToExtended80(double value, uint8_t* bytes);

}  // namespace qxdbf
