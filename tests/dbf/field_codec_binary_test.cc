// Binary letter types (T, Y, B, I, +, O, @, 0) and memo pointers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "codec_table.h"
#include "dbf/errors.h"
#include "dbf/field_codec.h"

namespace qxdbf {
namespace {

using qxdbf_test::CodecTable;
using qxdbf_test::Hex;


constexpr double kMsPerDay = 86400000.0;

TEST(DateTimeField, RoundTripsJulianDayAndMilliseconds) {
  CodecTable t(xVisualFoxPro);
  const auto& stamp = t.Add("STAMP", 'T', 8);
  // 5 March 2024 (day 738950, Julian day 2460375) 13:45:30.250
  const double value = 738950 * kMsPerDay + 49530250;
  t.WriteAs<double>(stamp, value);
  EXPECT_EQ(Hex(t.Bytes(stamp)), "d78a25008ac5f302");
  double back = 0;
  EXPECT_TRUE(t.ReadAs(stamp, back));
  EXPECT_EQ(back, value);
  // Milliseconds are rounded; a rounding that reaches midnight moves the day.
  t.WriteAs<double>(stamp, 738950 * kMsPerDay + kMsPerDay - 0.4);
  EXPECT_TRUE(t.ReadAs(stamp, back));
  EXPECT_EQ(back, 738951 * kMsPerDay);
}

TEST(DateTimeField, ZeroOrBlankDayIsNullButAnyRealDayIsADate) {
  CodecTable t(xVisualFoxPro);
  const auto& stamp = t.Add("STAMP", 'T', 8);
  double v = -1;
  t.Put(stamp, std::string(8, '\0'));
  EXPECT_TRUE(t.IsNull(stamp));
  EXPECT_FALSE(t.ReadAs(stamp, v));
  t.Put(stamp, std::string(8, ' '));
  EXPECT_TRUE(t.IsNull(stamp));
  // Julian day 2460192 (4 September 2023) has the low byte 0x20.
  t.Put(stamp, std::string("\x20\x8A\x25\x00\x00\x00\x00\x00", 8));
  EXPECT_FALSE(t.IsNull(stamp));
  EXPECT_TRUE(t.ReadAs(stamp, v));
  EXPECT_EQ(v, (2460192 - 1721425) * kMsPerDay);
}

TEST(DateTimeField, RefusesValuesOutsideTheYears1To9999) {
  CodecTable t(xVisualFoxPro);
  const auto& stamp = t.Add("STAMP", 'T', 8);
  t.Put(stamp, std::string(8, '\0'));
  for (double bad : {0.0, -1.0, 3652060 * kMsPerDay, double{NAN}, double{INFINITY}})
    EXPECT_THROW(t.WriteAs<double>(stamp, bad), EQxDBFBadArgument) << bad;
  EXPECT_EQ(t.Bytes(stamp), std::string(8, '\0'));
}

TEST(CurrencyField, StoresTenThousandthsRoundedHalfAwayFromZero) {
  struct Case {
    double value;
    int64_t stored;
  };
  const Case cases[] = {
      {12.3456, 123456}, {1.03125, 10313}, {-1.03125, -10313}, {0, 0}, {-0.00004, 0},
      {922337203685.4775, 9223372036854775}, {-2.5, -25000},
  };
  for (const Case& c : cases) {
    CodecTable t(xVisualFoxPro);
    const auto& money = t.Add("MONEY", 'Y', 8);
    t.WriteAs<double>(money, c.value);
    int64_t stored = 0;
    std::memcpy(&stored, t.Bytes(money).data(), 8);  // the test host is little-endian
    EXPECT_EQ(stored, c.stored) << c.value;
    double back = 0;
    EXPECT_TRUE(t.ReadAs(money, back));
    EXPECT_EQ(back, static_cast<double>(c.stored) / 10000.0) << c.value;
  }
  CodecTable t(xVisualFoxPro);
  const auto& money = t.Add("MONEY", 'Y', 8);
  EXPECT_THROW(t.WriteAs<double>(money, 1e15), EQxDBFBadArgument);
  EXPECT_THROW(t.WriteAs<double>(money, -922337203685477.6), EQxDBFBadArgument);
  EXPECT_THROW(t.WriteAs<double>(money, NAN), EQxDBFBadArgument);
}

TEST(DoubleField, VisualFoxProBIsALittleEndianDouble) {
  CodecTable t(xVisualFoxPro);
  const auto& ratio = t.Add("RATIO", 'B', 8);
  t.WriteAs<double>(ratio, 1.0);
  EXPECT_EQ(Hex(t.Bytes(ratio)), "000000000000f03f");
  double v = 0;
  EXPECT_TRUE(t.ReadAs(ratio, v));
  EXPECT_EQ(v, 1.0);
  EXPECT_EQ(ratio.Layout().data_type, ftFloat);
}

TEST(IntegerField, VisualFoxProIsLittleEndianDBase7BiasedBigEndian) {
  CodecTable fox(xVisualFoxPro);
  const auto& a = fox.Add("A", 'I', 4);
  fox.WriteAs<int32_t>(a, -5);
  EXPECT_EQ(Hex(fox.Bytes(a)), "fbffffff");
  fox.Put(a, std::string(4, '\0'));
  EXPECT_FALSE(fox.IsNull(a));

  CodecTable d7(xBaseVII);
  const auto& b = d7.Add("B", 'I', 4);
  d7.WriteAs<int32_t>(b, 1);
  EXPECT_EQ(Hex(d7.Bytes(b)), "80000001");
  d7.WriteAs<int32_t>(b, -1);
  EXPECT_EQ(Hex(d7.Bytes(b)), "7fffffff");
  int32_t v = 0;
  EXPECT_TRUE(d7.ReadAs(b, v));
  EXPECT_EQ(v, -1);
  // The one value whose form is the stored NULL is refused.
  EXPECT_THROW(d7.WriteAs<int32_t>(b, INT32_MIN), EQxDBFBadArgument);
  EXPECT_EQ(Hex(d7.Bytes(b)), "7fffffff");
  d7.WriteNull(b);
  EXPECT_EQ(Hex(d7.Bytes(b)), "00000000");
  EXPECT_TRUE(d7.IsNull(b));
  EXPECT_FALSE(d7.ReadAs(b, v));
}

TEST(AutoIncrementField, TakesWritesOnlyDuringTheFill) {
  for (xBaseVersion version : {xVisualFoxPro, xBaseVII}) {
    CodecTable t(version);
    const auto& seq = t.Add("SEQ", '+', 4);
    t.Blank();
    const std::string blank = t.Bytes(seq);
    t.WriteAs<int32_t>(seq, 5);
    t.WriteNull(seq);
    EXPECT_EQ(t.Bytes(seq), blank) << VersionName(version);
    t.ctx.filling_auto_inc = true;
    t.WriteAs<int32_t>(seq, 5);
    int32_t v = 0;
    EXPECT_TRUE(t.ReadAs(seq, v)) << VersionName(version);
    EXPECT_EQ(v, 5) << VersionName(version);
  }
}

TEST(OrderedDoubleField, SetsTheSignBitOfPositivesAndInvertsNegatives) {
  CodecTable t(xBaseVII);
  const auto& real = t.Add("REAL", 'O', 8);
  t.WriteAs<double>(real, 1.0);
  EXPECT_EQ(Hex(t.Bytes(real)), "bff0000000000000");
  t.WriteAs<double>(real, -1.0);
  EXPECT_EQ(Hex(t.Bytes(real)), "400fffffffffffff");
  for (double value : {-1.0, 0.0, 1e-300, -123.456, 1e300}) {
    t.WriteAs<double>(real, value);
    double back = 1;
    EXPECT_TRUE(t.ReadAs(real, back)) << value;
    EXPECT_EQ(back, value);
  }
  t.WriteNull(real);
  EXPECT_EQ(t.Bytes(real), std::string(8, '\0'));
  EXPECT_TRUE(t.IsNull(real));
}

TEST(TimestampField, DBase7StoresTheValueFormBigEndian) {
  CodecTable t(xBaseVII);
  const auto& stamp = t.Add("STAMP", '@', 8);
  const double value = 738950 * kMsPerDay + 1000;
  t.WriteAs<double>(stamp, value);
  uint64_t bits = 0;
  std::memcpy(&bits, &value, 8);
  std::string expected;
  for (int i = 7; i >= 0; --i) expected += static_cast<char>(bits >> (8 * i));
  EXPECT_EQ(t.Bytes(stamp), expected);
  double back = 0;
  EXPECT_TRUE(t.ReadAs(stamp, back));
  EXPECT_EQ(back, value);
  t.WriteNull(stamp);
  EXPECT_TRUE(t.IsNull(stamp));
}

TEST(RawField, TypeZeroIsNeverNull) {
  CodecTable t(xVisualFoxPro);
  const auto& raw = t.Add("_NULLFLAGS", '0', 2, 0, 0x05);
  t.Put(raw, "  ");
  EXPECT_FALSE(t.IsNull(raw));
  const uint8_t bytes[2] = {0x12, 0xFF};
  t.Write(raw, bytes);
  EXPECT_EQ(Hex(t.Bytes(raw)), "12ff");
}

TEST(MemoPointer, TextPointersOutsideVisualFoxPro) {
  CodecTable t(xBaseIII, xBaseIII);
  const auto& notes = t.Add("NOTES", 'M', 10);
  t.Blank();
  EXPECT_TRUE(t.IsNull(notes));
  t.WriteText(notes, "0000000012");
  EXPECT_EQ(t.Bytes(notes), "0000000012");
  std::vector<uint8_t> value;
  EXPECT_TRUE(t.Read(notes, value));
  EXPECT_EQ(std::string(value.begin(), value.end()), "0000000012");
  t.WriteNull(notes);
  EXPECT_EQ(t.Bytes(notes), std::string(10, ' '));
}

TEST(MemoPointer, BlockNumbersInVisualFoxPro) {
  CodecTable t(xVisualFoxPro, xVisualFoxPro);
  const auto& pic = t.Add("PIC", 'P', 4);
  t.WriteAs<uint32_t>(pic, 0x01020304);
  EXPECT_EQ(Hex(t.Bytes(pic)), "04030201");
  uint32_t v = 0;
  EXPECT_TRUE(t.ReadAs(pic, v));
  EXPECT_EQ(v, 0x01020304u);
}

TEST(MemoPointer, ExtendedMarkerBitForm) {
  CodecTable t(xBaseIII, xBaseIII);
  const auto& clob = t.AddExtended("CLOB", dbftClob_NB);
  t.Blank();
  EXPECT_TRUE(t.IsNull(clob));
  t.WriteAs<uint32_t>(clob, 42);
  EXPECT_EQ(Hex(t.Bytes(clob)), "2a000080");
  uint32_t v = 0;
  EXPECT_TRUE(t.ReadAs(clob, v));
  EXPECT_EQ(v, 42u);
  EXPECT_THROW(t.WriteAs<uint32_t>(clob, 0x80000000u), EQxDBFBadArgument);
  t.WriteNull(clob);
  EXPECT_EQ(Hex(t.Bytes(clob)), "2a000000");
  EXPECT_TRUE(t.IsNull(clob));
}

}  // namespace
}  // namespace qxdbf
