// The money type: text and floating-point conversions, exact arithmetic with
// overflow refused, and the cent rounding of the sales import.
#include "app/money.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "app/convert_error.h"

namespace veltrix {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

Money M(int64_t ten_thousandths) { return Money::FromTenThousandths(ten_thousandths); }

TEST(MoneyTest, ReadsTextWithEitherSeparatorRoundingHalvesAwayFromZero) {
  struct Case {
    const char* text;
    int64_t expected;
  } cases[] = {
      {"1234,5", 12345000},
      {"1234.5", 12345000},
      {"   12.500", 125000},  // a legacy N field as the table hands it over
      {"-3", -30000},
      {"+7", 70000},
      {",5", 5000},
      {"5,", 50000},
      {"0,0001", 1},
      {"1,23455", 12346},
      {"-1,23455", -12346},
      {"1,23454999", 12345},
      {"0,00005", 1},
      {"0,000049999", 0},
      {"-0,00004", 0},
      {"1e7", 100000000000},  // the shortest text of 10000000
      {"1,5E-2", 150},
      {"25e-6", 0},
      {"5e-5", 1},
      {"000012,000", 120000},
      {"922337203685477,5807", kMax},
      {"-922337203685477,5807", -kMax},
      {"-922337203685477,5808", kMin},
      {" \t1,5\r\n", 15000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Money::FromText(c.text).TenThousandths(), c.expected) << c.text;
  }
}

TEST(MoneyTest, TextThatIsNoAmountRaisesNamingIt) {
  const char* cases[] = {"", "   ", "abc", "12x", "1.234,56", "1,2,3", "- 5", "1e", "1e+", "e5",
                         ",", "--1", "1 2", "922337203685477,5808", "-922337203685477,5809", "1e15", "0x10"};
  for (const char* text : cases) {
    try {
      Money::FromText(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
      // Only the all-blank texts carry blanks here; they show trimmed.
      const std::string shown = std::string(text).find_first_not_of(' ') == std::string::npos ? "" : text;
      EXPECT_EQ(std::string(e.what()), "'" + shown + "' is not a valid money value");
    }
  }
  Money kept = M(42);
  EXPECT_FALSE(Money::TryFromText("12x", kept));
  EXPECT_EQ(kept, M(42));
  EXPECT_TRUE(Money::TryFromText("0,5", kept));
  EXPECT_EQ(kept, M(5000));
}

TEST(MoneyTest, FromDoubleRoundsTheDecimalTheDoubleStandsFor) {
  struct Case {
    double value;
    int64_t expected;
  } cases[] = {
      {1.2345, 12345},
      {1.00005, 10001},  // just below 1.00005 in binary
      {-1.00005, -10001},
      {0.1 + 0.2, 3000},
      {3.5, 35000},
      {0.00005, 1},
      {0.00004999, 0},
      {-0.0, 0},
      {123456789.1234, 1234567891234},
      {900000000000000.0, 9000000000000000000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Money::FromDouble(c.value).TenThousandths(), c.expected) << c.value;
  }
  EXPECT_THROW(Money::FromDouble(1e15), EConvertError);
  EXPECT_THROW(Money::FromDouble(-1e300), EConvertError);
  EXPECT_THROW(Money::FromDouble(std::numeric_limits<double>::infinity()), EConvertError);
  try {
    Money::FromDouble(std::nan(""));
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'nan' is not a valid money value");
  }
  EXPECT_DOUBLE_EQ(M(-12345).ToDouble(), -1.2345);
}

TEST(MoneyTest, TextHasDecimalCommaWithoutTrailingZeros) {
  struct Case {
    int64_t value;
    const char* text;
  } cases[] = {
      {12345000, "1234,5"}, {30000, "3"},   {-1, "-0,0001"},       {0, "0"},
      {1234567, "123,4567"}, {-5000, "-0,5"}, {10500, "1,05"},
      {kMin, "-922337203685477,5808"},      {kMax, "922337203685477,5807"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(M(c.value).ToText(), c.text);
    EXPECT_EQ(Money::FromText(c.text), M(c.value));
  }
}

TEST(MoneyTest, ArithmeticIsExactAndRefusesOverflow) {
  Money sum;
  for (int k = 0; k < 10; ++k) sum += Money::FromText("0,1");
  EXPECT_EQ(sum, Money::FromWhole(1));
  EXPECT_EQ(Money::FromWhole(1000), M(10000000));
  EXPECT_EQ(M(35000) - M(50000), M(-15000));
  EXPECT_EQ(-M(5), M(-5));
  EXPECT_EQ(M(-5).Abs(), M(5));
  EXPECT_LT(M(-1), Money());
  EXPECT_GT(M(10001), M(10000));

  EXPECT_THROW(M(kMax) + M(1), std::overflow_error);
  EXPECT_THROW(M(kMin) - M(1), std::overflow_error);
  EXPECT_THROW(-M(kMin), std::overflow_error);
  EXPECT_THROW(M(kMin).Abs(), std::overflow_error);
  EXPECT_THROW(Money::FromWhole(922337203685478), std::overflow_error);
  Money kept = M(kMax);
  EXPECT_THROW(kept += M(1), std::overflow_error);
  EXPECT_EQ(kept, M(kMax));
}

TEST(MoneyTest, ArredondaRoundsToCentsHalvesAwayFromZero) {
  struct Case {
    const char* amount;
    const char* expected;
  } cases[] = {
      {"1,2345", "1,23"}, {"1,2350", "1,24"}, {"-1,2350", "-1,24"}, {"0,0049", "0"},
      {"-0,0049", "0"},   {"0,0050", "0,01"}, {"-0,0050", "-0,01"}, {"-1,2349", "-1,23"},
      {"7", "7"},         {"-0,9999", "-1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(arredonda(Money::FromText(c.amount)), Money::FromText(c.expected)) << c.amount;
  }
  EXPECT_EQ(arredonda(M(kMax)).TenThousandths(), 9223372036854775800);
  EXPECT_EQ(arredonda(M(kMin)).TenThousandths(), -9223372036854775800);
  EXPECT_EQ(arredonda(M(9223372036854775750)).TenThousandths(), 9223372036854775800);
}

}  // namespace
}  // namespace veltrix
