// The record cursor over the read window: moving forward and backward
// across refills, deleted runs, positioning, bookmarks and refresh.
#include <gtest/gtest.h>

#include <unistd.h>

#include "dbf/smart_dbf.h"
#include "dbf/table_creator.h"
#include "test_util.h"

namespace qxdbf {
namespace {

using qxdbf_test::TempDir;

// A dBase III table of `count` records of `record_length` bytes; record n
// holds n in its first field (N(6)) and "*" as deletion flag when
// `deleted(n)`.
std::string MakeTable(const TempDir& dir, int count, int record_length,
                      const std::function<bool(int)>& deleted = nullptr, bool eof = true) {
  const std::string path = dir.File("t.dbf");
  TQxDBFFieldDefs defs;
  defs.Add("N", 'N', 6);
  defs.Add("FILL", 'C', static_cast<uint16_t>(record_length - 7));
  TProxyStream proxy;
  proxy.SetFileName(path);
  TTableFlag flags;
  CreatedTable created = CreateTableFile(proxy, defs, xBaseIII, flags, false);
  auto bytes = qxdbf_test::ReadAll(path);
  bytes.resize(static_cast<size_t>(created.header_length));
  for (int n = 1; n <= count; ++n) {
    std::string rec(static_cast<size_t>(record_length), ' ');
    if (deleted && deleted(n)) rec[0] = '*';
    std::string num = std::to_string(n);
    rec.replace(7 - num.size(), num.size(), num);
    bytes.insert(bytes.end(), rec.begin(), rec.end());
  }
  if (eof) bytes.push_back(0x1A);
  qxdbf_test::WriteAll(path, bytes);
  return path;
}

class CursorTest : public ::testing::Test {
 protected:
  void Open(const std::string& path, uint32_t mode = 0x40) {
    table.SetDBFFileName(path);
    table.AccessMode().SetAccessMode(mode);
    table.Open();
  }
  int Current() { return table.FieldByName("n").AsInteger(); }

  TempDir dir;
  TQxDBFNTX table;
};

TEST_F(CursorTest, ForwardAndBackAcrossWindows) {
  Open(MakeTable(dir, 30, 153));  // 26 records per 4096-byte window
  EXPECT_EQ(table.ReadCalls(), 1);
  for (int n = 1; n <= 26; ++n) {
    EXPECT_EQ(Current(), n);
    EXPECT_EQ(table.RecNo(), n);
    table.Next();
  }
  EXPECT_EQ(table.ReadCalls(), 2);  // the 27th fetch refilled
  EXPECT_EQ(Current(), 27);
  table.Prior();  // back from the window 27-30: records 1-26 in one read
  EXPECT_EQ(Current(), 26);
  EXPECT_EQ(table.ReadCalls(), 3);
  for (int i = 0; i < 4; ++i) table.Next();
  EXPECT_EQ(Current(), 30);
  EXPECT_FALSE(table.Eof());
  table.Next();
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(Current(), 30);  // the current record stays
  table.Prior();
  EXPECT_EQ(Current(), 29);
}

TEST_F(CursorTest, LastReadsTheFinalWindow) {
  Open(MakeTable(dir, 30, 153));
  const int64_t before = table.ReadCalls();
  table.Last();
  EXPECT_EQ(Current(), 30);
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.ReadCalls(), before + 1);
  for (int n = 29; n >= 5; --n) {
    table.Prior();
    EXPECT_EQ(Current(), n);
  }
  EXPECT_EQ(table.ReadCalls(), before + 1);  // records 5-30 were all in the window
  table.Prior();
  EXPECT_EQ(Current(), 4);
  int n = 4;
  while (!table.Bof()) {
    table.Prior();
    if (!table.Bof()) {
      EXPECT_EQ(Current(), --n);
    }
  }
  EXPECT_EQ(n, 1);
}

TEST_F(CursorTest, DeletedRunsLongerThanAWindowAreSkipped) {
  // Records 2-70 deleted, 26 per window.
  Open(MakeTable(dir, 100, 153, [](int n) { return n >= 2 && n <= 70; }));
  table.SetSetDeleted(true);
  table.First();
  EXPECT_EQ(Current(), 1);
  table.Next();
  EXPECT_EQ(Current(), 71);
  table.Prior();
  EXPECT_EQ(Current(), 1);
  table.Prior();
  EXPECT_TRUE(table.Bof());
  int seen = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    EXPECT_FALSE(table.Deleted());
    ++seen;
  }
  EXPECT_EQ(seen, 31);
  EXPECT_EQ(table.RecordCount(), 100);  // deleted ones still count
  table.SetSetDeleted(false);
  table.First();
  table.Next();
  EXPECT_EQ(Current(), 2);
  EXPECT_TRUE(table.Deleted());
}

TEST_F(CursorTest, AllDeletedWithSetDeletedIsEmpty) {
  Open(MakeTable(dir, 40, 100, [](int) { return true; }));
  table.SetSetDeleted(true);
  table.First();
  EXPECT_TRUE(table.Eof());
  EXPECT_TRUE(table.Bof());
  EXPECT_TRUE(table.IsEmpty());
  table.Last();
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_EQ(table.RecNo(), -1);
}

TEST_F(CursorTest, EmptyTable) {
  for (bool eof : {true, false}) {
    TempDir d;
    TQxDBFNTX t;
    t.SetDBFFileName(MakeTable(d, 0, 20, nullptr, eof));
    t.AccessMode().SetAccessMode(0x40);
    t.Open();
    EXPECT_TRUE(t.Bof());
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(t.RecNo(), -1);
    t.Last();
    EXPECT_TRUE(t.Eof() && t.Bof());
  }
}

TEST_F(CursorTest, SetRecNoCentresTheWindow) {
  Open(MakeTable(dir, 200, 153, [](int n) { return n == 150; }));
  const int64_t before = table.ReadCalls();
  table.SetRecNo(100);  // window 87-112
  EXPECT_EQ(Current(), 100);
  EXPECT_EQ(table.ReadCalls(), before + 1);
  for (int n = 99; n >= 87; --n) {
    table.Prior();
    EXPECT_EQ(Current(), n);
  }
  EXPECT_EQ(table.ReadCalls(), before + 1);
  table.SetRecNo(5);
  EXPECT_EQ(Current(), 5);
  table.SetSetDeleted(true);
  table.SetRecNo(150);  // deleted: ignored
  EXPECT_EQ(Current(), 5);
  table.SetRecNo(0);
  table.SetRecNo(201);
  EXPECT_EQ(Current(), 5);
}

TEST_F(CursorTest, Bookmarks) {
  Open(MakeTable(dir, 300, 50));
  table.SetRecNo(256);
  const TBookmark late = table.GetBookmark();
  table.First();
  const TBookmark first = table.GetBookmark();
  EXPECT_EQ(table.CompareBookmarks(late, first), 1);
  EXPECT_EQ(table.CompareBookmarks(first, late), -1);
  EXPECT_EQ(table.CompareBookmarks(TBookmark{}, late), -1);
  EXPECT_EQ(table.CompareBookmarks(TBookmark{}, TBookmark{}), 0);
  table.GotoBookmark(late);
  EXPECT_EQ(Current(), 256);
  EXPECT_TRUE(table.BookmarkValid(late));
  EXPECT_FALSE(table.BookmarkValid(TBookmark{0, 0, 0, 0}));
  EXPECT_FALSE(table.BookmarkValid(TBookmark{0x2D, 0x01, 0, 0}));  // 301
}

TEST_F(CursorTest, OtherWritersAreSeenOnRefillAndRefresh) {
  const std::string path = MakeTable(dir, 10, 40, nullptr, false);
  Open(path);
  table.SetRecNo(10);
  EXPECT_EQ(Current(), 10);
  EXPECT_FALSE(table.Eof());
  // Another program appends record 11 and rewrites record 3.
  auto bytes = qxdbf_test::ReadAll(path);
  std::string rec(40, ' ');
  rec.replace(5, 2, "11");
  bytes.insert(bytes.end(), rec.begin(), rec.end());
  const size_t rec3 = bytes.size() - 9 * 40;
  bytes[rec3 + 6] = '9';
  qxdbf_test::WriteAll(path, bytes);

  table.Next();
  EXPECT_FALSE(table.Eof());
  EXPECT_EQ(Current(), 11);
  table.SetRecNo(3);
  EXPECT_EQ(Current(), 9);
  EXPECT_EQ(table.RecordCount(), 11);
}

TEST_F(CursorTest, ShrinkingFileAndPartialRecords) {
  const std::string path = MakeTable(dir, 60, 100, nullptr, false);
  Open(path);
  // Cut the file inside record 41: records 41 on are gone.
  auto bytes = qxdbf_test::ReadAll(path);
  bytes.resize(bytes.size() - 19 * 100 - 60);
  qxdbf_test::WriteAll(path, bytes);
  int last = 0;
  for (table.First(); !table.Eof(); table.Next()) last = Current();
  EXPECT_EQ(last, 40);
  EXPECT_EQ(table.RecordCount(), 40);
  table.Last();
  EXPECT_EQ(Current(), 40);
  table.SetRecNo(55);
  EXPECT_EQ(Current(), 40);
}

TEST_F(CursorTest, RefillFindingOnlyAPartialRecordKeepsTheWindow) {
  const std::string path = MakeTable(dir, 26, 153, nullptr, false);  // one full window
  auto bytes = qxdbf_test::ReadAll(path);
  bytes.insert(bytes.end(), 80, '9');  // a record being written by someone else
  qxdbf_test::WriteAll(path, bytes);
  Open(path);
  for (int n = 1; n < 26; ++n) table.Next();
  table.Next();
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.RecordCount(), 26);
  for (int n = 25; n >= 1; --n) {
    table.Prior();
    EXPECT_EQ(Current(), n);
  }
}

TEST_F(CursorTest, FilterEvent) {
  Open(MakeTable(dir, 50, 60));
  table.OnFilterRecord = [](TDataSet& ds, bool& accept) {
    accept = ds.FieldByName("N").AsInteger() % 10 == 0;
  };
  table.SetFiltered(true);
  std::vector<int> seen;
  for (table.First(); !table.Eof(); table.Next()) seen.push_back(Current());
  EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50}));
  table.Last();
  table.Prior();
  EXPECT_EQ(Current(), 40);
  table.SetFiltered(false);
  table.First();
  EXPECT_EQ(Current(), 1);
}

}  // namespace
}  // namespace qxdbf
