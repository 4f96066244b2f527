// Extended fields (letter E): the plain, _N and _NB forms of the numeric and
// date types, the length-prefixed texts and the decimal record.
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


enum class Kind { kI16, kU16, kI32, kI64, kF64 };

// The value buffer of a family type holding `value`.
std::vector<uint8_t> ValueBuffer(Kind kind, double value) {
  std::vector<uint8_t> buffer(8, 0);
  switch (kind) {
    case Kind::kI16: { int16_t v = static_cast<int16_t>(value); std::memcpy(buffer.data(), &v, 2); break; }
    case Kind::kU16: { uint16_t v = static_cast<uint16_t>(value); std::memcpy(buffer.data(), &v, 2); break; }
    case Kind::kI32: { int32_t v = static_cast<int32_t>(value); std::memcpy(buffer.data(), &v, 4); break; }
    case Kind::kI64: { int64_t v = static_cast<int64_t>(value); std::memcpy(buffer.data(), &v, 8); break; }
    case Kind::kF64: std::memcpy(buffer.data(), &value, 8); break;
  }
  return buffer;
}

double ValueOf(Kind kind, const std::vector<uint8_t>& buffer) {
  switch (kind) {
    case Kind::kI16: { int16_t v; std::memcpy(&v, buffer.data(), 2); return v; }
    case Kind::kU16: { uint16_t v; std::memcpy(&v, buffer.data(), 2); return v; }
    case Kind::kI32: { int32_t v; std::memcpy(&v, buffer.data(), 4); return v; }
    case Kind::kI64: { int64_t v; std::memcpy(&v, buffer.data(), 8); return static_cast<double>(v); }
    case Kind::kF64: { double v; std::memcpy(&v, buffer.data(), 8); return v; }
  }
  return 0;
}

constexpr double kMsPerDay = 86400000.0;

struct FamilyCase {
  TQxDBFType plain;
  TQxDBFType with_byte;  // _N
  TQxDBFType with_bit;   // _NB, dbftUndefined when the family has none
  Kind kind;
  double value;
  const char* plain_hex;
};

const FamilyCase kFamilies[] = {
    {dbftS1, dbftS1_N, dbftUndefined, Kind::kI16, -5, "fb"},
    {dbftU1, dbftU1_N, dbftU1_NB, Kind::kU16, 100, "64"},
    {dbftS2, dbftS2_N, dbftUndefined, Kind::kI16, -300, "d4fe"},
    {dbftU2, dbftU2_N, dbftU2_NB, Kind::kU16, 1000, "e803"},
    {dbftS4, dbftS4_N, dbftUndefined, Kind::kI32, -70000, "90eefeff"},
    {dbftU4, dbftU4_N, dbftU4_NB, Kind::kI32, 70000, "70110100"},
    {dbftS8, dbftS8_N, dbftUndefined, Kind::kI64, -5, "fbffffffffffffff"},
    {dbftR4, dbftR4_N, dbftR4_NB, Kind::kF64, 1.5, "0000c03f"},
    {dbftR6, dbftR6_N, dbftR6_NB, Kind::kF64, 1.0, "810000000000"},
    {dbftR8, dbftR8_N, dbftR8_NB, Kind::kF64, 2.0, "0000000000000040"},
    {dbftR10, dbftR10_N, dbftUndefined, Kind::kF64, 1.0, "0000000000000080ff3f"},
    // 5 March 2024, 12:00: the platform's date-time 45356.5
    {dbftD1, dbftD1_N, dbftD1_NB, Kind::kF64, 738950 * kMsPerDay + 43200000, "000000009025e640"},
    {dbftD2, dbftD2_N, dbftD2_NB, Kind::kF64, 738950 * kMsPerDay + 43200000, "0000abe79208cd42"},
    {dbftD3, dbftD3_N, dbftD3_NB, Kind::kF64, 738950 * kMsPerDay + 43200000, "900000802c31"},
    {dbftCurrency, dbftCurrency_N, dbftCurrency_NB, Kind::kF64, 1.5, "983a000000000000"},
    {dbftDate, dbftDate_N, dbftDate_NB, Kind::kI32, 738950, "86460b00"},
    {dbftTime, dbftTime_N, dbftTime_NB, Kind::kI32, 49530250, "8ac5f302"},
};

std::string WithTopBit(const std::string& hex) {
  std::string out = hex;
  const int last = std::stoi(out.substr(out.size() - 2), nullptr, 16) | 0x80;
  static const char kDigits[] = "0123456789abcdef";
  out[out.size() - 2] = kDigits[last >> 4];
  out[out.size() - 1] = kDigits[last & 15];
  return out;
}

TEST(ExtendedFamily, PlainFormsRoundTripAndAreNeverNull) {
  for (const FamilyCase& c : kFamilies) {
    CodecTable t;
    const auto& f = t.AddExtended("F", c.plain);
    t.Write(f, ValueBuffer(c.kind, c.value).data());
    EXPECT_EQ(Hex(t.Bytes(f)), c.plain_hex) << ExtendedTypeName(c.plain);
    std::vector<uint8_t> value;
    EXPECT_TRUE(t.Read(f, value)) << ExtendedTypeName(c.plain);
    EXPECT_EQ(ValueOf(c.kind, value), c.value) << ExtendedTypeName(c.plain);
    t.Blank();
    EXPECT_FALSE(t.IsNull(f)) << ExtendedTypeName(c.plain);
    t.WriteNull(f);
    EXPECT_EQ(t.Bytes(f), std::string(static_cast<size_t>(f.Width()), '\0'));
  }
}

TEST(ExtendedFamily, MarkerByteForms) {
  for (const FamilyCase& c : kFamilies) {
    CodecTable t;
    const auto& f = t.AddExtended("F", c.with_byte);
    t.Blank();
    EXPECT_TRUE(t.IsNull(f)) << ExtendedTypeName(c.with_byte);
    t.Write(f, ValueBuffer(c.kind, c.value).data());
    EXPECT_EQ(Hex(t.Bytes(f)), std::string("01") + c.plain_hex) << ExtendedTypeName(c.with_byte);
    std::vector<uint8_t> value;
    EXPECT_TRUE(t.Read(f, value));
    EXPECT_EQ(ValueOf(c.kind, value), c.value) << ExtendedTypeName(c.with_byte);
    t.WriteNull(f);
    EXPECT_EQ(t.Bytes(f).substr(0, 2), "  ") << ExtendedTypeName(c.with_byte);
    EXPECT_EQ(Hex(t.Bytes(f).substr(2)), std::string(c.plain_hex).substr(2));
    EXPECT_TRUE(t.IsNull(f));
    EXPECT_FALSE(t.Read(f, value));
  }
}

TEST(ExtendedFamily, MarkerBitForms) {
  for (const FamilyCase& c : kFamilies) {
    if (c.with_bit == dbftUndefined) continue;
    CodecTable t;
    const auto& f = t.AddExtended("F", c.with_bit);
    t.Blank();
    EXPECT_TRUE(t.IsNull(f)) << ExtendedTypeName(c.with_bit);
    t.Write(f, ValueBuffer(c.kind, c.value).data());
    EXPECT_EQ(Hex(t.Bytes(f)), WithTopBit(c.plain_hex)) << ExtendedTypeName(c.with_bit);
    std::vector<uint8_t> value;
    EXPECT_TRUE(t.Read(f, value));
    EXPECT_EQ(ValueOf(c.kind, value), c.value) << ExtendedTypeName(c.with_bit);
    t.WriteNull(f);
    EXPECT_EQ(Hex(t.Bytes(f)), c.plain_hex) << ExtendedTypeName(c.with_bit);
    EXPECT_TRUE(t.IsNull(f));
  }
}

TEST(ExtendedFamily, ValuesWithoutAFormAreRefusedAndNothingWritten) {
  struct Case {
    TQxDBFType type;
    Kind kind;
    double value;
  };
  const Case cases[] = {
      {dbftS1, Kind::kI16, 200},      {dbftU1, Kind::kU16, 300},     {dbftU4, Kind::kI32, -1},
      {dbftR4, Kind::kF64, 1e39},     {dbftR6, Kind::kF64, 1e39},    {dbftR6, Kind::kF64, NAN},
      {dbftU1_NB, Kind::kU16, 200},   {dbftR8_NB, Kind::kF64, -1.0}, {dbftCurrency_NB, Kind::kF64, -1},
      {dbftDate_NB, Kind::kI32, -3},  {dbftD1, Kind::kF64, INFINITY}, {dbftCurrency, Kind::kF64, 1e16},
  };
  for (const Case& c : cases) {
    CodecTable t;
    const auto& f = t.AddExtended("F", c.type);
    t.Blank();
    const std::string before = t.Bytes(f);
    EXPECT_THROW(t.Write(f, ValueBuffer(c.kind, c.value).data()), EQxDBFBadArgument)
        << ExtendedTypeName(c.type) << " " << c.value;
    EXPECT_EQ(t.Bytes(f), before) << ExtendedTypeName(c.type);
  }
}

TEST(ExtendedFamily, ZeroOfAFloatKeepsTheMarkerBitFree) {
  CodecTable t;
  const auto& f = t.AddExtended("F", dbftR8_NB);
  for (double zero : {0.0, -0.0}) {
    t.Write(f, ValueBuffer(Kind::kF64, zero).data());
    EXPECT_EQ(Hex(t.Bytes(f)), "0000000000000080");
    double v = 1;
    EXPECT_TRUE(t.ReadAs(f, v));
    EXPECT_EQ(v, 0.0);
  }
}

TEST(ExtendedFamily, UnsignedWordBeyondTheSignedValueFormReadsNull) {
  CodecTable t;
  const auto& f = t.AddExtended("F", dbftU4);
  t.Put(f, "\xFF\xFF\xFF\xFF");
  int32_t v = 1;
  EXPECT_FALSE(t.ReadAs(f, v));
  EXPECT_EQ(v, 0);
}

TEST(ExtendedFamily, DateTimeBeforeTheOriginCountsTimeForwards) {
  CodecTable t;
  const auto& f = t.AddExtended("F", dbftD1);
  // 29 December 1899, 06:00 is the platform's -1.25.
  const double stamp = 693593 * kMsPerDay + 21600000;
  t.Write(f, ValueBuffer(Kind::kF64, stamp).data());
  double stored = 0;
  std::memcpy(&stored, t.Bytes(f).data(), 8);
  EXPECT_EQ(stored, -1.25);
  double back = 0;
  EXPECT_TRUE(t.ReadAs(f, back));
  EXPECT_EQ(back, stamp);
}

TEST(ExtendedText, CountedStringAndItsMarkerForm) {
  CodecTable t;
  const auto& s = t.AddExtended("S", dbftString, 5);
  const auto& n = t.AddExtended("N", dbftString_N, 5);
  ASSERT_EQ(s.Width(), 7);
  ASSERT_EQ(n.Width(), 8);
  t.Blank();
  EXPECT_TRUE(t.IsNull(s));
  EXPECT_TRUE(t.IsNull(n));
  t.WriteText(s, "ABC");
  t.WriteText(n, "ABCDEFG");
  EXPECT_EQ(Hex(t.Bytes(s)), "03004142430000");
  EXPECT_EQ(Hex(t.Bytes(n)), "0105004142434445");
  EXPECT_EQ(t.ReadText(s), "ABC");
  EXPECT_EQ(t.ReadText(n), "ABCDE");
  t.WriteNull(s);
  t.WriteNull(n);
  EXPECT_TRUE(t.IsNull(s));
  EXPECT_TRUE(t.IsNull(n));
  // A length beyond the field does not parse: not NULL, yet no value.
  t.Put(s, std::string("\x09\x00", 2));
  EXPECT_FALSE(t.IsNull(s));
  bool has = true;
  EXPECT_EQ(t.ReadText(s, &has), "");
  EXPECT_FALSE(has);
}

TEST(ExtendedText, FixedCharacters) {
  CodecTable t;
  const auto& f = t.AddExtended("F", dbftFixedChar, 4);
  ASSERT_EQ(f.Width(), 5);
  t.Blank();
  EXPECT_TRUE(t.IsNull(f));
  t.WriteText(f, "AB");
  EXPECT_EQ(t.Bytes(f), std::string("AB  \0", 5));
  EXPECT_EQ(t.ReadText(f), "AB  ");
  t.WriteNull(f);
  EXPECT_EQ(t.Bytes(f), "     ");
}

TEST(ExtendedText, WideStringKeepsUtf16WithByteLength) {
  CodecTable t;
  const auto& w = t.AddExtended("W", dbftWideString, 3);
  ASSERT_EQ(w.Width(), 10);
  ASSERT_EQ(FieldBufferSize(w), 12);
  t.Blank();
  EXPECT_TRUE(t.IsNull(w));
  const uint8_t value[12] = {4, 0, 0, 0, 'h', 0, 0xE9, 0, 0, 0};
  t.Write(w, value);
  EXPECT_EQ(Hex(t.Bytes(w)), "04006800e90000000000");
  std::vector<uint8_t> back;
  EXPECT_TRUE(t.Read(w, back));
  EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.begin() + 10),
            std::vector<uint8_t>(value, value + 10));
  // Longer texts are cut to the field's characters.
  const uint8_t longer[16] = {10, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0, 'd', 0, 'e', 0};
  t.Write(w, longer);
  EXPECT_EQ(Hex(t.Bytes(w)), "06006100620063000000");
  t.WriteNull(w);
  EXPECT_TRUE(t.IsNull(w));
}

TEST(ExtendedText, DecimalRecordIsStoredAsItIs) {
  CodecTable t;
  const auto& b = t.AddExtended("B", dbftBCD);
  ASSERT_EQ(b.Width(), 34);
  t.Blank();
  EXPECT_TRUE(t.IsNull(b));
  std::vector<uint8_t> record(34);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i * 7);
  t.Write(b, record.data());
  std::vector<uint8_t> back;
  EXPECT_TRUE(t.Read(b, back));
  EXPECT_EQ(back, record);
}

}  // namespace
}  // namespace qxdbf
