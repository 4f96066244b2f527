// Writing beside other programs: lock positions and rules, appends, edits,
// deletion marks, auto-increment, and real concurrent writers.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "dbf/errors.h"
#include "dbf/smart_dbf.h"
#include "dbf/table_creator.h"
#include "test_util.h"

namespace qxdbf {
namespace {

using qxdbf_test::ChildProcess;
using qxdbf_test::ChildProgram;
using qxdbf_test::CliProgram;
using qxdbf_test::ReadAll;
using qxdbf_test::RunProgram;
using qxdbf_test::TempDir;

// The table the concurrent writers share: WRITER N(3), SEQ N(8), TEXT C(30).
std::string MakeSales(const TempDir& dir, int records = 0) {
  const std::string path = dir.File("kq000009.dat");
  TQxDBFFieldDefs defs;
  defs.Add("WRITER", 'N', 3);
  defs.Add("SEQ", 'N', 8);
  defs.Add("TEXT", 'C', 30);
  TProxyStream proxy;
  proxy.SetFileName(path);
  TTableFlag flags;
  CreateTableFile(proxy, defs, xBaseIII, flags, false);
  if (records > 0) {
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
  }
  return path;
}

std::unique_ptr<TQxDBFNTX> OpenShared(const std::string& path, int32_t attempts = 3000) {
  auto t = std::make_unique<TQxDBFNTX>();
  t->SetDBFFileName(path);
  t->AccessMode().SetAccessMode(66);
  t->SetWaitBusyRes(attempts);
  t->Open();
  return t;
}

// Whether another process may lock the byte range now.
bool ChildCanLock(const std::string& path, uint32_t offset, uint32_t length = 1) {
  return RunProgram({ChildProgram("lock_child"), "lock", path, std::to_string(offset),
                     std::to_string(length)}) == 0;
}

uint32_t StoredCount(const std::string& path) {
  const auto bytes = ReadAll(path);
  return bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<uint32_t>(bytes[7]) << 24);
}

TEST(LockProtocolTest, Positions) {
  struct Case { LockProtocolType protocol; uint32_t rec1; uint32_t header; uint32_t file_start; uint32_t file_length; };
  const Case cases[] = {
      {lpClipperLock, 1000000001u, 1000000000u, 1000000001u, 1000000000u},
      {lpFoxLock, 2147483645u, 2147483646u, 2034458215u, 113025432u},
      {lpDB4Lock, 4026531837u, 4026531839u, 1073741824u, 2952790016u},
      {lpClipperForFoxLob, 1u, 0u, 1u, 0xEFFFFFFFu},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(LockProtocolName(c.protocol));
    EXPECT_EQ(RecordLockRange(c.protocol, 1, true, 0).offset, c.rec1);
    EXPECT_EQ(HeaderLockRange(c.protocol).offset, c.header);
    EXPECT_EQ(FileLockRange(c.protocol).offset, c.file_start);
    EXPECT_EQ(FileLockRange(c.protocol).length, c.file_length);
  }
  EXPECT_EQ(RecordLockRange(lpClipperLock, 250, true, 0).offset, 1000000250u);
  EXPECT_EQ(RecordLockRange(lpFoxLock, 3, false, 500).offset, 500u + 0x40000000u);
}

TEST(LockTest, ClipperLocksAreSeenByOtherProcesses) {
  TempDir dir;
  const std::string path = MakeSales(dir, 3);
  auto table = OpenShared(path);
  EXPECT_TRUE(table->LockRecord(1));
  EXPECT_FALSE(ChildCanLock(path, 1000000001u));
  EXPECT_TRUE(ChildCanLock(path, 1000000002u));
  EXPECT_TRUE(table->LockHeader());
  EXPECT_FALSE(ChildCanLock(path, 1000000000u));
  EXPECT_TRUE(table->UnlockHeader());
  EXPECT_TRUE(ChildCanLock(path, 1000000000u));
  EXPECT_TRUE(table->UnlockRecord(1));
  EXPECT_TRUE(ChildCanLock(path, 1000000001u));

  EXPECT_TRUE(table->FLock());
  EXPECT_TRUE(table->FileLocked());
  EXPECT_FALSE(ChildCanLock(path, 1000000001u));
  EXPECT_FALSE(ChildCanLock(path, 2000000000u));
  EXPECT_TRUE(ChildCanLock(path, 1000000000u));  // the header byte stays free
  EXPECT_TRUE(table->UnLock());
  EXPECT_FALSE(table->FileLocked());
  EXPECT_TRUE(ChildCanLock(path, 1000000001u));
}

TEST(LockTest, RecordLockBookkeeping) {
  TempDir dir;
  const std::string path = MakeSales(dir, 10);
  auto table = OpenShared(path);
  EXPECT_TRUE(table->LockRecord(7));
  EXPECT_TRUE(table->LockRecord(7));
  EXPECT_EQ(table->LockedRecords(), std::vector<int32_t>{7});
  EXPECT_TRUE(table->UnlockRecord(7));
  EXPECT_TRUE(table->LockedRecords().empty());
  EXPECT_FALSE(table->UnlockRecord(7));  // not held

  EXPECT_TRUE(table->LockRecord(3));
  EXPECT_TRUE(table->LockRecord(9));
  EXPECT_TRUE(table->FLock());  // releases 3 and 9 first
  EXPECT_TRUE(table->LockedRecords().empty());
  EXPECT_TRUE(table->LockRecord(3));  // under the file lock: nothing taken
  EXPECT_TRUE(table->LockedRecords().empty());
  EXPECT_TRUE(table->UnLock());
  EXPECT_FALSE(table->UnLock());  // nothing to release on a shared table
  EXPECT_FALSE(table->FileLocked());

  TQxSmartDBF plain;  // lpNone
  plain.SetDBFFileName(path);
  plain.AccessMode().SetAccessMode(66);
  plain.Open();
  EXPECT_TRUE(plain.LockRecord(5));
  EXPECT_EQ(plain.LockedRecords(), std::vector<int32_t>{5});
  EXPECT_TRUE(ChildCanLock(path, 1000000005u));
}

TEST(LockTest, ExclusiveTablesLockNothing) {
  TempDir dir;
  const std::string path = MakeSales(dir, 4);
  TQxDBFNTX table;
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(18);
  table.Open();
  EXPECT_TRUE(table.FLock());
  EXPECT_TRUE(table.FileLocked());
  EXPECT_TRUE(table.LockRecord(2));
  EXPECT_TRUE(table.LockedRecords().empty());
  EXPECT_TRUE(table.LockHeader());
  EXPECT_TRUE(table.UnlockHeader());
  EXPECT_TRUE(table.UnLock());
  table.Append();
  table.FieldByName("SEQ").SetAsInteger(5);
  table.Post();
  EXPECT_EQ(table.RecordCount(), 5);
}

TEST(LockTest, ContendedLocksGiveUpAfterTheirAttempts) {
  TempDir dir;
  const std::string path = MakeSales(dir, 2);
  auto holder = OpenShared(path);
  ASSERT_TRUE(holder->LockHeader());
  for (int32_t attempts : {0, 1, 5}) {
    auto other = OpenShared(path, attempts);
    other->Append();
    try {
      other->Post();
      FAIL();
    } catch (const EQxDBFError& e) {
      EXPECT_STREQ(e.what(), "TQxSmartDBF.InternalAddRecord: Can not lock DBF header.");
    }
    EXPECT_FALSE(other->HeaderLocked());
    other->Cancel();
  }
  holder->UnlockHeader();
  EXPECT_EQ(ReadAll(path).size(), 32u + 3 * 32 + 2 + 2 * 42 + 1);  // nothing written
}

TEST(WriteTest, AppendOverTheEndMarkerAndAStaleCount) {
  TempDir dir;
  const std::string path = MakeSales(dir, 10);
  auto bytes = ReadAll(path);
  ASSERT_EQ(bytes.back(), 0x1A);
  bytes[4] = 7;  // stale count
  bytes[1] = 99;
  qxdbf_test::WriteAll(path, bytes);
  const int32_t header_length = 32 + 3 * 32 + 2;
  auto table = OpenShared(path);
  table->SetRecNo(3);
  table->Insert();
  table->FieldByName("SEQ").SetAsInteger(11);
  table->Post();
  EXPECT_EQ(table->RecNo(), 11);
  EXPECT_EQ(table->FieldByName("SEQ").AsInteger(), 11);
  auto after = ReadAll(path);
  EXPECT_EQ(after.size(), static_cast<size_t>(header_length + 11 * 42));  // no marker yet
  EXPECT_EQ(StoredCount(path), 11u);
  EXPECT_EQ(after[1], 99);  // the date is not touched
  table->Close();
  EXPECT_EQ(ReadAll(path).back(), 0x1A);
}

TEST(WriteTest, EditsAndDeletionMarksReachTheFile) {
  TempDir dir;
  const std::string path = MakeSales(dir, 5);
  auto table = OpenShared(path);
  table->SetSetDeleted(true);
  table->SetRecNo(2);
  table->Edit();
  table->FieldByName("TEXT").SetAsString("changed");
  table->Post();
  EXPECT_EQ(table->State(), dsBrowse);
  table->Delete();  // moves on to record 3
  EXPECT_EQ(table->RecNo(), 3);
  table->SetRecNo(5);
  table->Delete();  // nothing after it: back to 4
  EXPECT_EQ(table->RecNo(), 4);

  auto reader = OpenShared(path);
  reader->SetRecNo(2);
  EXPECT_TRUE(reader->Deleted());
  EXPECT_EQ(reader->FieldByName("TEXT").AsString().substr(0, 7), "changed");
  reader->SetRecNo(5);
  EXPECT_TRUE(reader->Deleted());
  reader->MarkDeleted(false);
  auto third = OpenShared(path);
  third->SetRecNo(5);
  EXPECT_FALSE(third->Deleted());
}

TEST(WriteTest, LockedRecordRefusesThePostAndKeepsTheEdit) {
  TempDir dir;
  const std::string path = MakeSales(dir, 3);
  ChildProcess holder({CliProgram(), "lock", path, "--record", "2", "--seconds", "2"});
  ASSERT_EQ(holder.ReadLine(), "locked");
  auto table = OpenShared(path, 5);
  table->SetRecNo(2);
  table->Edit();
  table->FieldByName("SEQ").SetAsInteger(99);
  try {
    table->Post();
    FAIL();
  } catch (const EQxDBFError& e) {
    EXPECT_STREQ(e.what(), "TQxSmartDBF.InternalPost: Can not lock DBF record.");
  }
  EXPECT_EQ(table->State(), dsEdit);
  EXPECT_EQ(holder.Wait(), 0);
  table->Post();
  auto reader = OpenShared(path);
  reader->SetRecNo(2);
  EXPECT_EQ(reader->FieldByName("SEQ").AsInteger(), 99);
}

TEST(WriteTest, FileLockOfAnotherProcessBlocksAppends) {
  TempDir dir;
  const std::string path = MakeSales(dir, 3);
  {
    ChildProcess holder({CliProgram(), "lock", path, "--file", "--seconds", "2"});
    ASSERT_EQ(holder.ReadLine(), "locked");
    auto table = OpenShared(path, 20);
    table->Append();
    try {
      table->Post();
      FAIL();
    } catch (const EQxDBFError& e) {
      EXPECT_STREQ(e.what(), "TQxSmartDBF.InternalAddRecord: Can not lock DBF record.");
    }
    EXPECT_FALSE(table->HeaderLocked());
    EXPECT_EQ(holder.Wait(), 0);
    table->Post();
    EXPECT_EQ(table->RecNo(), 4);
  }
  EXPECT_EQ(StoredCount(path), 4u);
}

TEST(WriteTest, AutoIncrementTakesTheDescriptorCounter) {
  TempDir dir;
  const std::string path = dir.File("auto.dbf");
  TQxDBFFieldDefs defs;
  defs.Add("ID", '+', 4);
  defs.Add("NAME", 'C', 8);
  TProxyStream proxy;
  proxy.SetFileName(path);
  TTableFlag flags;
  CreateTableFile(proxy, defs, xBaseVII, flags, false);
  auto table = OpenShared(path);
  for (const char* name : {"a", "b", "c"}) {
    table->Append();
    table->FieldByName("NAME").SetAsString(name);
    table->Post();
  }
  std::vector<int> ids;
  for (table->First(); !table->Eof(); table->Next()) ids.push_back(table->FieldByName("ID").AsInteger());
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 3}));
  const auto bytes = ReadAll(path);
  const size_t counter = 68 + 42;  // first 48-byte descriptor, NativeNextAutoInc
  EXPECT_EQ(bytes[counter], 4);
}

TEST(ConcurrencyTest, FourWritersAppendTenThousandRecords) {
  TempDir dir;
  const std::string path = MakeSales(dir);
  std::vector<std::unique_ptr<ChildProcess>> writers;
  for (int w = 1; w <= 4; ++w)
    writers.push_back(std::make_unique<ChildProcess>(
        std::vector<std::string>{ChildProgram("append_child"), path, std::to_string(w), "2500"}));
  for (auto& w : writers) EXPECT_EQ(w->Wait(), 0);

  EXPECT_EQ(StoredCount(path), 10000u);
  TQxDBFNTX table;
  table.SetDBFFileName(path);
  table.AccessMode().SetAccessMode(0x40);
  table.Open();
  EXPECT_EQ(table.RecordCount(), 10000);
  std::map<int, std::vector<int>> seen;
  for (table.First(); !table.Eof(); table.Next()) {
    const int writer = table.FieldByName("WRITER").AsInteger();
    const int seq = table.FieldByName("SEQ").AsInteger();
    const std::string text = table.FieldByName("TEXT").AsString();
    EXPECT_EQ(text.substr(0, text.find_last_not_of(' ') + 1),
              "writer " + std::to_string(writer) + " record " + std::to_string(seq));
    seen[writer].push_back(seq);
  }
  ASSERT_EQ(seen.size(), 4u);
  for (auto& [writer, seqs] : seen) {
    ASSERT_EQ(seqs.size(), 2500u) << "writer " << writer;
    // Each writer's records appear once each, in the order it wrote them.
    for (int i = 0; i < 2500; ++i) EXPECT_EQ(seqs[static_cast<size_t>(i)], i + 1);
  }
}

}  // namespace
}  // namespace qxdbf
