// Paths of the legacy files on a case-sensitive file system.
#include "app/legacy_paths.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace veltrix {
namespace {

TEST(LegacyPathsTest, ExactCaseOtherCaseAndMissing) {
  qxdbf_test::TempDir dir;
  qxdbf_test::WriteAll(dir.File("KQ000006.DAT"), {1});
  qxdbf_test::WriteAll(dir.File("kq000062.dat"), {1});
  EXPECT_EQ(LegacyPath(dir.path(), "KQ000006.DAT"), dir.File("KQ000006.DAT"));
  EXPECT_EQ(LegacyPath(dir.path(), "kq000006.dat"), dir.File("KQ000006.DAT"));
  EXPECT_EQ(LegacyPath(dir.path(), "KQ000062.DAT"), dir.File("kq000062.dat"));
  EXPECT_EQ(LegacyPath(dir.path(), "kq000009.dat"), dir.File("kq000009.dat"));
  EXPECT_EQ(LegacyPath(dir.path() + "/", "kq000009.dat"), dir.path() + "//kq000009.dat");
  EXPECT_EQ(LegacyPath("/no/such/dir", "x.dat"), "/no/such/dir/x.dat");
}

TEST(LegacyPathsTest, AbsentArguments) {
  char prog[] = "veltrix-monitor", empty[] = "", dir[] = "/data";
  char* argv[] = {prog, empty, dir};
  EXPECT_EQ(ArgumentOr(3, argv, 1, kDefaultDataDirectory), "/VELTRIX");
  EXPECT_EQ(ArgumentOr(3, argv, 2, "/VELTRIXW/BD.FDB"), "/data");
  EXPECT_EQ(ArgumentOr(3, argv, 3, ""), "");
}

}  // namespace
}  // namespace veltrix
