// Reading table files: header, versions, descriptors, record positions and
// the record count, and refusing damaged files.
#include "dbf/dbf_file.h"

#include <gtest/gtest.h>

#include "dbf/errors.h"
#include "test_util.h"

namespace qxdbf {
namespace {

using qxdbf_test::BuildTable;
using qxdbf_test::RawField;
using qxdbf_test::TempDir;
using qxdbf_test::WriteAll;

// Opens `path` read-write shared and reads header and descriptors.
void OpenTable(DbfFile& file, const std::string& path) {
  file.Proxy().SetFileName(path);
  file.Proxy().AccessMode().SetAccessMode(0x42);
  file.Proxy().Open();
  ASSERT_TRUE(file.Proxy().IsOpen());
  file.ReadHeader();
  file.ReadFieldDescriptors();
}

std::string Record(const std::string& body) { return " " + body; }

TEST(DbfFileTest, LegacyLayoutGivesTypesAndOffsets) {
  TempDir dir;
  const std::string path = dir.File("kq000006.dat");
  WriteAll(path, BuildTable({{"NOME", 'C', 40}, {"PRECO", 'N', 12, 3}, {"QUANT", 'N', 6},
                             {"CODIGO", 'N', 10}, {"DATA", 'D', 8}},
                            {}));
  DbfFile file;
  OpenTable(file, path);
  const auto& defs = file.FieldDefs();
  ASSERT_EQ(defs.Count(), 5);
  struct Expect { const char* name; TFieldType type; int32_t offset; int32_t size; int32_t precision; };
  const Expect expected[] = {{"NOME", ftString, 1, 40, 0}, {"PRECO", ftFloat, 41, 0, 3},
                             {"QUANT", ftInteger, 53, 0, 0}, {"CODIGO", ftLargeint, 59, 0, 0},
                             {"DATA", ftDate, 69, 0, 0}};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(defs[i].Name(), expected[i].name);
    EXPECT_EQ(defs[i].Layout().data_type, expected[i].type);
    EXPECT_EQ(defs[i].Offset(), expected[i].offset);
    EXPECT_EQ(defs[i].Layout().data_size, expected[i].size);
    EXPECT_EQ(defs[i].Layout().precision, expected[i].precision);
    EXPECT_EQ(defs[i].OffsetHD(), 32 + 32 * i);
  }
  EXPECT_EQ(file.DbfVersion(), xBaseIII);
  EXPECT_EQ(file.LobVersion(), xUnknown);
}

TEST(DbfFileTest, DescriptorDetails) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  // C with length bytes 0x2C 0x01 is 300 wide; names are trimmed and
  // upper-cased; N(9) is a 32-bit integer, N(10) 64-bit.
  WriteAll(path, BuildTable({{"memo", 'C', 0x2C, 0x01}, {" ab  ", 'N', 9}, {"C", 'N', 10}}, {},
                            0x03, true, -1, 1 + 300 + 9 + 10));
  DbfFile file;
  OpenTable(file, path);
  const auto& defs = file.FieldDefs();
  EXPECT_EQ(defs[0].Name(), "MEMO");
  EXPECT_EQ(defs[0].Width(), 300);
  EXPECT_EQ(defs[0].len(), 300);
  EXPECT_EQ(defs[1].Name(), "AB");
  EXPECT_EQ(defs[1].Offset(), 301);
  EXPECT_EQ(defs[1].Layout().data_type, ftInteger);
  EXPECT_EQ(defs[2].Layout().data_type, ftLargeint);
  EXPECT_EQ(defs.Find("ab"), &defs[1]);
}

TEST(DbfFileTest, VersionBytes) {
  struct Case { uint8_t byte; uint8_t flags; xBaseVersion dbf; xBaseVersion lob; };
  const Case cases[] = {
      {0x03, 0, xBaseIII, xUnknown},  {0x07, 0, xClipper, xUnknown},
      {0x83, 0, xBaseIII, xBaseIII},  {0x8B, 0, xBaseIV, xBaseIV},
      {0x8E, 0, xBaseIV, xBaseIV},    {0x7B, 0, xBaseIV, xBaseIV},
      {0xF5, 0, xFoxPro, xFoxPro},    {0x30, 0, xVisualFoxPro, xUnknown},
      {0x31, 2, xVisualFoxPro, xVisualFoxPro},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.byte));
    TempDir dir;
    auto bytes = BuildTable({{"A", 'C', 5}}, {Record("hello")}, c.byte);
    bytes[28] = c.flags;
    WriteAll(dir.File("v.dbf"), bytes);
    DbfFile file;
    OpenTable(file, dir.File("v.dbf"));
    EXPECT_EQ(file.DbfVersion(), c.dbf);
    EXPECT_EQ(file.LobVersion(), c.lob);
    EXPECT_EQ(file.FoxTableFlag().TableFlag(), c.flags);
  }
}

TEST(DbfFileTest, UnknownVersionByteIsNotDbfAndClosesTheFile) {
  TempDir dir;
  const std::string path = dir.File("x.dbf");
  WriteAll(path, BuildTable({{"A", 'C', 5}}, {}, 0x02));
  DbfFile file;
  file.Proxy().SetFileName(path);
  file.Proxy().AccessMode().SetAccessMode(0x42);
  file.Proxy().Open();
  try {
    file.ReadHeader();
    FAIL() << "no exception";
  } catch (const EQxDBFError& e) {
    EXPECT_EQ(std::string(e.what()), "TQxSmartDBF.InternalOpen: File \"" + path + "\" is not DBF file");
  }
  EXPECT_FALSE(file.Proxy().IsOpen());
  EXPECT_EQ(file.DbfVersion(), xUnknown);
  EXPECT_EQ(file.LobVersion(), xUnknown);
}

TEST(DbfFileTest, RecordCountComesFromTheFileSize) {
  const std::vector<std::string> five = {Record("aaaa"), Record("bbbb"), Record("cccc"),
                                         Record("dddd"), Record("eeee")};
  struct Case { const char* what; bool eof; int extra; uint32_t stored; int32_t count; };
  const Case cases[] = {
      {"with end marker", true, 0, 5, 5},
      {"without end marker", false, 0, 5, 5},
      {"half a record at the end", false, 2, 5, 5},
      {"stale stored count", true, 0, 0, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    auto bytes = BuildTable({{"A", 'C', 2}, {"B", 'C', 1}, {"C", 'C', 1}}, five, 0x03, c.eof, -1, -1,
                            c.stored);
    for (int i = 0; i < c.extra; ++i) bytes.push_back('x');
    WriteAll(dir.File("t.dbf"), bytes);
    DbfFile file;
    OpenTable(file, dir.File("t.dbf"));
    EXPECT_EQ(file.HeaderLength(), 129);
    EXPECT_EQ(file.RecordPosition(1), 129);
    EXPECT_EQ(file.RecordPosition(3), 129 + 2 * 5);
    EXPECT_EQ(file.RecordCount(), c.count);
    EXPECT_EQ(file.Header().RecordCount(), static_cast<uint32_t>(c.count));
  }
}

TEST(DbfFileTest, EndOfFileMarkerIsAddedOnlyWhenMissing) {
  for (bool has_marker : {false, true}) {
    TempDir dir;
    const std::string path = dir.File("t.dbf");
    const auto bytes = BuildTable({{"A", 'C', 4}}, {Record("abcd")}, 0x03, has_marker);
    WriteAll(path, bytes);
    DbfFile file;
    OpenTable(file, path);
    file.EnsureEndOfFileMarker();
    file.Proxy().Close();
    const auto after = qxdbf_test::ReadAll(path);
    EXPECT_EQ(after.back(), 0x1A);
    EXPECT_EQ(after.size(), has_marker ? bytes.size() : bytes.size() + 1);
  }
}

TEST(DbfFileTest, DamagedFilesAreRefusedWithTheirName) {
  struct Case { const char* what; std::vector<uint8_t> bytes; const char* reason; };
  auto good = BuildTable({{"A", 'C', 4}, {"B", 'N', 3}}, {Record("abcd123")});
  auto zero_record = good;
  zero_record[10] = zero_record[11] = 0;
  auto short_header = good;
  short_header[8] = 20;
  short_header[9] = 0;
  auto below_descriptors = good;
  below_descriptors[8] = 64;  // the terminator sits at 96
  auto no_terminator = std::vector<uint8_t>(good.begin(), good.begin() + 96);
  auto wide_field = good;
  wide_field[10] = 5;  // record length below 1 + 4 + 3
  const Case cases[] = {
      {"shorter than a header", std::vector<uint8_t>(good.begin(), good.begin() + 20), "shorter than a table header"},
      {"empty file", {}, "shorter than a table header"},
      {"record length 0", zero_record, "record length is 0"},
      {"header length below 32", short_header, "header length is below 32"},
      {"header length inside the descriptors", below_descriptors, "ends inside the field descriptors"},
      {"no terminator before the end", no_terminator, "without a terminator"},
      {"field wider than the record", wide_field, "wider than the record length"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir.File("bad.dbf");
    WriteAll(path, c.bytes);
    DbfFile file;
    file.Proxy().SetFileName(path);
    file.Proxy().AccessMode().SetAccessMode(0x42);
    file.Proxy().Open();
    ASSERT_TRUE(file.Proxy().IsOpen());
    try {
      file.ReadHeader();
      file.ReadFieldDescriptors();
      FAIL() << "accepted";
    } catch (const EQxDBFCorruptFile& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(path), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}

TEST(DbfFileTest, TypeLettersOutsideTheirVersionsFailTheOpen) {
  struct Case { char letter; uint8_t version; const char* message; };
  const Case cases[] = {
      {'T', 0x03, "TQxSmartDBF.HiddenInitFieldDefs: DBF Version must be xVisualFoxPro or greater for field type \"T\"!"},
      {'Y', 0xF5, "TQxSmartDBF.HiddenInitFieldDefs: DBF Version must be xVisualFoxPro or greater for field type \"Y\"!"},
      {'P', 0x8B, "TQxSmartDBF.HiddenInitFieldDefs: DBF Version must be xFoxPro or greater for field type \"P\"!"},
      {'B', 0x03, "TQxSmartDBF.HiddenInitFieldDefs: DBF Version must be greater then xBaseIII for field type \"B\" and \"G\"!"},
      {'I', 0xF5, "TQxSmartDBF.HiddenInitFieldDefs: DBF Version must be greater then xBaseV for field type \"+\", \"I\", \"O\" and \"@\"!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.letter);
    TempDir dir;
    WriteAll(dir.File("t.dbf"), BuildTable({{"F", c.letter, 8}}, {}, c.version));
    DbfFile file;
    file.Proxy().SetFileName(dir.File("t.dbf"));
    file.Proxy().AccessMode().SetAccessMode(0x42);
    file.Proxy().Open();
    file.ReadHeader();
    try {
      file.ReadFieldDescriptors();
      FAIL() << "accepted";
    } catch (const EQxDBFError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(DbfFileTest, UnknownLetterIsSkippedByItsLength) {
  TempDir dir;
  WriteAll(dir.File("t.dbf"), BuildTable({{"A", 'C', 2}, {"ODD", 'Q', 5}, {"B", 'C', 3}}, {}));
  DbfFile file;
  OpenTable(file, dir.File("t.dbf"));
  const auto& defs = file.FieldDefs();
  ASSERT_EQ(defs.Count(), 3);
  EXPECT_FALSE(defs[1].HasDataSetField());
  EXPECT_EQ(defs[2].Offset(), 1 + 2 + 5);
}

TEST(DbfFileTest, ReadingDescriptorsOfAClosedFileFails) {
  DbfFile file;
  EXPECT_THROW(file.ReadFieldDescriptors(), EQxDBFError);
}

}  // namespace
}  // namespace qxdbf
