// Temporary file names: where the file goes, that it exists and is empty,
// and the empty answer when it cannot be made.
#include "dbf/temp_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "test_util.h"

namespace qxdbf {
namespace {

namespace fs = std::filesystem;

// Sets TMPDIR for one test and puts back what was there.
class ScopedTmpDir {
 public:
  explicit ScopedTmpDir(const char* value) {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    if (value)
      setenv("TMPDIR", value, 1);
    else
      unsetenv("TMPDIR");
  }
  ~ScopedTmpDir() {
    if (old_)
      setenv("TMPDIR", old_->c_str(), 1);
    else
      unsetenv("TMPDIR");
  }

 private:
  std::optional<std::string> old_;
};

// Moves into a directory for one test and back out again.
class ScopedWorkingDir {
 public:
  explicit ScopedWorkingDir(const fs::path& dir) : old_(fs::current_path()) {
    fs::current_path(dir);
  }
  ~ScopedWorkingDir() { fs::current_path(old_); }

 private:
  fs::path old_;
};

// The name is a fresh, empty, regular file named QxT... directly in `dir`.
void ExpectNewEmptyFileIn(const std::string& name, const fs::path& dir) {
  ASSERT_FALSE(name.empty());
  const fs::path file(name);
  EXPECT_TRUE(fs::is_regular_file(file)) << name;
  EXPECT_EQ(fs::file_size(file), 0u) << name;
  EXPECT_EQ(fs::canonical(file.parent_path()), fs::canonical(dir)) << name;
  EXPECT_EQ(file.filename().string().rfind("QxT", 0), 0u) << name;
}

TEST(MakeTempFileNameTest, CreatesUniqueEmptyFilesInTheGivenDirectory) {
  qxdbf_test::TempDir dir;
  const std::string a = MakeTempFileName(dir.path());
  const std::string b = MakeTempFileName(dir.path() + "/");
  ExpectNewEmptyFileIn(a, dir.path());
  ExpectNewEmptyFileIn(b, dir.path());
  EXPECT_NE(a, b);
  EXPECT_EQ(a.find("//"), std::string::npos) << a;
  EXPECT_EQ(b.find("//"), std::string::npos) << b;
}

TEST(MakeTempFileNameTest, EmptyDirectoryMeansTheCurrentOne) {
  qxdbf_test::TempDir dir;
  ScopedWorkingDir inside(dir.path());
  const std::string name = MakeTempFileName("");
  ExpectNewEmptyFileIn(name, dir.path());
  EXPECT_TRUE(fs::path(name).is_absolute()) << name;
}

TEST(MakeTempFileNameTest, MissingDirectoryGivesEmptyText) {
  qxdbf_test::TempDir dir;
  EXPECT_EQ(MakeTempFileName(dir.File("missing")), "");
  EXPECT_EQ(MakeTempFileName(dir.File("missing") + "/deeper/"), "");
  EXPECT_EQ(MakeTempFileName(std::string("bad\0name", 8)), "");
}

TEST(MakeTempFileNameTest, SystemPathUsesTmpDir) {
  qxdbf_test::TempDir dir;
  ScopedTmpDir tmp(dir.path().c_str());
  ExpectNewEmptyFileIn(MakeTempFileName(kSystemTempPath), dir.path());
}

TEST(MakeTempFileNameTest, SystemPathIsCutAtTheFirstBlank) {
  qxdbf_test::TempDir dir;
  fs::create_directory(dir.File("my"));
  fs::create_directory(dir.File("my dir"));
  const std::string with_blank = dir.File("my dir");
  ScopedTmpDir tmp(with_blank.c_str());
  const std::string name = MakeTempFileName(kSystemTempPath);
  ExpectNewEmptyFileIn(name, dir.File("my"));
  EXPECT_EQ(name.rfind(dir.File("my/QxT"), 0), 0u) << name;
  EXPECT_TRUE(fs::is_empty(dir.File("my dir")));
}

TEST(MakeTempFileNameTest, SystemPathWithoutTmpDirIsSlashTmp) {
  if (!fs::is_directory("/tmp") || access("/tmp", W_OK) != 0) GTEST_SKIP() << "no writable /tmp";
  ScopedTmpDir tmp(nullptr);
  const std::string name = MakeTempFileName(kSystemTempPath);
  ExpectNewEmptyFileIn(name, "/tmp");
  fs::remove(name);
}

TEST(MakeTempFileNameTest, LongDirectoryStillWorks) {
  qxdbf_test::TempDir dir;
  fs::path deep(dir.path());
  while (deep.string().size() < 400) deep /= std::string(60, 'd');
  fs::create_directories(deep);
  ExpectNewEmptyFileIn(MakeTempFileName(deep.string()), deep);
}

}  // namespace
}  // namespace qxdbf
