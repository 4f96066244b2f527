#include "dbf/legacy_float.h"

#include <cmath>
#include <cstring>

#include "dbf/coding.h"

namespace qxdbf {

namespace {

constexpr int kReal48Bias = 129;
constexpr int kReal48FractionBits = 39;
constexpr int kExtendedBias = 16383;
constexpr int kExtendedMaxExponent = 0x7FFF;

}  // namespace

double Real48ToDouble(const uint8_t* bytes) {
  const int exponent = bytes[0];
  if (exponent == 0) return 0.0;
  const uint64_t fraction = (static_cast<uint64_t>(bytes[5] & 0x7F) << 32) | DecodeLE32(bytes + 1);
  const uint64_t significand = fraction | (uint64_t{1} << kReal48FractionBits);
  // 40 significant bits: the double holds them exactly.
  const double magnitude = std::ldexp(static_cast<double>(significand),
                                      exponent - kReal48Bias - kReal48FractionBits);
  return (bytes[5] & 0x80) ? -magnitude : magnitude;
}

bool DoubleToReal48(double value, uint8_t* bytes) {
  if (!std::isfinite(value)) return false;
  uint8_t out[kReal48Size] = {};
  if (value != 0) {
    int e = 0;
    const double f = std::frexp(std::fabs(value), &e);  // |value| = f * 2^e, f in [0.5, 1)
    uint64_t significand = static_cast<uint64_t>(std::llround(std::ldexp(f, kReal48FractionBits + 1)));
    int exponent = e + kReal48Bias - 1;
    if (significand == uint64_t{1} << (kReal48FractionBits + 1)) {  // rounding carried
      significand >>= 1;
      ++exponent;
    }
    if (exponent > 255) return false;
    if (exponent > 0) {
      const uint64_t fraction = significand & ((uint64_t{1} << kReal48FractionBits) - 1);
      out[0] = static_cast<uint8_t>(exponent);
      EncodeLE32(out + 1, static_cast<uint32_t>(fraction));
      out[5] = static_cast<uint8_t>((fraction >> 32) | (value < 0 ? 0x80 : 0));
    }
  }
  std::memcpy(bytes, out, kReal48Size);
  return true;
}

double Extended80ToDouble(const uint8_t* bytes) {
  const uint64_t significand = DecodeLE64(bytes);
  const uint16_t sign_exponent = DecodeLE16(bytes + 8);
  const bool negative = (sign_exponent & 0x8000) != 0;
  const int exponent = sign_exponent & 0x7FFF;
  double magnitude;
  if (exponent == 0) {
    magnitude = 0.0;
  } else if (exponent == kExtendedMaxExponent) {
    magnitude = (significand << 1) == 0 ? HUGE_VAL : std::nan("");
  } else {
    // The conversion to double rounds to nearest once; scaling by a power
    // of two is exact unless the result leaves the double range.
    magnitude = std::ldexp(static_cast<double>(significand), exponent - kExtendedBias - 63);
  }
  return negative ? -magnitude : magnitude;
}

void DoubleToExtended80(double value, uint8_t* bytes) {
  const uint16_t sign = std::signbit(value) ? 0x8000 : 0;
  uint64_t significand = 0;
  int exponent = 0;
  if (std::isnan(value)) {
    significand = uint64_t{3} << 62;
    exponent = kExtendedMaxExponent;
  } else if (std::isinf(value)) {
    significand = uint64_t{1} << 63;
    exponent = kExtendedMaxExponent;
  } else if (value != 0) {
    int e = 0;
    const double f = std::frexp(std::fabs(value), &e);
    significand = static_cast<uint64_t>(std::ldexp(f, 64));  // exact: f has 53 bits
    exponent = e - 1 + kExtendedBias;
  }
  EncodeLE64(bytes, significand);
  EncodeLE16(bytes + 8, static_cast<uint16_t>(sign | exponent));
}

}  // namespace qxdbf
