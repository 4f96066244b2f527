// Creating tables: the exact bytes written, and every version read back.
#include "dbf/table_creator.h"

#include <gtest/gtest.h>

#include <ctime>

#include "dbf/dbf_file.h"
#include "dbf/errors.h"
#include "test_util.h"

namespace qxdbf {
namespace {

using qxdbf_test::ReadAll;
using qxdbf_test::TempDir;

CreatedTable Create(const std::string& path, TQxDBFFieldDefs& defs, xBaseVersion version,
                    TTableFlag flags = {}, bool oem = false) {
  TProxyStream proxy;
  proxy.SetFileName(path);
  return CreateTableFile(proxy, defs, version, flags, oem);
}

void Reopen(DbfFile& file, const std::string& path, bool oem = false) {
  file.SetOEM(oem);
  file.Proxy().SetFileName(path);
  file.Proxy().AccessMode().SetAccessMode(0x42);
  file.Proxy().Open();
  ASSERT_TRUE(file.Proxy().IsOpen());
  file.ReadHeader();
  file.ReadFieldDescriptors();
}

TEST(TableCreatorTest, DBaseIIIBytes) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  TQxDBFFieldDefs defs;
  defs.Add("CODIGO", 'C', 6);
  defs.Add("PRECO", 'N', 12, 3);
  Create(path, defs, xBaseIII);

  const auto bytes = ReadAll(path);
  ASSERT_EQ(bytes.size(), 98u);
  std::time_t now = std::time(nullptr);
  std::tm today{};
  localtime_r(&now, &today);
  EXPECT_EQ(bytes[0], 0x03);
  EXPECT_EQ(bytes[1], today.tm_year);
  EXPECT_EQ(bytes[2], today.tm_mon + 1);
  EXPECT_EQ(bytes[3], today.tm_mday);
  EXPECT_EQ(bytes[4] | bytes[5] | bytes[6] | bytes[7], 0);  // count 0
  EXPECT_EQ(bytes[8] | (bytes[9] << 8), 98);
  EXPECT_EQ(bytes[10] | (bytes[11] << 8), 19);
  for (int i = 12; i < 32; ++i) EXPECT_EQ(bytes[i], 0) << "header byte " << i;
  // First descriptor: name, letter, length, decimals.
  EXPECT_EQ(std::string(bytes.begin() + 32, bytes.begin() + 38), "CODIGO");
  EXPECT_EQ(bytes[38], 0);
  EXPECT_EQ(bytes[32 + 11], 'C');
  EXPECT_EQ(bytes[32 + 16], 6);
  EXPECT_EQ(bytes[64 + 11], 'N');
  EXPECT_EQ(bytes[64 + 16], 12);
  EXPECT_EQ(bytes[64 + 17], 3);
  EXPECT_EQ(bytes[96], 0x0D);
  EXPECT_EQ(bytes[97], 0x1A);

  DbfFile file;
  Reopen(file, path);
  EXPECT_EQ(file.RecordCount(), 0);
  EXPECT_EQ(file.RecordPosition(1), 98);
}

// Fields each version accepts at creation, with a memo field where the
// version has one.
struct VersionCase {
  xBaseVersion version;
  bool memo;
  uint8_t byte;
  xBaseVersion reopened;
  int descriptor;
};

TEST(TableCreatorTest, EveryVersionReadsBack) {
  const VersionCase cases[] = {
      {xClipper, false, 0x03, xBaseIII, 32},     {xBaseIII, false, 0x03, xBaseIII, 32},
      {xBaseIII, true, 0x83, xBaseIII, 32},      {xBaseIV, false, 0x03, xBaseIII, 32},
      {xBaseIV, true, 0x8B, xBaseIV, 32},        {xBaseV, false, 0x04, xBaseVII, 48},
      {xBaseVII, true, 0x8C, xBaseVII, 48},      {xFoxPro, true, 0xF5, xFoxPro, 32},
      {xVisualFoxPro, true, 0x30, xVisualFoxPro, 32},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(VersionName(c.version)) + (c.memo ? " with memo" : ""));
    TempDir dir;
    const std::string path = dir.File("t.dbf");
    TQxDBFFieldDefs defs;
    defs.Add("NAME", 'C', 20);
    defs.Add("PRICE", 'N', 10, 2);
    defs.Add("WHEN", 'D', 0);
    defs.Add("OK", 'L', 0);
    if (c.version >= xBaseIV && c.version != xBaseV) defs.Add("RATIO", 'F', 12, 4);
    if (c.memo) defs.Add("NOTES", 'M', 0);
    const CreatedTable created = Create(path, defs, c.version);
    EXPECT_EQ(created.version_byte, c.byte);
    EXPECT_EQ(created.has_memo, c.memo);

    DbfFile file;
    Reopen(file, path);
    EXPECT_EQ(file.DbfVersion(), c.reopened);
    const int n = defs.Count();
    const int expected_header = 32 + (c.descriptor == 48 ? 36 : 0) + c.descriptor * n + 2 +
                                (c.version == xVisualFoxPro ? 263 : 0);
    EXPECT_EQ(file.HeaderLength(), expected_header);
    EXPECT_EQ(file.RecordLength(), created.record_length);
    ASSERT_EQ(file.FieldDefs().Count(), n);
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(file.FieldDefs()[i].Name(), defs[i].Name());
      EXPECT_EQ(file.FieldDefs()[i].field_type(), defs[i].field_type());
      EXPECT_EQ(file.FieldDefs()[i].Offset(), defs[i].Offset());
      EXPECT_EQ(file.FieldDefs()[i].Width(), defs[i].Width());
      EXPECT_EQ(file.FieldDefs()[i].OffsetHD(), defs[i].OffsetHD());
    }
    if (c.version == xVisualFoxPro) {
      EXPECT_TRUE(file.FoxTableFlag().HasGotMemo());
      EXPECT_EQ(file.LobVersion(), xVisualFoxPro);
    }
  }
}

TEST(TableCreatorTest, VisualFoxProNullFlags) {
  for (int nullable : {2, 9}) {
    SCOPED_TRACE(nullable);
    TempDir dir;
    TQxDBFFieldDefs defs;
    for (int i = 0; i < nullable; ++i)
      defs.Add("F" + std::to_string(i), 'C', 3).FieldFlag().SetCanStoreNull(true);
    defs.Add("PLAIN", 'C', 3);
    Create(dir.File("t.dbf"), defs, xVisualFoxPro);
    DbfFile file;
    Reopen(file, dir.File("t.dbf"));
    const auto& read = file.FieldDefs();
    ASSERT_EQ(read.Count(), nullable + 2);
    const auto& flags = read[read.Count() - 1];
    EXPECT_EQ(flags.Name(), "_NULLFLAGS");
    EXPECT_EQ(flags.Width(), nullable == 2 ? 1 : 2);
    EXPECT_TRUE(flags.FieldFlag().System());
    EXPECT_TRUE(flags.FieldFlag().BinaryColumn());
    EXPECT_EQ(read.NullFlagsOffset(), flags.Offset());
    EXPECT_EQ(read[8 % nullable].NullByte(), (8 % nullable) / 8);
    if (nullable == 9) {
      EXPECT_EQ(read[8].NullByte(), 1);
      EXPECT_EQ(read[8].NullMask(), 0x01);
      EXPECT_EQ(read[3].NullMask(), 0x08);
    }
    EXPECT_EQ(read[nullable].NullByte(), -1);
  }
}

TEST(TableCreatorTest, RefusedDefinitions) {
  struct Case { const char* what; xBaseVersion version; char letter; TQxDBFType ext; const char* message; bool file_left; };
  const Case cases[] = {
      {"I before dBase VII", xBaseIII, 'I', dbftUndefined,
       "TQxSmartDBF.CreateTable: DBF Version must be greater then xBaseVII for fields \"I\", \"+\", \"O\", \"@\"!", true},
      {"B before dBase V", xBaseIV, 'B', dbftUndefined,
       "TQxSmartDBF.CreateTable: DBF Version must be greater then xBaseIV for field type \"B\" or \"G\"!", true},
      {"F in dBase III", xBaseIII, 'F', dbftUndefined,
       "TQxSmartDBF.CreateTable: DBF Version must be greater then xBaseIII for field type \"F\"!", true},
      {"T before FoxPro", xBaseVII, 'T', dbftUndefined,
       "TQxSmartDBF.CreateTable: DBF Version must be xFoxPro or greater for field type \"T\"!", true},
      {"unknown letter", xBaseIII, 'Q', dbftUndefined, "Field_type incarect!", true},
      {"E undefined", xBaseIII, 'E', dbftUndefined, "Extend_type incarect!", true},
      {"E guid", xBaseIII, 'E', dbftGuid, "Extend_type incarect!", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    TQxDBFFieldDefs defs;
    defs.Add("A", 'C', 4);
    defs.Add("X", c.letter, 8).Setextend_type(c.ext);
    TProxyStream proxy;
    proxy.SetFileName(dir.File("t.dbf"));
    TTableFlag flags;
    try {
      CreateTableFile(proxy, defs, c.version, flags, false);
      FAIL() << "accepted";
    } catch (const EQxDBFError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_FALSE(proxy.IsOpen());
    EXPECT_EQ(ReadAll(dir.File("t.dbf")).empty(), !c.file_left);
  }
  TempDir dir;
  TQxDBFFieldDefs empty;
  TProxyStream proxy;
  proxy.SetFileName(dir.File("e.dbf"));
  TTableFlag flags;
  EXPECT_THROW(
      try { CreateTableFile(proxy, empty, xBaseIII, flags, false); } catch (const EQxDBFError& e) {
        EXPECT_STREQ(e.what(), "TQxSmartDBF.CreateTable: You should define one field at least to create table!");
        throw;
      },
      EQxDBFError);
}

TEST(TableCreatorTest, NamesAreCutAndConvertedToOem) {
  TempDir dir;
  TQxDBFFieldDefs defs;
  defs.Add("ABCDEFGHIJKL", 'C', 4);
  defs.Add("A\xC7\xC3O", 'C', 4);  // ACAO with C-cedilla and A-tilde in code page 1252
  Create(dir.File("t.dbf"), defs, xBaseIII, {}, true);
  const auto bytes = ReadAll(dir.File("t.dbf"));
  EXPECT_EQ(std::string(bytes.begin() + 32, bytes.begin() + 42), "ABCDEFGHIJ");
  EXPECT_EQ(bytes[42], 0);
  EXPECT_EQ(bytes[64 + 1], 0x80);  // C-cedilla in code page 850
  EXPECT_EQ(bytes[64 + 2], 0xC7);  // A-tilde in code page 850
  DbfFile file;
  Reopen(file, dir.File("t.dbf"), true);
  EXPECT_EQ(file.FieldDefs()[0].Name(), "ABCDEFGHIJ");
  EXPECT_EQ(file.FieldDefs()[1].Name(), "A\xC7\xC3O");
}

TEST(TableCreatorTest, NestedDescriptorList) {
  TempDir dir;
  TQxDBFFieldDefs defs;
  defs.Add("ID", 'N', 5);
  TQxDBFFieldDef& nested = defs.Add("ITEMS", 'E', 0);
  nested.Setextend_type(dbftDBFDataSet);
  nested.DBFFieldDefs().Add("QTY", 'N', 4);
  nested.DBFFieldDefs().Add("WHAT", 'C', 10);
  defs.Add("TAIL", 'C', 3);
  const CreatedTable created = Create(dir.File("t.dbf"), defs, xBaseIII);
  EXPECT_TRUE(created.has_memo);
  EXPECT_EQ(created.header_length, 32 + 32 * 3 + 32 * 2 + 32 + 2);
  EXPECT_EQ(created.record_length, 1 + 5 + 10 + 3);

  DbfFile file;
  Reopen(file, dir.File("t.dbf"));
  ASSERT_EQ(file.FieldDefs().Count(), 3);
  const auto& children = file.FieldDefs()[1].DBFFieldDefs();
  ASSERT_EQ(children.Count(), 2);
  EXPECT_EQ(children[1].Name(), "WHAT");
  EXPECT_EQ(children[1].Offset(), 5);
  EXPECT_EQ(file.FieldDefs()[2].Offset(), 16);
  EXPECT_EQ(file.FieldDefs()[2].OffsetHD(), 32 + 32 * 4 + 32);
  EXPECT_EQ(file.FieldDefs().Find("what"), &children[1]);
}

}  // namespace
}  // namespace qxdbf
