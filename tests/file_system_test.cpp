#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/error.h"
#include "core/text.h"
#include "platform/file_system.h"
#include "platform/local_time.h"
#include "test_support.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> sCount{0};
    fRoot = fs::temp_directory_path() /
            ("qv_fs_" + std::to_string(sCount++) + "_" +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(fRoot, ec);
  }
  std::u16string Path(const fs::path& aRelative) const { return (fRoot / aRelative).u16string(); }

  fs::path fRoot;
};

TEST(PathTest, JoinAndFileName) {
  const std::u16string d(1, PathDelimiter());
  struct Case {
    std::u16string fDirectory, fName, fJoined;
  };
  for (const Case& c : {Case{u"dir", u"a.log", u"dir" + d + u"a.log"},
                        Case{u"dir" + d, u"a.log", u"dir" + d + u"a.log"},
                        Case{u"", u"a.log", u"a.log"},
                        Case{d + u"x" + d + u"y", u"b", d + u"x" + d + u"y" + d + u"b"}}) {
    SCOPED_TRACE(ToUtf8(c.fJoined));
    EXPECT_EQ(JoinPath(c.fDirectory, c.fName), c.fJoined);
    EXPECT_EQ(ExtractFileName(c.fJoined), c.fName);
  }
  EXPECT_EQ(ExtractFileName(u"dir" + d), u"");
}

TEST(PathTest, InvalidCharacters) {
  EXPECT_NO_THROW(CheckPathChars(u"some dir/a_b-c.log"));
  EXPECT_QV_ERROR(CheckPathChars(u"a" + std::u16string(1, u'\0') + u"b"),
                  u"Invalid characters in path");
}

TEST_F(FileSystemTest, DirectoriesSizesAndRename) {
  const std::u16string deep = Path(fs::path("a") / "b" / "c");
  EXPECT_FALSE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep)) << "an existing directory is fine";

  const std::u16string file = Path("a/one.log");
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(FileSize(file), -1);
  EXPECT_EQ(FileSize(deep), -1) << "a directory has no file size";
  EXPECT_FALSE(FileExists(deep));
  ASSERT_TRUE(AppendToFile(file, "12345"));
  ASSERT_TRUE(AppendToFile(file, "678"));
  EXPECT_TRUE(FileExists(file));
  EXPECT_EQ(FileSize(file), 8);

  // A directory below a plain file cannot be made.
  EXPECT_FALSE(ForceDirectories(Path("a/one.log/sub")));

  const std::u16string other = Path("a/two.log");
  ASSERT_TRUE(AppendToFile(other, "x"));
  EXPECT_FALSE(RenameFile(file, other)) << "an existing target is never replaced";
  EXPECT_EQ(FileSize(other), 1);
  const std::u16string moved = Path("a/three.log");
  EXPECT_TRUE(RenameFile(file, moved));
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(FileSize(moved), 8);
  EXPECT_FALSE(RenameFile(file, Path("a/four.log"))) << "the source is gone";
}

TEST_F(FileSystemTest, AppendFileRefusesOtherWritersButNotReaders) {
  ASSERT_TRUE(ForceDirectories(fRoot.u16string()));
  const std::u16string file = Path("shared.log");
  {
    auto first = qAppendFile::Open(file);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->Append("abc"));
    EXPECT_FALSE(qAppendFile::Open(file));
    EXPECT_FALSE(AppendToFile(file, "no"));
    std::ifstream reader(fs::path(file), std::ios::binary);
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), "abc");
  }
  EXPECT_TRUE(AppendToFile(file, "def"));
  EXPECT_EQ(FileSize(file), 6);
  EXPECT_FALSE(qAppendFile::Open(Path("missing/dir/x.log")));
}

TEST(LocalTimeTest, AgreesWithTheCLibrary) {
  // Read the C library's local time on both sides of ours so that a turn
  // of the minute in between cannot fail the test.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t t1 = std::time(nullptr);
    const DateTimeParts now = LocalTimeNow();
    const std::time_t t2 = std::time(nullptr);
    const std::tm a = *std::localtime(&t1);
    const std::tm b = *std::localtime(&t2);
    if (a.tm_min != b.tm_min) continue;
    EXPECT_EQ(now.fYear, a.tm_year + 1900);
    EXPECT_EQ(now.fMonth, a.tm_mon + 1);
    EXPECT_EQ(now.fDay, a.tm_mday);
    EXPECT_EQ(now.fHour, a.tm_hour);
    EXPECT_EQ(now.fMinute, a.tm_min);
    EXPECT_GE(now.fMillisecond, 0);
    EXPECT_LE(now.fMillisecond, 999);
    return;
  }
  ADD_FAILURE() << "the minute kept turning";
}

}  // namespace
}  // namespace qv
