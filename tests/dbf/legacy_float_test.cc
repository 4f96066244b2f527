#include "dbf/legacy_float.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace qxdbf {
namespace {

std::string Hex(const uint8_t* bytes, int n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (int i = 0; i < n; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

void FromHex(const std::string& hex, uint8_t* bytes) {
  for (size_t i = 0; i < hex.size() / 2; ++i)
    bytes[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
}

TEST(Extended80, KnownEncodings) {
  struct Case {
    double value;
    const char* hex;  // significand little-endian, then sign and exponent
  };
  const Case cases[] = {
      {1.0, "0000000000000080ff3f"},
      {-2.5, "00000000000000a000c0"},
      {0.0, "00000000000000000000"},
      {-0.0, "00000000000000000080"},
      {std::numeric_limits<double>::infinity(), "0000000000000080ff7f"},
      {-std::numeric_limits<double>::infinity(), "0000000000000080ffff"},
      {std::numeric_limits<double>::denorm_min(), "0000000000000080cd3b"},
  };
  for (const Case& c : cases) {
    uint8_t bytes[10];
    DoubleToExtended80(c.value, bytes);
    EXPECT_EQ(Hex(bytes, 10), c.hex) << c.value;
    const double back = Extended80ToDouble(bytes);
    EXPECT_EQ(back, c.value) << c.hex;
    EXPECT_EQ(std::signbit(back), std::signbit(c.value)) << c.hex;
  }
}

TEST(Extended80, EveryDoubleRoundTripsExactly) {
  for (double v : {1.0 / 3, -1e300, 1e-310, 123456.789, std::numeric_limits<double>::max(),
                   std::numeric_limits<double>::min()}) {
    uint8_t bytes[10];
    DoubleToExtended80(v, bytes);
    EXPECT_EQ(Extended80ToDouble(bytes), v);
  }
  uint8_t bytes[10];
  DoubleToExtended80(std::nan(""), bytes);
  EXPECT_TRUE(std::isnan(Extended80ToDouble(bytes)));
}

TEST(Extended80, ValuesADoubleCannotHold) {
  uint8_t bytes[10];
  FromHex("00000000000000400000", bytes);  // a subnormal extended
  EXPECT_EQ(Extended80ToDouble(bytes), 0.0);
  FromHex("fffffffffffffffffe7f", bytes);  // the largest extended
  EXPECT_EQ(Extended80ToDouble(bytes), std::numeric_limits<double>::infinity());
  FromHex("0100000000000080ff7f", bytes);  // a signalling NaN
  EXPECT_TRUE(std::isnan(Extended80ToDouble(bytes)));
  // 1 + 2^-63 rounds to 1; 1 + 2^-52 + 2^-53 rounds to even (1 + 2^-51).
  FromHex("0100000000000080ff3f", bytes);
  EXPECT_EQ(Extended80ToDouble(bytes), 1.0);
  FromHex("000c000000000080ff3f", bytes);
  EXPECT_EQ(Extended80ToDouble(bytes), 1.0 + std::ldexp(1.0, -51));
}

TEST(Real48, KnownEncodings) {
  struct Case {
    double value;
    const char* hex;  // exponent, fraction little-endian, sign in the last byte
  };
  const Case cases[] = {
      {1.0, "810000000000"}, {-1.5, "8100000000c0"}, {0.0, "000000000000"},
      {45356.5, "900000802c31"}, {0.5, "800000000000"},
  };
  for (const Case& c : cases) {
    uint8_t bytes[6];
    ASSERT_TRUE(DoubleToReal48(c.value, bytes)) << c.value;
    EXPECT_EQ(Hex(bytes, 6), c.hex) << c.value;
    EXPECT_EQ(Real48ToDouble(bytes), c.value) << c.hex;
  }
}

TEST(Real48, RoundsToFortyBitsAndRefusesWhatItCannotHold) {
  uint8_t bytes[6];
  ASSERT_TRUE(DoubleToReal48(123.456, bytes));
  EXPECT_EQ(Hex(bytes, 6), "87fed478e976");
  EXPECT_NEAR(Real48ToDouble(bytes), 123.456, 123.456 * std::ldexp(1.0, -40));
  // Just below 2 rounds up into the next exponent.
  ASSERT_TRUE(DoubleToReal48(2.0 - std::ldexp(1.0, -45), bytes));
  EXPECT_EQ(Real48ToDouble(bytes), 2.0);
  ASSERT_TRUE(DoubleToReal48(1e-40, bytes));  // below the smallest real
  EXPECT_EQ(Real48ToDouble(bytes), 0.0);
  const uint8_t untouched[6] = {1, 2, 3, 4, 5, 6};
  for (double bad : {1e39, -1e39, std::numeric_limits<double>::infinity(), std::nan("")}) {
    std::copy(untouched, untouched + 6, bytes);
    EXPECT_FALSE(DoubleToReal48(bad, bytes)) << bad;
    EXPECT_EQ(Hex(bytes, 6), Hex(untouched, 6));
  }
  // Exponent byte 0 is zero whatever the other bytes hold.
  FromHex("00ffffffffff", bytes);
  EXPECT_EQ(Real48ToDouble(bytes), 0.0);
}

}  // namespace
}  // namespace qxdbf
