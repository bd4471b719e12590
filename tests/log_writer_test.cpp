#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/error.h"
#include "core/text.h"
#include "log/log_writer.h"
#include "platform/file_system.h"
#include "platform/local_time.h"
#include "test_support.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::u16string U(const fs::path& aPath) { return aPath.u16string(); }

std::string ReadAll(const fs::path& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The lines of a log file less their time stamp and separator (" - " or
// " - ERROR - " is kept), checking that each one is ended by CR LF.
std::vector<std::string> Messages(const fs::path& aPath) {
  std::vector<std::string> result;
  const std::string text = ReadAll(aPath);
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      ADD_FAILURE() << "line without CR LF at the end of " << aPath;
      break;
    }
    const std::string line = text.substr(pos, end - pos);
    EXPECT_GE(line.size(), 23u) << line;
    result.push_back(line.size() >= 23 ? line.substr(23) : line);
    pos = end + 2;
  }
  return result;
}

std::string Today() {
  const DateTimeParts now = LocalTimeNow();
  char buf[16];
  snprintf(buf, sizeof buf, "%04d%02d%02d", now.fYear, now.fMonth, now.fDay);
  return buf;
}

std::string StampNow() {
  const DateTimeParts t = LocalTimeNow();
  char buf[32];
  snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d:%03d", t.fYear, t.fMonth, t.fDay,
           t.fHour, t.fMinute, t.fSecond, t.fMillisecond);
  return buf;
}

// Polls aCondition for up to 20 seconds; the tests only wait for the log
// thread to reach a state, they never assert how fast it gets there.
template <typename Condition>
bool Eventually(Condition aCondition) {
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (!aCondition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

std::string Numbered(int aIndex) { return "line " + std::to_string(aIndex); }

class LogWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> sCount{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fRoot = fs::temp_directory_path() /
            ("qv_log_" + std::string(info->name()) + "_" + std::to_string(sCount++) + "_" +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::remove_all(fRoot);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(fRoot, ec);
  }

  // Holds the writers' lock on aPath from another thread for aDuration, as
  // a second writer of the same file would.
  std::thread HoldLock(const fs::path& aPath, std::chrono::milliseconds aDuration) {
    auto file = qAppendFile::Open(U(aPath));
    EXPECT_TRUE(file);
    return std::thread([file = std::move(file), aDuration]() mutable {
      std::this_thread::sleep_for(aDuration);
      file.reset();
    });
  }

  fs::path fRoot;
};

TEST_F(LogWriterTest, FileNamesAndDirectoryWithMissingParents) {
  struct Case {
    const char* fBase;
    bool fDaily;
  };
  for (const Case& c : {Case{"QVPA_ZELQ_10_Till01", true}, Case{"App", false}}) {
    SCOPED_TRACE(c.fBase);
    const fs::path dir = fRoot / c.fBase / "LogFiles" / "Payment";
    const std::string before = Today();
    tQV_LogWriter writer(FromUtf8(c.fBase), U(dir), 0, c.fDaily);
    const std::string after = Today();

    const std::u16string name = writer.FileName();
    if (c.fDaily) {
      EXPECT_TRUE(name == U(dir / (std::string(c.fBase) + "_" + before + ".log")) ||
                  name == U(dir / (std::string(c.fBase) + "_" + after + ".log")))
          << ToUtf8(name);
    } else {
      EXPECT_EQ(name, U(dir / "App.log"));
    }
    EXPECT_EQ(writer.Directory(), U(dir));
    EXPECT_EQ(writer.Daily(), c.fDaily);
    EXPECT_EQ(writer.MaxLogFileSize(), 5000);
    EXPECT_TRUE(fs::is_directory(dir));
    // The file itself only comes with the first line.
    EXPECT_FALSE(fs::exists(fs::path(name)));
    writer.Write(let_info, u"hello");
    ASSERT_TRUE(Eventually([&] { return FileExists(name); }));
  }
}

TEST_F(LogWriterTest, LineLayout) {
  struct Case {
    tQV_MessageType fType;
    std::u16string fMessage;
    std::string fExpected;
  };
  const std::vector<Case> cases = {
      {let_info, u"x", " - x"},
      {let_error, u"x", " - ERROR - x"},
      {let_info, u"", " - "},
      {let_info, u"Gr\u00fc\u00dfe \u20ac \U0001F600", " - Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {let_error, u"first\r\nsecond", " - ERROR - first\r\nsecond"},
  };
  const std::string before = StampNow();
  std::u16string name;
  {
    tQV_LogWriter writer(u"Layout", U(fRoot), 0, false);
    name = writer.FileName();
    for (const Case& c : cases) writer.Write(c.fType, c.fMessage);
  }
  const std::string after = StampNow();

  const std::string text = ReadAll(fs::path(name));
  const std::regex stamp(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}:\d{3})");
  size_t pos = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fExpected);
    ASSERT_LE(pos + 23, text.size());
    const std::string ts = text.substr(pos, 23);
    EXPECT_TRUE(std::regex_match(ts, stamp)) << ts;
    // The layout sorts like time, so the local time of the call lies between
    // the clock read before and after.
    EXPECT_LE(before, ts);
    EXPECT_GE(after, ts);
    EXPECT_EQ(text.substr(pos + 23, c.fExpected.size() + 2), c.fExpected + "\r\n");
    pos += 23 + c.fExpected.size() + 2;
  }
  EXPECT_EQ(pos, text.size()) << "no BOM, nothing extra";
}

TEST_F(LogWriterTest, MessageLimit) {
  const std::u16string message = u"abcdefghijklmnopqrstuvwxy";  // 25 characters
  struct Case {
    int fLimit;
    std::u16string fMessage;
    std::string fExpected;
  };
  const std::vector<Case> cases = {
      {10, message, " - abcdefghij"},
      {0, message, " - abcdefghijklmnopqrstuvwxy"},
      {-1, message, " - abcdefghijklmnopqrstuvwxy"},
      {25, message, " - abcdefghijklmnopqrstuvwxy"},
      // A surrogate pair is never split.
      {3, u"ab\U0001F600", " - ab"},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fLimit);
    std::u16string name;
    {
      tQV_LogWriter writer(u"Limit" + IntToStr(row++), U(fRoot), c.fLimit, false);
      EXPECT_EQ(writer.MaxMessageLength(), c.fLimit);
      name = writer.FileName();
      writer.Write(let_info, c.fMessage);
    }
    EXPECT_EQ(Messages(fs::path(name)), std::vector<std::string>{c.fExpected});
  }
}

TEST_F(LogWriterTest, DestroyWritesEveryQueuedLine) {
  std::u16string name;
  std::vector<std::string> expected;
  {
    auto writer = std::make_unique<tQV_LogWriter>(u"Drain", U(fRoot), 0, false);
    name = writer->FileName();
    // Another writer holds the file for a while (less than the 10 attempts
    // of a line), so the lines are still queued when the writer goes.
    std::thread holder = HoldLock(fs::path(name), 200ms);
    for (int i = 0; i < 100; ++i) {
      writer->Write(let_info, FromUtf8(Numbered(i)));
      expected.push_back(" - " + Numbered(i));
    }
    writer.reset();
    holder.join();
  }
  EXPECT_EQ(Messages(fs::path(name)), expected);
}

TEST_F(LogWriterTest, TwoWritersOfOneFileKeepTheirOwnOrder) {
  // Two devices with the same driver key and log id share one daily file;
  // their lines interleave, each writer's in its own order, none lost.
  constexpr int kLines = 1500;
  std::u16string name;
  {
    tQV_LogWriter a(u"Shared", U(fRoot), 0, true);
    tQV_LogWriter b(u"Shared", U(fRoot), 0, true);
    name = a.FileName();
    ASSERT_EQ(b.FileName(), name);
    for (int i = 0; i < kLines; ++i) {
      a.Write(let_info, u"a " + IntToStr(i));
      b.Write(let_error, u"b " + IntToStr(i));
    }
  }
  int nextA = 0, nextB = 0;
  for (const std::string& m : Messages(fs::path(name))) {
    if (m.rfind(" - a ", 0) == 0)
      EXPECT_EQ(m, " - a " + std::to_string(nextA++));
    else
      EXPECT_EQ(m, " - ERROR - b " + std::to_string(nextB++));
  }
  EXPECT_EQ(nextA, kLines);
  EXPECT_EQ(nextB, kLines);
}

TEST_F(LogWriterTest, FileOverTheLimitIsSetAsideFirst) {
  ASSERT_TRUE(ForceDirectories(U(fRoot)));
  std::u16string name;
  {
    tQV_LogWriter writer(u"Roll", U(fRoot), 0, true);
    name = writer.FileName();
    writer.SetMaxLogFileSize(1);  // 1024 bytes
    ASSERT_TRUE(AppendToFile(name, std::string(1025, 'x')));
    writer.Write(let_info, u"fresh");
  }
  EXPECT_EQ(Messages(fs::path(name)), std::vector<std::string>{" - fresh"});

  const std::string stem = fs::path(name).stem().u8string();
  const std::regex setAside(stem + R"(_\d{17}\.log)");
  std::vector<fs::path> others;
  for (const auto& entry : fs::directory_iterator(fRoot))
    if (entry.path() != fs::path(name)) others.push_back(entry.path());
  ASSERT_EQ(others.size(), 1u);
  EXPECT_TRUE(std::regex_match(others[0].filename().u8string(), setAside)) << others[0];
  EXPECT_EQ(ReadAll(others[0]), std::string(1025, 'x'));
}

TEST_F(LogWriterTest, FileExactlyAtTheLimitStays) {
  ASSERT_TRUE(ForceDirectories(U(fRoot)));
  std::u16string name;
  {
    tQV_LogWriter writer(u"Edge", U(fRoot), 0, false);
    name = writer.FileName();
    writer.SetMaxLogFileSize(1);
    ASSERT_TRUE(AppendToFile(name, std::string(1024, 'x')));
    writer.Write(let_info, u"more");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(fRoot), fs::directory_iterator()), 1);
  EXPECT_EQ(FileSize(name), 1024 + 23 + 7 + 2);
}

TEST_F(LogWriterTest, RepeatedRollOversLoseNoLine) {
  constexpr int kLines = 300;
  std::u16string name;
  {
    tQV_LogWriter writer(u"Many", U(fRoot), 0, false);
    name = writer.FileName();
    writer.SetMaxLogFileSize(1);
    for (int i = 0; i < kLines; ++i)
      writer.Write(let_info, FromUtf8(Numbered(i) + std::string(80, '.')));
  }
  // Set-aside names carry the time of the roll-over, so sorted by name they
  // come in the order they were written, the current file last.
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fRoot))
    if (entry.path() != fs::path(name)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  EXPECT_GE(files.size(), 1u);
  files.push_back(fs::path(name));
  int next = 0;
  for (const fs::path& file : files)
    for (const std::string& m : Messages(file))
      EXPECT_EQ(m, " - " + Numbered(next++) + std::string(80, '.'));
  EXPECT_EQ(next, kLines);
}

TEST_F(LogWriterTest, LockedFileIsRetriedThenGivenUpAndLaterLinesGetThrough) {
  tQV_LogWriter writer(u"Locked", U(fRoot), 0, false);
  const std::u16string name = writer.FileName();
  {
    auto other = qAppendFile::Open(name);
    ASSERT_TRUE(other);
    const auto start = std::chrono::steady_clock::now();
    writer.Write(let_info, u"dropped");
    ASSERT_TRUE(Eventually([&] { return writer.DroppedLines() == 1; }));
    // Ten attempts with 50 ms between them take at least 450 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 450ms);
  }
  writer.Write(let_info, u"kept");
  ASSERT_TRUE(Eventually([&] { return !Messages(fs::path(name)).empty(); }));
  EXPECT_EQ(Messages(fs::path(name)), std::vector<std::string>{" - kept"});
  EXPECT_EQ(writer.DroppedLines(), 1u);
}

TEST_F(LogWriterTest, UncreatableDirectoryDropsLinesQuietly) {
  // A directory below a plain file can never be made.
  ASSERT_TRUE(ForceDirectories(U(fRoot)));
  ASSERT_TRUE(AppendToFile(U(fRoot / "blocker"), "x"));
  const fs::path bad = fRoot / "blocker" / "sub";
  std::unique_ptr<tQV_LogWriter> writer;
  ASSERT_NO_THROW(writer = std::make_unique<tQV_LogWriter>(u"Lost", U(bad), 0, false));
  EXPECT_FALSE(fs::exists(bad));
  EXPECT_NO_THROW(writer->Write(let_error, u"nowhere"));
  ASSERT_TRUE(Eventually([&] { return writer->DroppedLines() == 1; }));

  // The writer keeps working once it has somewhere to write.
  const fs::path good = fRoot / "good";
  writer->SetDirectory(U(good));
  writer->Write(let_info, u"somewhere");
  writer.reset();
  EXPECT_EQ(Messages(good / "Lost.log"), std::vector<std::string>{" - somewhere"});
}

TEST_F(LogWriterTest, DirectoryMovesTheFileName) {
  tQV_LogWriter writer(u"App", U(fRoot / "first"), 0, false);
  struct Case {
    std::u16string fDirectory;
    std::u16string fExpected;
  };
  const std::u16string second = U(fRoot / "second");
  const std::vector<Case> cases = {
      {second, second + PathDelimiter() + u"App.log"},
      {second + PathDelimiter(), second + PathDelimiter() + u"App.log"},
      {u"", u"App.log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.fDirectory));
    writer.SetDirectory(c.fDirectory);
    EXPECT_EQ(writer.Directory(), c.fDirectory);
    EXPECT_EQ(writer.FileName(), c.fExpected);
  }
  const std::u16string third = U(fRoot / "a" / "b" / "third");
  writer.SetDirectory(third);
  EXPECT_TRUE(DirectoryExists(third));
  writer.Write(let_info, u"moved");
  ASSERT_TRUE(Eventually([&] { return FileExists(JoinPath(third, u"App.log")); }));
  EXPECT_FALSE(fs::exists(fRoot / "first" / "App.log"));
}

TEST_F(LogWriterTest, DirectoryChangesWhileTheThreadWrites) {
  constexpr int kLines = 600;
  const fs::path a = fRoot / "a", b = fRoot / "b";
  {
    tQV_LogWriter writer(u"Moving", U(a), 0, false);
    for (int i = 0; i < kLines; ++i) {
      if (i % 25 == 0) writer.SetDirectory(U(i % 50 == 0 ? b : a));
      writer.Write(let_info, FromUtf8(Numbered(i)));
    }
  }
  // Every line is in one of the two files, each file in write order.
  int total = 0;
  for (const fs::path& dir : {a, b}) {
    int last = -1;
    for (const std::string& m : Messages(dir / "Moving.log")) {
      const int n = std::stoi(m.substr(std::string(" - line ").size()));
      EXPECT_GT(n, last);
      last = n;
      ++total;
    }
  }
  EXPECT_EQ(total, kLines);
}

TEST_F(LogWriterTest, NameErrors) {
  tQV_LogWriter nameless(u"", U(fRoot), 0, true);
  EXPECT_EQ(nameless.FileName(), u"");
  EXPECT_QV_ERROR(nameless.Write(let_info, u"x"), u"Log filename is empty ");

  const std::u16string withNul = U(fRoot) + std::u16string(1, u'\0') + u"x";
  EXPECT_QV_ERROR((tQV_LogWriter(u"App", withNul, 0, false)), u"Invalid characters in path");
  EXPECT_QV_ERROR((tQV_LogWriter(u"A" + std::u16string(1, u'\0'), U(fRoot), 0, false)),
                  u"Invalid characters in path");

  tQV_LogWriter writer(u"App", U(fRoot), 0, false);
  const std::u16string before = writer.FileName();
  EXPECT_QV_ERROR(writer.SetDirectory(withNul), u"Invalid characters in path");
  EXPECT_EQ(writer.FileName(), before);
  EXPECT_EQ(writer.Directory(), U(fRoot));
}

TEST_F(LogWriterTest, IdleWriterDoesNotWake) {
  tQV_LogWriter writer(u"Idle", U(fRoot), 0, false);
  writer.Write(let_info, u"one");
  ASSERT_TRUE(Eventually([&] { return !Messages(fs::path(writer.FileName())).empty(); }));
  const uint64_t before = writer.ThreadWakeUps();
  std::this_thread::sleep_for(400ms);
  // A polling thread would have woken several times; one spurious wake-up
  // of the condition variable is tolerated.
  EXPECT_LE(writer.ThreadWakeUps() - before, 1u);
}

TEST_F(LogWriterTest, DrainAndAbandonWritesEverythingWithoutJoining) {
  auto writer = std::make_unique<tQV_LogWriter>(u"Unload", U(fRoot), 0, false);
  const std::u16string name = writer->FileName();
  std::vector<std::string> expected;
  std::thread holder = HoldLock(fs::path(name), 150ms);
  for (int i = 0; i < 100; ++i) {
    writer->Write(let_info, FromUtf8(Numbered(i)));
    expected.push_back(" - " + Numbered(i));
  }
  writer->DrainAndAbandon();
  // Everything is in the file before the writer is even destroyed.
  EXPECT_EQ(Messages(fs::path(name)), expected);
  // With the thread parked, later lines are written by the caller at once.
  writer->Write(let_error, u"after");
  expected.push_back(" - ERROR - after");
  EXPECT_EQ(Messages(fs::path(name)), expected);
  writer.reset();
  holder.join();
  EXPECT_EQ(Messages(fs::path(name)), expected);
}

TEST_F(LogWriterTest, WriteQueuedFromCallerWhenTheThreadIsGone) {
  auto writer = std::make_unique<tQV_LogWriter>(u"Exit", U(fRoot), 0, false);
  const std::u16string name = writer->FileName();
  writer->StopThreadWithoutWriting();
  std::vector<std::string> expected;
  for (int i = 0; i < 50; ++i) {
    writer->Write(let_info, FromUtf8(Numbered(i)));
    expected.push_back(" - " + Numbered(i));
  }
  EXPECT_FALSE(FileExists(name)) << "nobody is left to write the queue";
  writer->WriteQueuedFromCaller();
  EXPECT_EQ(Messages(fs::path(name)), expected);
  writer->Write(let_info, u"last words");
  expected.push_back(" - last words");
  writer.reset();
  EXPECT_EQ(Messages(fs::path(name)), expected);
}

}  // namespace
}  // namespace qv
