// Values of fields and parameters: text forms, money, dates and conversion
// errors.
#include <gtest/gtest.h>

#include "app/ib_error.h"
#include "app/ib_value.h"

namespace veltrix {
namespace {

// Day numbers from 30 December 1899.
constexpr int32_t kDay2014_03_05 = 41703;

TEST(TIBValue, NullReadsAsEmptyZeroAndZeroDate) {
  const TIBValue null;
  EXPECT_TRUE(null.IsNull());
  EXPECT_EQ(null.AsString(), "");
  EXPECT_EQ(null.AsInteger(), 0);
  EXPECT_EQ(null.AsCurrency(), 0);
  EXPECT_EQ(null.AsDateTime(), 0.0);
  EXPECT_FALSE(null.AsBoolean());
}

TEST(TIBValue, TextForms) {
  const std::pair<TIBValue, const char*> cases[] = {
      {TIBValue::Integer(-42), "-42"},
      {TIBValue::Currency(125000), "12,5"},
      {TIBValue::Currency(30000), "3"},
      {TIBValue::Currency(-5), "-0,0005"},
      {TIBValue::Scaled(-1234, 2), "-12,34"},
      {TIBValue::Float(0.25), "0,25"},
      {TIBValue::Date(kDay2014_03_05), "05/03/2014"},
      {TIBValue::Date(0), "30/12/1899"},
      {TIBValue::DateTime(kDay2014_03_05 + 0.5), "05/03/2014 12:00:00"},
      {TIBValue::DateTime(-1.25), "29/12/1899 06:00:00"},
      {TIBValue::Time(0.75), "18:00:00"},
      {TIBValue::Boolean(true), "True"},
      {TIBValue::Text("Caf\xe9 "), "Caf\xe9 "},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(value.AsString(), text);
}

TEST(TIBValue, MoneyFromEveryFormRoundsHalfAwayFromZero) {
  EXPECT_EQ(TIBValue::Integer(7).AsCurrency(), 70000);
  EXPECT_EQ(TIBValue::Scaled(12345, 2).AsCurrency(), 1234500);
  EXPECT_EQ(TIBValue::Scaled(123455, 5).AsCurrency(), 12346);
  EXPECT_EQ(TIBValue::Scaled(-123455, 5).AsCurrency(), -12346);
  EXPECT_EQ(TIBValue::Float(1.23456).AsCurrency(), 12346);
  EXPECT_EQ(TIBValue::Text(" 12,345 ").AsCurrency(), 123450);
  EXPECT_EQ(TIBValue::Text("-0.00005").AsCurrency(), -1);
  EXPECT_EQ(TIBValue::Text("5").AsCurrency(), 50000);
  EXPECT_EQ(TIBValue::Scaled(25, 1).AsInteger(), 3);
  EXPECT_EQ(TIBValue::Scaled(-25, 1).AsInteger(), -3);
}

TEST(TIBValue, DatesFromText) {
  EXPECT_EQ(TIBValue::Text("05/03/2014").AsDateTime(), kDay2014_03_05);
  EXPECT_EQ(TIBValue::Text("2014-03-05").AsDateTime(), kDay2014_03_05);
  EXPECT_EQ(TIBValue::Text("05/03/2014 06:00").AsDateTime(), kDay2014_03_05 + 0.25);
  EXPECT_EQ(TIBValue::Date(kDay2014_03_05).AsInteger(), kDay2014_03_05);
}

TEST(TIBValue, BadConversionsRaiseNamingTheText) {
  const std::pair<TIBValue, std::string> bad[] = {
      {TIBValue::Text("12a"), "'12a'"},
      {TIBValue::Text(""), "''"},
      {TIBValue::Integer(int64_t{1} << 40), "1099511627776"},
  };
  for (const auto& [value, shown] : bad) {
    try {
      value.AsInteger();
      ADD_FAILURE() << shown;
    } catch (const EIBError& e) {
      EXPECT_NE(std::string(e.what()).find(shown), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(TIBValue::Text("1,2,3").AsCurrency(), EIBError);
  EXPECT_THROW(TIBValue::Text("99999999999999999999").AsCurrency(), EIBError);
  EXPECT_THROW(TIBValue::Integer(INT64_MAX / 100).AsCurrency(), EIBError);
  EXPECT_THROW(TIBValue::Text("31/02/2014").AsDateTime(), EIBError);
  EXPECT_THROW(TIBValue::Text("amanh\xe3").AsDateTime(), EIBError);
}

}  // namespace
}  // namespace veltrix
