// Calendar, key texts, number reading and byte-order helpers of the engine.
#include "dbf/engine_util.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace qxdbf {
namespace {

TEST(TryEncodeDaysTest, ValidAndInvalidDates) {
  struct Case {
    uint16_t y, m, d;
    bool valid;
    int32_t days;
  };
  const Case cases[] = {
      {1899, 12, 30, true, 0},        {1899, 12, 31, true, 1},
      {1900, 1, 1, true, 2},          {2000, 1, 1, true, 36526},
      {2000, 2, 29, true, 36585},     {2024, 2, 29, true, 45351},
      {1, 1, 1, true, -693593},       {9999, 12, 31, true, 2958465},
      {1900, 2, 29, false, 0},        {2023, 2, 29, false, 0},
      {2000, 4, 31, false, 0},        {0, 1, 1, false, 0},
      {10000, 1, 1, false, 0},        {2000, 0, 1, false, 0},
      {2000, 13, 1, false, 0},        {2000, 1, 0, false, 0},
      {2000, 1, 32, false, 0},
  };
  for (const Case& c : cases) {
    int32_t days = 12345;
    SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.m) + "-" + std::to_string(c.d));
    EXPECT_EQ(TryEncodeDays(c.y, c.m, c.d, days), c.valid);
    EXPECT_EQ(days, c.valid ? c.days : 12345);
  }
}

// Every day of the supported range decodes back to the date it came from,
// across leap days, century years and the 400-year cycle boundaries.
TEST(DecodeDaysTest, InvertsEncodeOverTheWholeRange) {
  int32_t expected = -693593;
  for (int y = 1; y <= 9999; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= 31; ++d) {
        int32_t days = 0;
        if (!TryEncodeDays(static_cast<uint16_t>(y), static_cast<uint16_t>(m),
                           static_cast<uint16_t>(d), days))
          continue;
        ASSERT_EQ(days, expected) << y << "-" << m << "-" << d;
        int yy = 0, mm = 0, dd = 0;
        DecodeDays(days, yy, mm, dd);
        ASSERT_EQ(yy * 10000 + mm * 100 + dd, y * 10000 + m * 100 + d) << days;
        ++expected;
      }
    }
  }
}

TEST(DecodeDaysTest, OutsideTheCalendarGivesZeros) {
  for (int32_t days : {-693594, 2958466, INT32_MIN, INT32_MAX}) {
    int y = 1, m = 1, d = 1;
    DecodeDays(days, y, m, d);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(d, 0);
  }
}

TEST(IntToZeroPaddedTest, PadsAndSigns) {
  struct Case {
    int64_t value;
    int width;
    const char* text;
  };
  const Case cases[] = {
      {7, 4, "0007"},     {-7, 4, "-007"},    {0, 2, "00"},        {2024, 4, "2024"},
      {12345, 4, "12345"}, {-1234, 4, "-1234"}, {-123, 4, "-123"}, {5, 0, "5"},
      {-5, 0, "-5"},      {INT64_MIN, 1, "-9223372036854775808"},
  };
  for (const Case& c : cases) EXPECT_EQ(IntToZeroPadded(c.value, c.width), c.text) << c.value;
}

TEST(KeyTextTest, DatesAndTimes) {
  int32_t day = 0;
  ASSERT_TRUE(TryEncodeDays(2024, 3, 5, day));
  const double noon = day + 0.5;
  // 13:04:05 as a fraction of a day; not exact in binary, so the
  // rounding to milliseconds must carry it to the right second.
  const double afternoon = day + (13 * 3600 + 4 * 60 + 5) / 86400.0;
  EXPECT_EQ(DateToKeyText(day), "20240305");
  EXPECT_EQ(DateToKeyText(afternoon), "20240305");
  EXPECT_EQ(DateTimeToKeyText(noon), "20240305120000");
  EXPECT_EQ(DateTimeToKeyText(afternoon), "20240305130405");
  EXPECT_EQ(TimeToKeyText(afternoon), "130405");
  EXPECT_EQ(TimeToKeyText(0.0), "000000");
  // 23:59:59.9996 rounds to the next midnight, not to "235959" of the old day.
  EXPECT_EQ(DateTimeToKeyText(day + 1 - 0.0004 / 86400), "20240306000000");
  // Before the origin the fraction still counts forwards from midnight.
  EXPECT_EQ(DateTimeToKeyText(-1.25), "18991229060000");
  EXPECT_EQ(DateToKeyText(-693593), "00010101");
}

TEST(KeyTextTest, ValuesOutsideTheCalendarGiveZeros) {
  EXPECT_EQ(DateToKeyText(3e6), "00000000");
  EXPECT_EQ(DateTimeToKeyText(-1e9), "00000000000000");
  EXPECT_EQ(DateTimeToKeyText(std::numeric_limits<double>::quiet_NaN()), "00000000000000");
  EXPECT_EQ(TimeToKeyText(std::numeric_limits<double>::infinity()), "000000");
}

TEST(TextToNumberTest, ReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {" 12.5kg", 12.5}, {"abc", 0},     {"-1.5", -1.5},   {"  42  ", 42},
      {"+3", 3},         {"1.", 1},      {"1.x", 1},       {".5", 0.5},
      {"-.5", -0.5},     {"--1", 0},     {"", 0},          {"   ", 0},
      {"1.2.3", 0},      {"1-2", 0},     {"7 days", 7},    {"1e3", 1},
      {"inf", 0},        {"nan", 0},     {"0x10", 0},      {"\t8\n", 8},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.value) << c.text;
}

TEST(NegateDigitsTest, ReversesTheOrderOfDigitTexts) {
  std::string digits = "0123456789.";
  NegateDigits(digits);
  EXPECT_EQ(digits, ",+*)('&%$#.");
  // Applying it twice restores every byte, including those past 92.
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  std::string twice = all;
  NegateDigits(twice);
  NegateDigits(twice);
  EXPECT_EQ(twice, all);
  // Larger magnitudes must sort first once negated.
  std::string small = "01.50", large = "12.50";
  NegateDigits(small);
  NegateDigits(large);
  EXPECT_EQ(small, ",+.',");
  EXPECT_LT(large, small);
}

TEST(SpacesToCharTest, ReplacesOnlyBlanks) {
  std::string text = " 1 2\t ";
  SpacesToChar(text, '0');
  EXPECT_EQ(text, "0102\t0");
}

TEST(IsBlankTextTest, LooksOnlyAtTheFirstBytes) {
  EXPECT_TRUE(IsBlankText("   x", 3));
  EXPECT_FALSE(IsBlankText("   x", 4));
  EXPECT_FALSE(IsBlankText("\0  ", 3));
  EXPECT_TRUE(IsBlankText("x", 0));
  EXPECT_TRUE(IsBlankText(nullptr, -1));
}

TEST(BigEndianTest, ReadsSignedMostSignificantFirst) {
  const uint8_t small[4] = {0x00, 0x00, 0x01, 0x02};
  const uint8_t negative[4] = {0xFF, 0xFF, 0xFF, 0xFE};
  const uint8_t lowest[4] = {0x80, 0x00, 0x00, 0x00};
  EXPECT_EQ(ReadBigEndian32(small), 258);
  EXPECT_EQ(ReadBigEndian32(negative), -2);
  EXPECT_EQ(ReadBigEndian32(lowest), INT32_MIN);
  const uint8_t wide[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
  const uint8_t minus_one[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(ReadBigEndian64(wide), int64_t{0x0102030405060708});
  EXPECT_EQ(ReadBigEndian64(minus_one), -1);
}

}  // namespace
}  // namespace qxdbf
