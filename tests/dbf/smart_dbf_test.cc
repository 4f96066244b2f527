// Table lifecycle: defaults, open and close, failures, field access and
// the dataset states.
#include "dbf/smart_dbf.h"

#include <gtest/gtest.h>

#include "dbf/errors.h"
#include "test_util.h"

namespace qxdbf {
namespace {

using qxdbf_test::BuildTable;
using qxdbf_test::ReadAll;
using qxdbf_test::TempDir;
using qxdbf_test::WriteAll;

std::string Legacy(const TempDir& dir, bool eof = true) {
  const std::string path = dir.File("kq000006.dat");
  WriteAll(path, BuildTable({{"CODIGO", 'C', 6}, {"QUANT", 'N', 10, 3}, {"DATA", 'D', 8}, {"ATIVO", 'L', 1}},
                            {" 000123    12.500" "20240229" "T", "*000124    -3.000" "        " "F"},
                            0x03, eof));
  return path;
}

TEST(SmartDbfTest, Defaults) {
  TQxDBFNTX ntx;
  EXPECT_EQ(ntx.LockProtocol(), lpClipperLock);
  EXPECT_EQ(ntx.LobLockProtocol(), lpClipperLock);
  EXPECT_EQ(ntx.AccessMode().AccessMode(), 16u);
  EXPECT_EQ(ntx.BufferSize(), 4096);
  EXPECT_EQ(ntx.WaitBusyRes(), 3000);
  EXPECT_EQ(ntx.DbfVersion(), xBaseIII);
  EXPECT_EQ(ntx.LobBlockSize(), 512);
  EXPECT_EQ(ntx.StorageType(), pstFile);
  EXPECT_FALSE(ntx.SetDeleted() || ntx.OEM() || ntx.TrimCType() || ntx.FastPostRecord());
  TQxSmartDBF smart;
  EXPECT_EQ(smart.LockProtocol(), lpNone);
  EXPECT_EQ(smart.LobLockProtocol(), lpNone);
}

TEST(SmartDbfTest, ReadsTheLegacyFieldTypes) {
  TempDir dir;
  TQxDBFNTX table;
  table.SetDBFFileName(Legacy(dir));
  table.AccessMode().SetAccessMode(66);
  table.Open();
  EXPECT_EQ(table.FieldCount(), 4);
  EXPECT_EQ(table.FieldByName("codigo").AsString(), "000123");
  EXPECT_EQ(table.FieldByName("QUANT").AsFloat(), 12.5);
  EXPECT_EQ(table.FieldByName("QUANT").AsCurrency(), 125000);
  EXPECT_EQ(table.FieldByName("DATA").AsString(), "2024-02-29");
  EXPECT_TRUE(table.FieldByName("ATIVO").AsBoolean());
  EXPECT_FALSE(table.Deleted());
  table.Next();
  EXPECT_TRUE(table.Deleted());
  EXPECT_EQ(table.FieldByName("QUANT").AsInteger(), -3);
  EXPECT_TRUE(table.FieldByName("DATA").IsNull());
  EXPECT_EQ(table.FieldByName("DATA").AsDateTime(), 0);
  EXPECT_THROW(table.FieldByName("NOPE"), EQxDBFError);
}

TEST(SmartDbfTest, OpenFailures) {
  TempDir dir;
  TQxDBFNTX table;
  table.SetDBFFileName(dir.File("missing.dbf"));
  try {
    table.Open();
    FAIL();
  } catch (const EQxDBFError& e) {
    EXPECT_EQ(std::string(e.what()), "TQxSmartDBF.InternalOpen: Open error \"" + dir.File("missing.dbf") + "\"");
  }
  EXPECT_FALSE(table.Active());
  EXPECT_FALSE(qxdbf_test::FileExists(dir.File("missing.dbf")));
}

TEST(SmartDbfTest, BufferSizeAgainstRecordLength) {
  for (int record_length : {4096, 4097}) {
    SCOPED_TRACE(record_length);
    TempDir dir;
    const std::string path = dir.File("big.dbf");
    const std::string body(static_cast<size_t>(record_length - 1), 'x');
    WriteAll(path, BuildTable({{"A", 'C', 0}}, {" " + body, " " + body}, 0x03, false, -1, record_length));
    // Patch the C field's 16-bit length to the record's width.
    auto bytes = ReadAll(path);
    bytes[32 + 16] = static_cast<uint8_t>((record_length - 1) & 0xFF);
    bytes[32 + 17] = static_cast<uint8_t>((record_length - 1) >> 8);
    WriteAll(path, bytes);
    TQxDBFNTX table;
    table.SetDBFFileName(path);
    table.AccessMode().SetAccessMode(66);
    if (record_length == 4097) {
      try {
        table.Open();
        FAIL();
      } catch (const EQxDBFError& e) {
        EXPECT_STREQ(e.what(), "TQxSmartDBF.InternalOpen: BufferSize too small!");
      }
      EXPECT_FALSE(table.Active());
      // The close ran: the read-write open left its end-of-file marker.
      EXPECT_EQ(ReadAll(path).back(), 0x1A);
    } else {
      table.Open();
      table.Next();
      EXPECT_EQ(table.RecNo(), 2);
      EXPECT_EQ(table.ReadCalls(), 2);  // one record per window
    }
  }
}

TEST(SmartDbfTest, CloseAddsTheEndMarkerOnlyForReadWrite) {
  struct Case { uint32_t mode; bool grows; };
  for (const Case c : {Case{66, true}, Case{18, true}, Case{0x40, false}, Case{0x10, false}}) {
    SCOPED_TRACE(c.mode);
    TempDir dir;
    const std::string path = Legacy(dir, false);
    const size_t size = ReadAll(path).size();
    {
      TQxDBFNTX table;
      table.SetDBFFileName(path);
      table.AccessMode().SetAccessMode(c.mode);
      table.Open();
      table.Close();
    }
    const auto after = ReadAll(path);
    EXPECT_EQ(after.size(), c.grows ? size + 1 : size);
    if (c.grows) {
      EXPECT_EQ(after.back(), 0x1A);
    }
  }
}

TEST(SmartDbfTest, SettingsThatNeedAClosedTable) {
  TempDir dir;
  TQxDBFNTX table;
  table.SetDBFFileName(Legacy(dir));
  table.AccessMode().SetAccessMode(66);
  table.Open();
  EXPECT_THROW(table.SetLockProtocol(lpNone), EQxDBFError);
  EXPECT_EQ(table.LockProtocol(), lpClipperLock);
  try {
    table.SetLobLockProtocol(lpNone);
  } catch (const EQxDBFError& e) {
    EXPECT_STREQ(e.what(), "TQxSmartDBF.SetLobLockProtocol: Can't change lock protocol while dataset is active!");
  }
  const auto before = ReadAll(table.DBFFileName());
  try {
    table.CreateTable();
    FAIL();
  } catch (const EQxDBFError& e) {
    EXPECT_STREQ(e.what(), "TQxSmartDBF.CreateTable: Can not create table while dataset is open");
  }
  table.Close();
  EXPECT_EQ(ReadAll(table.DBFFileName()), before);
  table.SetLockProtocol(lpNone);
  EXPECT_EQ(table.LockProtocol(), lpNone);
}

TEST(SmartDbfTest, EventsAndStates) {
  TempDir dir;
  TQxDBFNTX table;
  table.SetDBFFileName(Legacy(dir));
  table.AccessMode().SetAccessMode(66);
  std::vector<std::string> log;
  auto note = [&log](const char* what) { return [&log, what](TDataSet&) { log.push_back(what); }; };
  table.BeforeOpen = note("BeforeOpen");
  table.AfterOpen = note("AfterOpen");
  table.BeforeScroll = note("BeforeScroll");
  table.AfterScroll = note("AfterScroll");
  table.BeforeInsert = note("BeforeInsert");
  table.OnNewRecord = note("OnNewRecord");
  table.AfterInsert = note("AfterInsert");
  table.BeforeCancel = note("BeforeCancel");
  table.AfterCancel = note("AfterCancel");
  table.BeforeClose = note("BeforeClose");
  table.AfterClose = note("AfterClose");
  table.Open();
  EXPECT_EQ(table.State(), dsBrowse);
  table.Insert();
  EXPECT_EQ(table.State(), dsInsert);
  EXPECT_EQ(table.RecNo(), 0);
  table.FieldByName("CODIGO").SetAsString("999");
  EXPECT_EQ(table.FieldByName("CODIGO").AsString(), "999   ");
  EXPECT_TRUE(table.FieldByName("QUANT").IsNull());
  table.Cancel();
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(table.FieldByName("CODIGO").AsString(), "000123");
  EXPECT_THROW(table.FieldByName("CODIGO").SetAsString("1"), EQxDBFError);
  table.Close();
  EXPECT_EQ(log, (std::vector<std::string>{"BeforeOpen", "AfterOpen",
                                           "BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                                           "AfterScroll", "BeforeCancel", "AfterCancel", "BeforeClose",
                                           "AfterClose"}));
}

TEST(SmartDbfTest, ReadOnlyFieldsAndCalculatedFields) {
  TempDir dir;
  TQxDBFNTX table;
  table.SetDBFFileName(Legacy(dir));
  table.AccessMode().SetAccessMode(66);
  table.AddCalculatedField("DOUBLE", ftFloat);
  table.OnCalcFields = [](TDataSet& ds) {
    ds.FieldByName("DOUBLE").SetAsFloat(ds.FieldByName("QUANT").AsFloat() * 2);
  };
  table.Open();
  EXPECT_EQ(table.FieldByName("DOUBLE").AsFloat(), 25.0);
  table.Next();
  EXPECT_EQ(table.FieldByName("DOUBLE").AsFloat(), -6.0);
  table.Insert();
  table.FieldByName("CODIGO").SetReadOnly(true);
  try {
    table.FieldByName("CODIGO").SetAsString("x");
    FAIL();
  } catch (const EQxDBFError& e) {
    EXPECT_STREQ(e.what(), "Field 'CODIGO' cannot be modified");
  }
  table.Cancel();
}

}  // namespace
}  // namespace qxdbf
