#include "dbf/proxy_stream.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbf/errors.h"
#include "dbf/mem_mgr.h"
#include "test_util.h"

namespace qxdbf {
namespace {

using qxdbf_test::ChildProgram;
using qxdbf_test::ReadAll;
using qxdbf_test::RunProgram;
using qxdbf_test::TempDir;
using qxdbf_test::WriteAll;

constexpr uint32_t kShared = 66;     // read-write, shared with everybody
constexpr uint32_t kExclusive = 18;  // read-write, nobody else
constexpr int32_t kMaxPosition = 2147483647;

// Clipper lock positions: the header byte, record n at kHeaderByte + n, and
// the file lock over the next 1000000000 bytes.
constexpr uint32_t kHeaderByte = 1000000000;
constexpr uint32_t kFileLockStart = 1000000001;
constexpr uint32_t kFileLockLength = 1000000000;

constexpr int kGranted = 0;
constexpr int kRefused = 1;

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

int Child(const std::vector<std::string>& args) {
  std::vector<std::string> argv{ChildProgram("lock_child")};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

int ChildLock(const std::string& path, uint32_t offset, uint32_t length) {
  return Child({"lock", path, std::to_string(offset), std::to_string(length)});
}

class ProxyFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("t.dbf");
    WriteAll(path_, {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
  }

  // Opens `proxy` on the test file with `packed`; answers IsOpen().
  bool OpenOn(TProxyStream& proxy, uint32_t packed, const std::string& path = "") {
    proxy.SetFileName(path.empty() ? path_ : path);
    proxy.AccessMode().SetAccessMode(packed);
    proxy.Open();
    return proxy.IsOpen();
  }

  TempDir dir_;
  std::string path_;
};

TEST_F(ProxyFileTest, OpenHonoursThePackedAccessAndRefusesInvalidModes) {
  struct Case {
    uint32_t packed;
    bool opens;
    bool reads;
    bool writes;
  };
  const Case cases[] = {
      {0x00, true, true, false},   {0x10, true, true, false},
      {0x20, true, true, false},   {0x40, true, true, false},
      {0x01, true, false, true},   {0x31, true, false, true},
      {kShared, true, true, true}, {kExclusive, true, true, true},
      {0x03, false, false, false},  // access 3
      {0x13, false, false, false}, {0x50, false, false, false},
      {0x60, false, false, false},  // deny-write and deny-none together
      {0x70, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.packed);
    TProxyStream proxy;
    ASSERT_EQ(OpenOn(proxy, c.packed), c.opens);
    uint8_t byte = 0;
    EXPECT_EQ(proxy.Read(&byte, 1), c.reads ? 1 : -1);
    EXPECT_EQ(proxy.Write("x", 1), c.writes ? 1 : -1);
    EXPECT_EQ(proxy.AccessMode().LastAccessMode(), c.packed);
  }
  EXPECT_EQ(ReadAll(path_).size(), 10u);
}

TEST_F(ProxyFileTest, OpenOfAMissingFileStaysClosedAndCreatesNothing) {
  TProxyStream proxy;
  const std::string missing = dir_.File("missing.dbf");
  EXPECT_FALSE(OpenOn(proxy, kShared, missing));
  EXPECT_FALSE(FileExists(missing));
  EXPECT_EQ(proxy.LastErrorText(), PlatformFile::ErrorText(ENOENT));
  EXPECT_EQ(proxy.Read(nullptr, 0), -1);
  EXPECT_EQ(proxy.GetSize(), -1);
  EXPECT_FALSE(proxy.Lock(kHeaderByte, 1));
  proxy.Close();  // closing a closed proxy does nothing
  proxy.Close();
  EXPECT_FALSE(proxy.IsOpen());
}

TEST_F(ProxyFileTest, OpenRefusesADirectory) {
  TProxyStream proxy;
  EXPECT_FALSE(OpenOn(proxy, 0x40, dir_.path()));
}

TEST_F(ProxyFileTest, SeekFollowsTheSigned32BitRules) {
  TProxyStream proxy;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  EXPECT_EQ(proxy.Seek(4, 0), 4);
  EXPECT_EQ(proxy.Seek(3, 1), 7);
  EXPECT_EQ(proxy.Seek(-2, 2), 8);
  EXPECT_EQ(proxy.Seek(-9, 1), -1);  // before the start
  EXPECT_EQ(proxy.Seek(0, 3), -1);   // unknown origin
  EXPECT_EQ(proxy.Seek(0, 1), 8);    // failures leave the position
  EXPECT_EQ(proxy.Seek(kMaxPosition, 0), kMaxPosition);
  EXPECT_EQ(proxy.Seek(1, 1), -1);     // past 2147483647
  EXPECT_EQ(proxy.Write("x", 1), -1);  // would end past 2147483647
  EXPECT_EQ(proxy.GetSize(), 10);

  // Past the end is a valid position; writing there fills the gap with zeros.
  EXPECT_EQ(proxy.Seek(14, 0), 14);
  EXPECT_EQ(proxy.Write("z", 1), 1);
  EXPECT_EQ(proxy.GetSize(), 15);
  const std::vector<uint8_t> bytes = ReadAll(path_);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 0, 0, 0,
                                         0, 'z'}));
}

TEST_F(ProxyFileTest, ReadStopsAtTheEndAndGetSizeKeepsThePosition) {
  TProxyStream proxy;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  ASSERT_EQ(proxy.Seek(6, 0), 6);
  EXPECT_EQ(proxy.GetSize(), 10);
  char buffer[8] = {};
  EXPECT_EQ(proxy.Read(buffer, 8), 4);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(proxy.Read(buffer, 8), 0);
  EXPECT_EQ(proxy.Read(buffer, -1), -1);
}

TEST_F(ProxyFileTest, TruncateEndsTheFileAtThePosition) {
  TProxyStream proxy;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  ASSERT_EQ(proxy.Seek(4, 0), 4);
  EXPECT_TRUE(proxy.Truncate());
  EXPECT_EQ(proxy.GetSize(), 4);
  EXPECT_EQ(proxy.Seek(0, 1), 4);
  proxy.Close();
  EXPECT_EQ(ReadAll(path_), (std::vector<uint8_t>{'0', '1', '2', '3'}));
}

TEST_F(ProxyFileTest, CreateStorageReplacesAFileNobodyHasOpen) {
  TProxyStream proxy;
  proxy.SetFileName(path_);
  proxy.AccessMode().SetAccessMode(0x00);  // the access mode plays no part
  proxy.CreateStorage();
  ASSERT_TRUE(proxy.IsOpen());
  EXPECT_EQ(proxy.GetSize(), 0);
  EXPECT_EQ(proxy.Write("abc", 3), 3);
  EXPECT_EQ(Child({"open-shared", path_}), kRefused);  // created with no sharing

  const std::string fresh = dir_.File("new.dbf");
  TProxyStream other;
  other.SetFileName(fresh);
  other.CreateStorage();
  EXPECT_TRUE(other.IsOpen());
  EXPECT_TRUE(FileExists(fresh));
}

TEST_F(ProxyFileTest, CreateStorageLeavesAFileSomeoneHasOpenUntouched) {
  TProxyStream holder;
  ASSERT_TRUE(OpenOn(holder, kShared));
  TProxyStream proxy;
  proxy.SetFileName(path_);
  proxy.CreateStorage();
  EXPECT_FALSE(proxy.IsOpen());
  EXPECT_EQ(ReadAll(path_).size(), 10u);
}

// Share modes between two proxies of this process: each open is its own
// descriptor, so they keep each other out as handles do.
TEST_F(ProxyFileTest, ShareModesBetweenProxiesOfOneProcess) {
  struct Case {
    uint32_t first;
    uint32_t second;
    bool second_opens;
  };
  const Case cases[] = {
      {kShared, kShared, true},     {kShared, kExclusive, false},
      {kExclusive, kShared, false}, {kExclusive, kExclusive, false},
      {0x00, 0x40, false},  // "no sharing" is exclusive
      {0x20, 0x42, true},           {0x30, 0x40, true},
      {0x40, 0x10, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + " then " + std::to_string(c.second));
    TProxyStream first;
    TProxyStream second;
    ASSERT_TRUE(OpenOn(first, c.first));
    EXPECT_EQ(OpenOn(second, c.second), c.second_opens);
    first.Close();
    EXPECT_TRUE(OpenOn(second, c.second));
  }
}

TEST_F(ProxyFileTest, AnExclusiveOpenKeepsOtherProgramsOut) {
  {
    TProxyStream proxy;
    ASSERT_TRUE(OpenOn(proxy, kExclusive));
    EXPECT_EQ(Child({"open-shared", path_}), kRefused);
    EXPECT_EQ(Child({"open-exclusive", path_}), kRefused);
  }  // destruction closes
  EXPECT_EQ(Child({"open-exclusive", path_}), kGranted);
}

TEST_F(ProxyFileTest, ASharedOpenKeepsAnotherProgramsExclusiveOpenOut) {
  TProxyStream proxy;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  EXPECT_EQ(Child({"open-exclusive", path_}), kRefused);
  EXPECT_EQ(Child({"open-shared", path_}), kGranted);
}

TEST_F(ProxyFileTest, ALockedByteIsRefusedToOtherProgramsAndProxiesUntilUnlocked) {
  const uint32_t record5 = kHeaderByte + 5;
  TProxyStream proxy;
  TProxyStream second;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  ASSERT_TRUE(OpenOn(second, kShared));
  ASSERT_TRUE(proxy.Lock(record5, 1));

  EXPECT_EQ(ChildLock(path_, record5, 1), kRefused);
  EXPECT_EQ(Child({"posix-lock", path_, std::to_string(record5), "1"}), kRefused);
  EXPECT_FALSE(second.Lock(record5, 1));
  EXPECT_EQ(ChildLock(path_, record5 + 1, 1), kGranted);
  EXPECT_TRUE(second.Lock(record5 + 1, 1));

  ASSERT_TRUE(proxy.Unlock(record5, 1));
  EXPECT_EQ(ChildLock(path_, record5, 1), kGranted);
  EXPECT_EQ(Child({"posix-lock", path_, std::to_string(record5), "1"}), kGranted);
  EXPECT_TRUE(second.Lock(record5, 1));
}

TEST_F(ProxyFileTest, TheFileLockRangeCoversTheRecordsButNotTheHeaderByte) {
  TProxyStream proxy;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  ASSERT_TRUE(proxy.Lock(kFileLockStart, kFileLockLength));
  struct Case {
    uint32_t offset;
    int expected;
  };
  const Case cases[] = {
      {kHeaderByte + 1, kRefused},           // record 1
      {kHeaderByte + 1000000000, kRefused},  // record 1000000000, the last byte
      {kHeaderByte, kGranted},               // header
      {kFileLockStart + kFileLockLength, kGranted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    EXPECT_EQ(ChildLock(path_, c.offset, 1), c.expected);
  }
  // Two locks of one proxy on separate ranges coexist.
  EXPECT_TRUE(proxy.Lock(kHeaderByte, 1));
  EXPECT_TRUE(proxy.Unlock(kFileLockStart, kFileLockLength));
  EXPECT_EQ(ChildLock(path_, kHeaderByte + 250, 1), kGranted);
  EXPECT_EQ(ChildLock(path_, kHeaderByte, 1), kRefused);
}

TEST_F(ProxyFileTest, LocksOfOneProxyFollowTheHandleRules) {
  TProxyStream proxy;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  ASSERT_TRUE(proxy.Lock(100, 10));
  EXPECT_FALSE(proxy.Lock(100, 10));  // the same range again
  EXPECT_FALSE(proxy.Lock(105, 1));   // inside
  EXPECT_FALSE(proxy.Lock(95, 6));    // overlapping the start
  EXPECT_FALSE(proxy.Lock(109, 5));   // overlapping the end
  EXPECT_FALSE(proxy.Lock(0, 200));   // around it
  EXPECT_TRUE(proxy.Lock(110, 5));    // adjacent
  EXPECT_TRUE(proxy.Lock(90, 10));    // adjacent below
  EXPECT_FALSE(proxy.Lock(200, 0));   // an empty range locks nothing

  EXPECT_FALSE(proxy.Unlock(100, 5));   // part of a held range
  EXPECT_FALSE(proxy.Unlock(100, 15));  // more than a held range
  EXPECT_FALSE(proxy.Unlock(300, 1));   // never locked
  EXPECT_FALSE(proxy.Unlock(kFileLockStart, kFileLockLength));
  EXPECT_TRUE(proxy.Unlock(100, 10));
  EXPECT_FALSE(proxy.Unlock(100, 10));  // already released
  EXPECT_EQ(ChildLock(path_, 100, 10), kGranted);
  EXPECT_EQ(ChildLock(path_, 110, 1), kRefused);  // the neighbours are still held
  EXPECT_EQ(ChildLock(path_, 99, 1), kRefused);
}

TEST_F(ProxyFileTest, CloseReleasesAndForgetsEveryLock) {
  TProxyStream proxy;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  ASSERT_TRUE(proxy.Lock(kHeaderByte, 1));
  ASSERT_TRUE(proxy.Lock(kFileLockStart, kFileLockLength));
  proxy.Close();
  EXPECT_EQ(ChildLock(path_, kHeaderByte, 1), kGranted);
  EXPECT_EQ(ChildLock(path_, kHeaderByte + 3, 1), kGranted);
  ASSERT_TRUE(OpenOn(proxy, kShared));
  EXPECT_FALSE(proxy.Unlock(kHeaderByte, 1));
  EXPECT_TRUE(proxy.Lock(kHeaderByte, 1));

  // Another descriptor of the file coming and going leaves them alone.
  {
    TProxyStream other;
    ASSERT_TRUE(OpenOn(other, kShared));
  }
  EXPECT_EQ(ChildLock(path_, kHeaderByte, 1), kRefused);

  // Reopening an open proxy is a close and an open: its locks go too.
  ASSERT_TRUE(OpenOn(proxy, kShared));
  EXPECT_EQ(ChildLock(path_, kHeaderByte, 1), kGranted);
}

TEST_F(ProxyFileTest, AReadOnlyProxyLocksAgainstWriters) {
  TProxyStream reader;
  ASSERT_TRUE(OpenOn(reader, 0x40));
  ASSERT_TRUE(reader.Lock(kHeaderByte, 1));
  EXPECT_EQ(ChildLock(path_, kHeaderByte, 1), kRefused);
  TProxyStream writer;
  ASSERT_TRUE(OpenOn(writer, kShared));
  EXPECT_FALSE(writer.Lock(kHeaderByte, 1));
  EXPECT_TRUE(reader.Unlock(kHeaderByte, 1));
  EXPECT_TRUE(writer.Lock(kHeaderByte, 1));
}

TEST_F(ProxyFileTest, LoadFromFileReplacesTheContentThroughATrackedBuffer) {
  const std::string source = dir_.File("source.bin");
  const std::vector<uint8_t> content = Pattern(150000);  // more than two buffers
  WriteAll(source, content);
  WriteAll(path_, Pattern(200000));
  TProxyStream proxy;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  ASSERT_EQ(proxy.Seek(500, 0), 500);
  const size_t tracked = GlobalMemMgr().Count();
  const uint64_t serial = GlobalMemMgr().NextSerial();
  proxy.LoadFromFile(source);
  EXPECT_EQ(GlobalMemMgr().NextSerial(), serial + 1);  // one buffer for the whole copy
  EXPECT_EQ(GlobalMemMgr().Count(), tracked);
  EXPECT_EQ(proxy.Seek(0, 1), 0);
  EXPECT_EQ(proxy.GetSize(), 150000);
  EXPECT_EQ(ReadAll(path_), content);

  EXPECT_THROW(proxy.LoadFromFile(dir_.File("missing.bin")), EQxDBFIoError);
  EXPECT_EQ(ReadAll(path_), content);

  TProxyStream reader;
  ASSERT_TRUE(OpenOn(reader, 0x40));
  EXPECT_THROW(reader.LoadFromFile(source), EQxDBFIoError);
  EXPECT_EQ(GlobalMemMgr().Count(), tracked);
}

// A write that fails part-way, once the buffer is taken, still gives the
// buffer back. Run in a child process whose file-size limit is lowered;
// answers its exit status: 0 when the load raised and the tracker holds what
// it held before.
int LoadUnderFileSizeLimit(TProxyStream& proxy, const std::string& source) {
  std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit;
  limit.rlim_cur = limit.rlim_max = 100000;
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
  const size_t tracked = GlobalMemMgr().Count();
  try {
    proxy.LoadFromFile(source);
  } catch (const EQxDBFIoError&) {
    return GlobalMemMgr().Count() == tracked ? 0 : 1;
  }
  return 1;
}

TEST_F(ProxyFileTest, LoadFromFileGivesTheBufferBackWhenAWriteFails) {
  const std::string source = dir_.File("source.bin");
  WriteAll(source, Pattern(150000));
  TProxyStream proxy;
  ASSERT_TRUE(OpenOn(proxy, kShared));
  EXPECT_EXIT(std::_Exit(LoadUnderFileSizeLimit(proxy, source)), ::testing::ExitedWithCode(0), "");
}

TEST(ProxyInnerStreamTest, ContentSurvivesCloseAndCreateStorageEmptiesIt) {
  TProxyStream proxy;
  proxy.SetProxyStreamType(pstInnerStream);
  EXPECT_EQ(proxy.Write("abc", 3), -1);  // not open yet
  proxy.CreateStorage();
  ASSERT_TRUE(proxy.IsOpen());
  ASSERT_EQ(proxy.Write("abcdef", 6), 6);
  proxy.Close();
  EXPECT_FALSE(proxy.IsOpen());
  EXPECT_EQ(proxy.Seek(0, 0), -1);

  proxy.Open();
  char buffer[6] = {};
  EXPECT_EQ(proxy.Read(buffer, 6), 6);
  EXPECT_EQ(std::string(buffer, 6), "abcdef");
  EXPECT_EQ(proxy.Seek(2, 0), 2);
  EXPECT_TRUE(proxy.Truncate());
  EXPECT_EQ(proxy.GetSize(), 2);
  EXPECT_TRUE(proxy.Lock(kHeaderByte, 1));
  EXPECT_TRUE(proxy.Lock(kHeaderByte, 1));
  EXPECT_TRUE(proxy.Unlock(7, 1));

  proxy.CreateStorage();
  EXPECT_EQ(proxy.GetSize(), 0);
  EXPECT_EQ(proxy.Seek(0, 1), 0);
}

TEST(ProxyInnerStreamTest, LoadFromFileReplacesTheContent) {
  TempDir dir;
  const std::string source = dir.File("source.bin");
  WriteAll(source, Pattern(70000));
  TProxyStream proxy;
  proxy.SetProxyStreamType(pstInnerStream);
  proxy.CreateStorage();
  proxy.Write("old content", 11);
  proxy.LoadFromFile(source);
  EXPECT_EQ(proxy.InnerStream().Data(), Pattern(70000));
  EXPECT_EQ(proxy.Seek(0, 1), 0);
  EXPECT_THROW(proxy.LoadFromFile(dir.File("missing.bin")), EQxDBFIoError);
  EXPECT_EQ(proxy.GetSize(), 70000);
}

TEST(ProxyInnerStreamTest, LoadFromFileRespectsAnExclusiveHolder) {
  TempDir dir;
  const std::string source = dir.File("source.bin");
  WriteAll(source, Pattern(10));
  TProxyStream holder;
  holder.SetFileName(source);
  holder.AccessMode().SetAccessMode(kExclusive);
  holder.Open();
  ASSERT_TRUE(holder.IsOpen());
  TProxyStream proxy;
  proxy.SetProxyStreamType(pstInnerStream);
  EXPECT_THROW(proxy.LoadFromFile(source), EQxDBFIoError);
}

class ProxyOuterStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    proxy_.SetProxyStreamType(pstOuterStream);
    proxy_.SetOuterStream(&outer_);
  }

  TMemoryStream outer_;
  TProxyStream proxy_;
};

TEST_F(ProxyOuterStreamTest, WorksOnTheLentStream) {
  outer_.Write("0123456789", 10);
  proxy_.Open();
  ASSERT_TRUE(proxy_.IsOpen());
  EXPECT_EQ(proxy_.Seek(0, 1), 0);
  EXPECT_EQ(proxy_.GetSize(), 10);
  EXPECT_EQ(proxy_.Seek(-3, 2), 7);
  EXPECT_TRUE(proxy_.Truncate());
  EXPECT_EQ(outer_.Size(), 7);
  proxy_.CreateStorage();
  EXPECT_EQ(outer_.Size(), 0);
  proxy_.Close();
  EXPECT_FALSE(proxy_.IsOpen());

  TProxyStream without;
  without.SetProxyStreamType(pstOuterStream);
  without.Open();
  EXPECT_FALSE(without.IsOpen());
  without.CreateStorage();
  EXPECT_FALSE(without.IsOpen());
  EXPECT_THROW(without.LoadFromFile("anything"), EQxDBFBadArgument);
}

TEST_F(ProxyOuterStreamTest, LocksSucceedWithoutHandlers) {
  proxy_.Open();
  EXPECT_TRUE(proxy_.Lock(kHeaderByte, 1));
  EXPECT_TRUE(proxy_.Lock(kHeaderByte, 1));
  EXPECT_TRUE(proxy_.Unlock(kFileLockStart, kFileLockLength));
}

TEST_F(ProxyOuterStreamTest, LocksAskTheHandlersWithTheFlagPresetToFalse) {
  int lock_calls = 0;
  bool grant = true;
  proxy_.OnLockEvent = [&](TProxyStream& sender, TProxyStreamType type, TStream* stream,
                           bool& success) {
    ++lock_calls;
    EXPECT_EQ(&sender, &proxy_);
    EXPECT_EQ(type, pstOuterStream);
    EXPECT_EQ(stream, &outer_);
    EXPECT_FALSE(success);
    success = grant;
  };
  int unlock_calls = 0;
  proxy_.OnUnlockEvent = [&](TProxyStream&, TProxyStreamType, TStream*, bool&) {
    ++unlock_calls;  // leaves the flag as it came
  };
  EXPECT_TRUE(proxy_.Lock(1, 1));
  grant = false;
  EXPECT_FALSE(proxy_.Lock(1, 1));
  EXPECT_FALSE(proxy_.Unlock(1, 1));
  EXPECT_EQ(lock_calls, 2);
  EXPECT_EQ(unlock_calls, 1);
}

TEST_F(ProxyOuterStreamTest, LoadFromFileCopiesTheWholeFileAndRewinds) {
  TempDir dir;
  const std::string source = dir.File("source.bin");
  WriteAll(source, Pattern(130000));
  outer_.Write("stale", 5);
  proxy_.LoadFromFile(source);
  EXPECT_EQ(outer_.Data(), Pattern(130000));
  EXPECT_EQ(outer_.Seek(0, 1), 0);
}

TEST(ProxyStreamTest, ChangingTheTypeClosesTheOpenStorage) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  WriteAll(path, Pattern(4));
  TProxyStream proxy;
  proxy.SetFileName(path);
  proxy.AccessMode().SetAccessMode(kExclusive);
  proxy.Open();
  ASSERT_TRUE(proxy.IsOpen());
  proxy.SetProxyStreamType(pstInnerStream);
  EXPECT_FALSE(proxy.IsOpen());
  EXPECT_EQ(Child({"open-exclusive", path}), kGranted);
}

TEST(ProxyStreamTest, AnUnknownStorageTypeDoesNothing) {
  TProxyStream proxy;
  proxy.SetProxyStreamType(static_cast<TProxyStreamType>(7));
  proxy.Open();
  proxy.CreateStorage();
  EXPECT_FALSE(proxy.IsOpen());
  uint8_t byte = 0;
  EXPECT_EQ(proxy.Read(&byte, 1), -1);
  EXPECT_EQ(proxy.Write(&byte, 1), -1);
  EXPECT_EQ(proxy.Seek(0, 0), -1);
  EXPECT_EQ(proxy.GetSize(), -1);
  EXPECT_FALSE(proxy.Truncate());
  EXPECT_FALSE(proxy.Lock(0, 1));
  EXPECT_FALSE(proxy.Unlock(0, 1));
}

TEST(PlatformFileHelpersTest, RenameNeverReplacesAndDeleteRemoves) {
  TempDir dir;
  const std::string a = dir.File("a.dbf");
  const std::string b = dir.File("b.dbf");
  WriteAll(a, {'a'});
  WriteAll(b, {'b'});
  EXPECT_GT(FileModificationTime(a), 0);
  EXPECT_EQ(FileModificationTime(dir.File("none")), -1);
  EXPECT_FALSE(RenameFile(a, b));
  EXPECT_EQ(ReadAll(b), std::vector<uint8_t>{'b'});
  EXPECT_TRUE(DeleteFile(b));
  EXPECT_FALSE(FileExists(b));
  EXPECT_FALSE(DeleteFile(b));
  EXPECT_TRUE(RenameFile(a, b));
  EXPECT_FALSE(FileExists(a));
  EXPECT_EQ(ReadAll(b), std::vector<uint8_t>{'a'});
  EXPECT_FALSE(FileExists(dir.path()));  // a directory is not a file
}

}  // namespace
}  // namespace qxdbf
