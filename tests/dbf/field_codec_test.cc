// C, N, F, D and L fields of dBase III tables, the Visual FoxPro null flags
// and the blank record.
#include "dbf/field_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "codec_table.h"
#include "dbf/errors.h"

namespace qxdbf {
namespace {

using qxdbf_test::CodecTable;

TEST(CharacterField, ReadsWithAndWithoutTrimming) {
  struct Case {
    const char* stored;
    bool trim;
    const char* text;
    bool has_value;
    bool null_test;
  };
  const Case cases[] = {
      {"ABC   ", false, "ABC   ", true, false},
      {"ABC   ", true, "ABC", true, false},
      {"      ", false, "      ", true, false},
      {"      ", true, "", false, true},
      {" A B  ", true, " A B", true, false},
  };
  for (const Case& c : cases) {
    CodecTable t;
    const auto& name = t.Add("NAME", 'C', 6);
    t.ctx.trim_c_type = c.trim;
    t.Put(name, c.stored);
    bool has = false;
    EXPECT_EQ(t.ReadText(name, &has), c.text) << c.stored << " trim " << c.trim;
    EXPECT_EQ(has, c.has_value) << c.stored << " trim " << c.trim;
    EXPECT_EQ(t.IsNull(name), c.null_test) << c.stored << " trim " << c.trim;
  }
}

TEST(CharacterField, WritesLeftAlignedAndCutsToWidth) {
  CodecTable t;
  const auto& name = t.Add("NAME", 'C', 6);
  const auto& next = t.Add("NEXT", 'C', 2);
  t.Put(next, "ZZ");
  t.WriteText(name, "AB");
  EXPECT_EQ(t.Bytes(name), "AB    ");
  t.WriteText(name, "ABCDEFGH");
  EXPECT_EQ(t.Bytes(name), "ABCDEF");
  EXPECT_EQ(t.Bytes(next), "ZZ");
  t.WriteNull(name);
  EXPECT_EQ(t.Bytes(name), "      ");
}

TEST(CharacterField, WideFieldOf300Bytes) {
  CodecTable t;
  const auto& memo = t.Add("LONG", 'C', 300);
  const std::string text(299, 'x');
  t.WriteText(memo, text);
  EXPECT_EQ(t.Bytes(memo), text + " ");
  EXPECT_EQ(t.ReadText(memo), text + " ");
}

TEST(NumericField, WritesFixedPointRoundedHalfAwayFromZero) {
  struct Case {
    double value;
    const char* stored;
  };
  const Case cases[] = {
      {1234.5, "    1234.500"},  {-0.5, "      -0.500"},   {2.0625, "       2.063"},
      {-2.0625, "      -2.063"}, {0.0004, "       0.000"},  {-0.0004, "       0.000"},
      {0.0005, "       0.001"},  {999.9996, "    1000.000"}, {-99999999.9, "-99999999.900"},
      {1.0005, "       1.000"},  // just below 1.0005 in binary  {0, "       0.000"},
  };
  for (const Case& c : cases) {
    CodecTable t;
    const auto& amount = t.Add("AMOUNT", 'N', static_cast<uint16_t>(std::string(c.stored).size()), 3);
    t.WriteAs<double>(amount, c.value);
    EXPECT_EQ(t.Bytes(amount), c.stored) << c.value;
  }
}

TEST(NumericField, ReadsPointOrCommaDecimals) {
  struct Case {
    const char* stored;
    bool has_value;
    double value;
  };
  const Case cases[] = {
      {"    1234.500", true, 1234.5}, {"    1234,500", true, 1234.5},
      {"    1.234,50", false, 0},     {"    1,234.50", false, 0},
      {"      -0.500", true, -0.5},   {"  +.5       ", true, 0.5},
      {"   1.5e2    ", true, 150},    {"   -2,5E-1  ", true, -0.25},
      {"    1.2.3   ", false, 0},     {"    12 3    ", false, 0},
      {"   1e       ", false, 0},     {"   - 5      ", false, 0},
      {"   .        ", false, 0},     {"   1e999    ", false, 0},
      {"  1e-999    ", true, 0},      {"    0.1     ", true, 0.1},
      {"   12abc    ", false, 0},     {"   0x10     ", false, 0},
  };
  for (const Case& c : cases) {
    CodecTable t;
    const auto& amount = t.Add("AMOUNT", 'N', 12, 3);
    t.Put(amount, c.stored);
    double v = -1;
    EXPECT_EQ(t.ReadAs(amount, v), c.has_value) << c.stored;
    EXPECT_EQ(v, c.value) << c.stored;
    EXPECT_FALSE(t.IsNull(amount)) << c.stored;  // only all blank is NULL
  }
}

TEST(NumericField, TheNullQuestionAndTheReadDiffer) {
  CodecTable t;
  const auto& amount = t.Add("AMOUNT", 'N', 12, 3);
  t.Put(amount, "  letters!  ");
  EXPECT_FALSE(t.IsNull(amount));
  EXPECT_TRUE(ReadFieldData(amount, t.record().data(), t.ctx, nullptr));
  double v = -1;
  EXPECT_FALSE(t.ReadAs(amount, v));
  EXPECT_EQ(v, 0.0);  // the buffer holds the empty value
  t.Put(amount, "            ");
  EXPECT_TRUE(t.IsNull(amount));
  EXPECT_FALSE(ReadFieldData(amount, t.record().data(), t.ctx, nullptr));
}

TEST(NumericField, ValueWiderThanTheFieldIsRefusedAndNothingWritten) {
  CodecTable t;
  const auto& price = t.Add("PRICE", 'N', 6, 2);
  t.Put(price, "  1.00");
  try {
    t.WriteAs<double>(price, 12345.678);
    FAIL() << "no exception";
  } catch (const EQxDBFBadArgument& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("12345.68"), std::string::npos) << message;
    EXPECT_NE(message.find("PRICE"), std::string::npos) << message;
  }
  EXPECT_EQ(t.Bytes(price), "  1.00");
  // The widest value that fits still goes in.
  t.WriteAs<double>(price, -99.994);
  EXPECT_EQ(t.Bytes(price), "-99.99");
  t.WriteAs<double>(price, 999.994);
  EXPECT_EQ(t.Bytes(price), "999.99");
  EXPECT_THROW(t.WriteAs<double>(price, 999.995), EQxDBFBadArgument);  // "1000.00"
  EXPECT_THROW(t.WriteAs<double>(price, NAN), EQxDBFBadArgument);
  EXPECT_THROW(t.WriteAs<double>(price, INFINITY), EQxDBFBadArgument);
  EXPECT_EQ(t.Bytes(price), "999.99");
}

TEST(NumericField, WidthOfDecimalsAloneCanOverflow) {
  CodecTable t;
  const auto& ratio = t.Add("RATIO", 'N', 4, 3);  // "0.500" needs 5
  EXPECT_THROW(t.WriteAs<double>(ratio, 0.5), EQxDBFBadArgument);
  EXPECT_EQ(t.Bytes(ratio), "    ");
}

TEST(IntegerField, ReadsThePlatformIntegerText) {
  struct Case {
    const char* stored;
    bool has_value;
    int32_t value;
  };
  const Case cases[] = {
      {"    42", true, 42},   {"42    ", false, 0}, {"   $2A", true, 42},  {"  0x1F", true, 31},
      {"  -X10", true, -16},  {"   -42", true, -42}, {"   +42", true, 42},  {"   4 2", false, 0},
      {"      ", false, 0},   {"    0x", false, 0},  {"     -", false, 0},  {"  4.0 ", false, 0},
      {"   $FG", false, 0},   {"000042", true, 42},
  };
  for (const Case& c : cases) {
    CodecTable t;
    const auto& qty = t.Add("QTY", 'N', 6);
    ASSERT_EQ(qty.Layout().data_type, ftInteger);
    t.Put(qty, c.stored);
    int32_t v = -1;
    EXPECT_EQ(t.ReadAs(qty, v), c.has_value) << c.stored;
    EXPECT_EQ(v, c.value) << c.stored;
  }
}

TEST(IntegerField, RangeFollowsTheDatasetType) {
  CodecTable t;
  const auto& small = t.Add("SMALL", 'N', 9);
  const auto& large = t.Add("LARGE", 'N', 10);
  ASSERT_EQ(large.Layout().data_type, ftLargeint);
  int32_t v32 = 0;
  t.Put(small, "$FFFFFFFF");  // 4294967295: beyond 32 bits
  EXPECT_FALSE(t.ReadAs(small, v32));
  t.Put(small, "999999999");
  EXPECT_TRUE(t.ReadAs(small, v32));
  EXPECT_EQ(v32, 999999999);

  t.WriteAs<int64_t>(large, 2147483648);
  EXPECT_EQ(t.Bytes(large), "2147483648");
  int64_t v64 = 0;
  EXPECT_TRUE(t.ReadAs(large, v64));
  EXPECT_EQ(v64, 2147483648);
  t.WriteAs<int64_t>(large, -123);
  EXPECT_EQ(t.Bytes(large), "      -123");
  EXPECT_THROW(t.WriteAs<int64_t>(large, 12345678901), EQxDBFBadArgument);
  EXPECT_EQ(t.Bytes(large), "      -123");
}

TEST(IntegerField, WritesRightAlignedAndRefusesWiderValues) {
  CodecTable t;
  const auto& qty = t.Add("QTY", 'N', 6);
  t.WriteAs<int32_t>(qty, 42);
  EXPECT_EQ(t.Bytes(qty), "    42");
  t.WriteAs<int32_t>(qty, -99999);
  EXPECT_EQ(t.Bytes(qty), "-99999");
  EXPECT_THROW(t.WriteAs<int32_t>(qty, 1234567), EQxDBFBadArgument);
  EXPECT_THROW(t.WriteAs<int32_t>(qty, -100000), EQxDBFBadArgument);
  EXPECT_EQ(t.Bytes(qty), "-99999");
  t.WriteNull(qty);
  EXPECT_EQ(t.Bytes(qty), "      ");
}

TEST(DateField, ReadsDigitsThatFormARealDate) {
  struct Case {
    const char* stored;
    bool has_value;
    int32_t day_number;
  };
  const Case cases[] = {
      {"20240229", true, 738945}, {"20230229", false, 0}, {"00000000", false, 0},
      {"2024 1 5", false, 0},     {"        ", false, 0}, {"18991230", true, kDateDelta},
      {"00010101", true, 1},      {"99991231", true, 3652059}, {"20241301", false, 0},
      {"20240431", false, 0},     {"19000229", false, 0}, {"20000229", true, 730179},
  };
  for (const Case& c : cases) {
    CodecTable t;
    const auto& when = t.Add("WHEN", 'D', 8);
    t.Put(when, c.stored);
    int32_t v = -1;
    EXPECT_EQ(t.ReadAs(when, v), c.has_value) << c.stored;
    EXPECT_EQ(v, c.day_number) << c.stored;
    EXPECT_EQ(t.IsNull(when), std::string(c.stored) == "        ") << c.stored;
  }
}

TEST(DateField, WritesEightDigitsAndRefusesDaysOutsideTheCalendar) {
  CodecTable t;
  const auto& when = t.Add("WHEN", 'D', 8);
  t.WriteAs<int32_t>(when, 738950);  // 5 March 2024
  EXPECT_EQ(t.Bytes(when), "20240305");
  t.WriteAs<int32_t>(when, 364513);  // 1 January 999
  EXPECT_EQ(t.Bytes(when), "09990101");
  t.WriteAs<int32_t>(when, 730179);
  EXPECT_EQ(t.Bytes(when), "20000229");
  EXPECT_THROW(t.WriteAs<int32_t>(when, 0), EQxDBFBadArgument);
  EXPECT_THROW(t.WriteAs<int32_t>(when, 3652060), EQxDBFBadArgument);
  EXPECT_EQ(t.Bytes(when), "20000229");
  t.WriteNull(when);
  EXPECT_EQ(t.Bytes(when), "        ");
}

TEST(DateField, EveryDayOfFourCenturiesRoundTrips) {
  CodecTable t;
  const auto& when = t.Add("WHEN", 'D', 8);
  for (int32_t day = 693596; day < 693596 + 146097; ++day) {
    t.WriteAs<int32_t>(when, day);
    int32_t back = 0;
    ASSERT_TRUE(t.ReadAs(when, back)) << day << " " << t.Bytes(when);
    ASSERT_EQ(back, day) << t.Bytes(when);
  }
}

TEST(LogicalField, OnlyUpperCaseTAndFAreValues) {
  struct Case {
    char stored;
    bool has_value;
    uint16_t value;
    bool null_test;
  };
  const Case cases[] = {
      {'T', true, 1, false}, {'F', true, 0, false}, {'t', false, 0, false},
      {'Y', false, 0, false}, {'?', false, 0, false}, {' ', false, 0, true},
  };
  for (const Case& c : cases) {
    CodecTable t;
    const auto& flag = t.Add("FLAG", 'L', 1);
    t.Put(flag, std::string(1, c.stored));
    uint16_t v = 7;
    EXPECT_EQ(t.ReadAs(flag, v), c.has_value) << c.stored;
    EXPECT_EQ(v != 0, c.value != 0) << c.stored;
    EXPECT_EQ(t.IsNull(flag), c.null_test) << c.stored;
  }
  CodecTable t;
  const auto& flag = t.Add("FLAG", 'L', 1);
  t.WriteAs<uint16_t>(flag, 0xFFFF);
  EXPECT_EQ(t.Bytes(flag), "T");
  t.WriteAs<uint16_t>(flag, 0);
  EXPECT_EQ(t.Bytes(flag), "F");
  t.WriteNull(flag);
  EXPECT_EQ(t.Bytes(flag), " ");
}

// A Visual FoxPro table with nullable C, N, M and I fields, a non-nullable
// I and M, and the _NULLFLAGS byte.
class NullFlags : public ::testing::Test {
 protected:
  NullFlags()
      : t(xVisualFoxPro, xVisualFoxPro),
        name(t.Add("NAME", 'C', 5, 0, 0x02)),
        qty(t.Add("QTY", 'N', 5, 0, 0x02)),
        notes(t.Add("NOTES", 'M', 4, 0, 0x02)),
        code(t.Add("CODE", 'I', 4, 0, 0x02)),
        plain(t.Add("PLAIN", 'I', 4)),
        pic(t.Add("PIC", 'G', 4)) {
    t.AddNullFlags();
    t.Blank();
  }
  uint8_t Flags() { return t.record()[static_cast<size_t>(t.ctx.null_flags_offset)]; }

  CodecTable t;
  const TQxDBFFieldDef& name;
  const TQxDBFFieldDef& qty;
  const TQxDBFFieldDef& notes;
  const TQxDBFFieldDef& code;
  const TQxDBFFieldDef& plain;
  const TQxDBFFieldDef& pic;
};

TEST_F(NullFlags, ANewRecordHasEveryNullableFieldNull) {
  EXPECT_EQ(Flags(), 0xFF);
  for (const TQxDBFFieldDef* def : {&name, &qty, &notes, &code, &pic}) {
    EXPECT_TRUE(t.IsNull(*def)) << def->Name();
    std::vector<uint8_t> value;
    EXPECT_FALSE(t.Read(*def, value)) << def->Name();
  }
  int32_t v = -1;
  EXPECT_TRUE(t.ReadAs(plain, v));  // not nullable: 4 zero bytes read 0
  EXPECT_EQ(v, 0);
}

TEST_F(NullFlags, WritingAValueClearsTheBitAndNullSetsItLeavingTheBytes) {
  t.WriteText(name, "ABC");
  EXPECT_EQ(Flags(), 0xFE);
  EXPECT_EQ(t.ReadText(name), "ABC  ");
  t.WriteAs<int32_t>(code, -7);
  EXPECT_EQ(Flags(), 0xF6);
  EXPECT_EQ(t.Bytes(code), std::string("\xF9\xFF\xFF\xFF", 4));

  t.WriteNull(name);
  t.WriteNull(code);
  EXPECT_EQ(Flags(), 0xFF);
  EXPECT_TRUE(t.IsNull(name));
  EXPECT_EQ(t.Bytes(name), "ABC  ");
  EXPECT_EQ(t.Bytes(code), std::string("\xF9\xFF\xFF\xFF", 4));
}

TEST_F(NullFlags, MemoNullIsDecidedByTheBlockNumber) {
  const uint32_t block = 7;
  t.WriteAs<uint32_t>(notes, block);
  EXPECT_EQ(Flags() & 0x04, 0);
  t.record()[static_cast<size_t>(t.ctx.null_flags_offset)] |= 0x04;  // bit set, block present
  uint32_t v = 0;
  EXPECT_TRUE(t.ReadAs(notes, v));
  EXPECT_EQ(v, block);
  t.WriteNull(notes);
  EXPECT_EQ(t.Bytes(notes), std::string(4, '\0'));
  EXPECT_TRUE(t.IsNull(notes));
}

TEST_F(NullFlags, FieldsThatCannotStoreNullIgnoreANullWriteExceptMemoPointers) {
  t.WriteAs<int32_t>(plain, 12);
  t.WriteAs<uint32_t>(pic, 9);
  const uint8_t before = Flags();
  t.WriteNull(plain);
  t.WriteNull(pic);
  EXPECT_EQ(Flags(), before);
  int32_t v = 0;
  EXPECT_TRUE(t.ReadAs(plain, v));
  EXPECT_EQ(v, 12);
  EXPECT_EQ(t.Bytes(pic), std::string(4, '\0'));
  EXPECT_TRUE(t.IsNull(pic));
}

TEST_F(NullFlags, ARefusedValueKeepsTheBit) {
  EXPECT_THROW(t.WriteAs<int32_t>(qty, 123456), EQxDBFBadArgument);
  EXPECT_EQ(Flags(), 0xFF);
}

TEST(NullFlagsLayout, NineNullableFieldsUseTwoBytes) {
  CodecTable t(xVisualFoxPro);
  std::vector<const TQxDBFFieldDef*> fields;
  for (int i = 0; i < 9; ++i) fields.push_back(&t.Add("F" + std::to_string(i), 'L', 1, 0, 0x02));
  t.AddNullFlags();
  t.Blank();
  ASSERT_EQ(t.ctx.null_flags_width, 2);
  t.WriteAs<uint16_t>(*fields[8], 1);
  const size_t flags = static_cast<size_t>(t.ctx.null_flags_offset);
  EXPECT_EQ(t.record()[flags], 0xFF);
  EXPECT_EQ(t.record()[flags + 1], 0xFE);
  EXPECT_FALSE(t.IsNull(*fields[8]));
  EXPECT_TRUE(t.IsNull(*fields[7]));
}

TEST(NullFlagsLayout, OtherVersionsIgnoreTheNullableFlag) {
  CodecTable t(xBaseIII);
  const auto& name = t.Add("NAME", 'C', 3, 0, 0x02);
  t.WriteNull(name);
  EXPECT_EQ(t.Bytes(name), "   ");
  t.WriteText(name, "X");
  EXPECT_EQ(t.ReadText(name), "X  ");
}

TEST(BlankRecord, DBaseIIIRecordIsAllBlank) {
  CodecTable t;
  t.Add("NAME", 'C', 4);
  t.Add("QTY", 'N', 6, 2);
  t.Add("WHEN", 'D', 8);
  t.Add("FLAG", 'L', 1);
  t.Add("NOTES", 'M', 10);
  std::fill(t.record().begin(), t.record().end(), 'x');
  t.Blank();
  EXPECT_EQ(std::string(t.record().begin(), t.record().end()), std::string(30, ' '));
}

TEST(BlankRecord, BinaryFieldsStartZeroedAndNullFlagsAllOnes) {
  CodecTable t(xVisualFoxPro, xVisualFoxPro);
  const auto& name = t.Add("NAME", 'C', 2, 0, 0x02);
  const auto& stamp = t.Add("STAMP", 'T', 8);
  const auto& money = t.Add("MONEY", 'Y', 8);
  const auto& code = t.Add("CODE", 'I', 4);
  const auto& ratio = t.Add("RATIO", 'B', 8);
  const auto& notes = t.Add("NOTES", 'M', 4);
  const auto& clob = t.AddExtended("CLOB", dbftClob);
  const auto& count = t.AddExtended("COUNT", dbftS4_N);
  t.AddNullFlags();
  t.Blank();
  EXPECT_EQ(t.record()[0], ' ');
  EXPECT_EQ(t.Bytes(name), "  ");
  for (const TQxDBFFieldDef* def : {&stamp, &money, &code, &ratio, &notes, &clob})
    EXPECT_EQ(t.Bytes(*def), std::string(static_cast<size_t>(def->Width()), '\0')) << def->Name();
  EXPECT_EQ(t.Bytes(count), "     ");
  EXPECT_EQ(t.record().back(), 0xFF);
  EXPECT_TRUE(t.IsNull(stamp));  // zero bytes of a new record are no date
  EXPECT_TRUE(t.IsNull(count));
}

TEST(BlankRecord, DBase7BinaryFieldsAndTextMemoPointers) {
  CodecTable t(xBaseVII, xBaseVII);
  const auto& code = t.Add("CODE", 'I', 4);
  const auto& seq = t.Add("SEQ", '+', 4);
  const auto& real = t.Add("REAL", 'O', 8);
  const auto& stamp = t.Add("STAMP", '@', 8);
  const auto& blob = t.Add("BLOB", 'B', 10);
  t.Blank();
  for (const TQxDBFFieldDef* def : {&code, &seq, &real, &stamp}) {
    EXPECT_EQ(t.Bytes(*def), std::string(static_cast<size_t>(def->Width()), '\0')) << def->Name();
    EXPECT_TRUE(t.IsNull(*def)) << def->Name();
  }
  EXPECT_EQ(t.Bytes(blob), std::string(10, ' '));
  EXPECT_TRUE(t.IsNull(blob));
}

}  // namespace
}  // namespace qxdbf
