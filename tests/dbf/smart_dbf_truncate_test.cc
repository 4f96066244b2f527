// Cutting a table back to a record count: the file, its header count and
// its end marker as other programs will read them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbf/errors.h"
#include "dbf/smart_dbf.h"
#include "dbf/table_creator.h"
#include "test_util.h"

namespace qxdbf {
namespace {

using qxdbf_test::ChildProcess;
using qxdbf_test::CliProgram;
using qxdbf_test::ReadAll;
using qxdbf_test::TempDir;

// SEQ N(8), TEXT C(20), with `records` records numbered 1 up.
std::string MakeTable(const TempDir& dir, int records) {
  const std::string path = dir.File("kq000009.dat");
  TQxDBFFieldDefs defs;
  defs.Add("SEQ", 'N', 8);
  defs.Add("TEXT", 'C', 20);
  TProxyStream proxy;
  proxy.SetFileName(path);
  TTableFlag flags;
  CreateTableFile(proxy, defs, xBaseIII, flags, false);
  TQxDBFNTX t;
  t.SetDBFFileName(path);
  t.AccessMode().SetAccessMode(18);
  t.Open();
  for (int i = 1; i <= records; ++i) {
    t.Append();
    t.FieldByName("SEQ").SetAsInteger(i);
    t.Post();
  }
  t.Close();
  return path;
}

void Open(TQxDBFNTX& t, const std::string& path, uint32_t mode) {
  t.SetDBFFileName(path);
  t.AccessMode().SetAccessMode(mode);
  t.SetLockProtocol(lpClipperLock);
  t.Open();
}

void AppendRecords(TQxDBFNTX& t, int from, int to) {
  for (int i = from; i <= to; ++i) {
    t.Append();
    t.FieldByName("SEQ").SetAsInteger(i);
    t.Post();
  }
}

TEST(TruncateRecordsTest, TakesTheFileBackByteForByte) {
  // To the count before the appends (also with an unposted insert pending),
  // to zero, and to the count it has already.
  struct Case { int keep; bool pending_insert; };
  for (const Case c : {Case{3, false}, Case{3, true}, Case{0, false}}) {
    SCOPED_TRACE(c.keep);
    TempDir dir;
    const std::string path = MakeTable(dir, c.keep);
    const std::vector<uint8_t> before = ReadAll(path);
    {
      TQxDBFNTX t;
      Open(t, path, 18);
      AppendRecords(t, c.keep + 1, c.keep + 4);
      if (c.pending_insert) {
        t.Append();
        t.FieldByName("SEQ").SetAsInteger(99);
      }
      t.TruncateRecords(c.keep);
      EXPECT_EQ(t.State(), dsBrowse);
      EXPECT_EQ(t.RecordCount(), c.keep);
      EXPECT_EQ(t.Eof(), c.keep == 0);
      if (c.keep > 0) {
        EXPECT_EQ(t.FieldByName("SEQ").AsInteger(), 1);
      }
      EXPECT_EQ(ReadAll(path), before);
      // Nothing of the cut records comes back, and appends go on from there.
      t.TruncateRecords(c.keep);
      AppendRecords(t, c.keep + 1, c.keep + 1);
      t.Close();
    }
    TQxDBFNTX reader;
    Open(reader, path, 66);
    EXPECT_EQ(reader.RecordCount(), c.keep + 1);
    int seq = 0;
    for (reader.First(); !reader.Eof(); reader.Next()) EXPECT_EQ(reader.FieldByName("SEQ").AsInteger(), ++seq);
    EXPECT_EQ(seq, c.keep + 1);
    reader.Close();
    const std::vector<uint8_t> after = ReadAll(path);
    EXPECT_EQ(after[4], c.keep + 1);  // header count
    EXPECT_EQ(after.back(), kEndOfFileMarker);
  }
}

TEST(TruncateRecordsTest, RefusesToGrowAndLeavesTheFile) {
  TempDir dir;
  const std::string path = MakeTable(dir, 2);
  const std::vector<uint8_t> before = ReadAll(path);
  TQxDBFNTX t;
  EXPECT_THROW(t.TruncateRecords(0), EQxDBFError);  // closed
  Open(t, path, 18);
  EXPECT_THROW(t.TruncateRecords(3), EQxDBFBadArgument);
  EXPECT_THROW(t.TruncateRecords(-1), EQxDBFBadArgument);
  EXPECT_FALSE(t.HeaderLocked());
  t.Close();
  EXPECT_EQ(ReadAll(path), before);
}

TEST(TruncateRecordsTest, WaitsForTheHeaderLockOfAnotherProgram) {
  TempDir dir;
  const std::string path = MakeTable(dir, 2);
  TQxDBFNTX t;
  Open(t, path, 66);
  t.SetWaitBusyRes(5);
  AppendRecords(t, 3, 3);
  {
    ChildProcess holder({CliProgram(), "lock", path, "--header", "--seconds", "1"});
    ASSERT_EQ(holder.ReadLine(), "locked");
    try {
      t.TruncateRecords(2);
      FAIL();
    } catch (const EQxDBFError& e) {
      EXPECT_STREQ(e.what(), "TQxSmartDBF.TruncateRecords: Can not lock DBF header.");
    }
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(holder.Wait(), 0);
  }
  t.TruncateRecords(2);
  EXPECT_EQ(t.RecordCount(), 2);
  EXPECT_FALSE(t.HeaderLocked());
}

}  // namespace
}  // namespace qxdbf
