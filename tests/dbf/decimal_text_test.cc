#include "dbf/decimal_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace qxdbf {
namespace {

TEST(ParseDecimalText, FindsTheNearestDouble) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"0.1", 0.1},
      {"9007199254740993", 9007199254740992.0},  // halfway: to even
      {"2.2250738585072014e-308", 2.2250738585072014e-308},
      {"4.9e-324", 4.9e-324},
      {"1,7976931348623157E308", 1.7976931348623157e308},
      {"  -000123.4560  ", -123.456},
      {"5.", 5.0},
      {",25", 0.25},
      {"1e-400", 0.0},
      {"-1e-400", -0.0},
      {"0e999999999999", 0.0},
  };
  for (const Case& c : cases) {
    double v = -7;
    ASSERT_TRUE(ParseDecimalText(c.text, std::strlen(c.text), v)) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
}

TEST(ParseDecimalText, DecidesOverflowByTheFirstSignificantDigit) {
  double v = -7;
  const std::string tiny = "0." + std::string(500, '0') + "1e300";  // 1e-201
  ASSERT_TRUE(ParseDecimalText(tiny.data(), tiny.size(), v));
  EXPECT_DOUBLE_EQ(v, 1e-201);
  const std::string small = "0." + std::string(500, '0') + "1e100";  // 1e-401
  ASSERT_TRUE(ParseDecimalText(small.data(), small.size(), v));
  EXPECT_EQ(v, 0.0);
  const std::string huge = "1" + std::string(400, '0');
  EXPECT_FALSE(ParseDecimalText(huge.data(), huge.size(), v));
  const std::string huge_comma = std::string(400, '9') + ",5";
  EXPECT_FALSE(ParseDecimalText(huge_comma.data(), huge_comma.size(), v));
}

TEST(ParseDecimalText, StopsAtAZeroByte) {
  double v = 0;
  const char text[] = {' ', '1', '2', '.', '5', '\0', 'x', 'y'};
  ASSERT_TRUE(ParseDecimalText(text, sizeof text, v));
  EXPECT_EQ(v, 12.5);
  const char zeros[4] = {};
  EXPECT_FALSE(ParseDecimalText(zeros, sizeof zeros, v));
}

TEST(ParseDecimalText, RejectsWhatTheGrammarDoesNot) {
  for (const char* text : {"", "   ", "+", "-.", "1..2", "1.,2", "1e", "1e+", "e5", "1 2", "--1",
                           "+-1", "inf", "nan", "1e5.5", "0x1A", "1_000", "\t1", "1\t"}) {
    double v = -7;
    EXPECT_FALSE(ParseDecimalText(text, std::strlen(text), v)) << '"' << text << '"';
    EXPECT_EQ(v, -7) << text;
  }
}

TEST(ParseIntegerText, PlatformConversion) {
  struct Case {
    const char* text;
    bool ok;
    int64_t value;
  };
  const Case cases[] = {
      {"  12", true, 12},         {"-0x7fffffffffffffff", true, -INT64_MAX},
      {"9223372036854775807", true, INT64_MAX}, {"-9223372036854775808", true, INT64_MIN},
      {"9223372036854775808", false, 0},        {"$8000000000000000", false, 0},
      {"-$8000000000000000", true, INT64_MIN},  {"99999999999999999999", false, 0},
      {"12 ", false, 0},          {"1a", false, 0}, {"$", false, 0}, {"", false, 0},
      {"+$ff", true, 255},
  };
  for (const Case& c : cases) {
    int64_t v = -7;
    EXPECT_EQ(ParseIntegerText(c.text, std::strlen(c.text), INT64_MIN, INT64_MAX, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : -7) << c.text;
  }
  int64_t v = 0;
  EXPECT_FALSE(ParseIntegerText("2147483648", 10, INT32_MIN, INT32_MAX, v));
  EXPECT_TRUE(ParseIntegerText("-2147483648", 11, INT32_MIN, INT32_MAX, v));
}

TEST(FormatFixedText, RoundsTheEighteenDigitExpansion) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {2.0625, 3, "2.063"},     {-2.0625, 3, "-2.063"},  {1.005, 2, "1.00"},
      {0.5, 0, "1"},            {-0.5, 0, "-1"},         {0.49999999999999994, 0, "0"},
      {-0.0, 2, "0.00"},        {-0.004, 2, "0.00"},     {0.005, 2, "0.01"},
      {9.995, 2, "9.99"},       {99.5, 0, "100"},        {123456789012345678901.0, 0, "123456789012345684000"},
      {1e-20, 20, "0.00000000000000000001"}, {6e-21, 20, "0.00000000000000000001"},
      {4e-21, 20, "0.00000000000000000000"}, {1234.5, 3, "1234.500"},
  };
  for (const Case& c : cases) {
    char out[kFixedTextCapacity];
    const size_t n = FormatFixedText(c.value, c.decimals, out);
    EXPECT_EQ(std::string(out, n), c.text) << c.value << " " << c.decimals;
  }
}

TEST(FormatFixedText, ExtremesFitTheBuffer) {
  char out[kFixedTextCapacity];
  size_t n = FormatFixedText(-1.7976931348623157e308, kMaxDecimals, out);
  EXPECT_EQ(n, 1 + 309 + 1 + static_cast<size_t>(kMaxDecimals));
  EXPECT_EQ(std::string(out, 19), "-179769313486231571");
  n = FormatFixedText(4.9e-324, 323, out);  // 4.94e-324: rounds to zero
  EXPECT_EQ(std::string(out, n), "0." + std::string(323, '0'));
  n = FormatFixedText(4.9e-324, 324, out);
  EXPECT_EQ(std::string(out, n), "0." + std::string(323, '0') + "5");
}

}  // namespace
}  // namespace qxdbf
