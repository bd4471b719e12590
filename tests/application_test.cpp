#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "base/application.h"
#include "base/user_message.h"
#include "core/error.h"
#include "platform/file_system.h"
#include "test_support.h"

namespace qv {
namespace {

TEST(ApplicationFunctionsTest, GetField) {
  struct Case {
    const char16_t* text;
    int field;
    bool rest;
    const char16_t* expected;
  } cases[] = {
      {u"a:b:c", 1, false, u"a"}, {u"a:b:c", 2, false, u"b"},   {u"a:b:c", 3, false, u"c"},
      {u"a:b:c", 4, false, u""},  {u"a:b:c", 2, true, u"b:c"},  {u"a:b:c", 1, true, u"a:b:c"},
      {u"a:b:c", 0, false, u""},  {u"", 1, false, u""},         {u"::", 2, false, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text) + " field " + std::to_string(c.field));
    EXPECT_EQ(GetField(c.text, c.field, u':', c.rest), c.expected);
  }
}

TEST(ApplicationFunctionsTest, FormatNumber) {
  struct Case {
    double number;
    int width, decimals;
    const char16_t* separator;
    bool sign;
    const char16_t* expected;
  } cases[] = {
      {7, 5, 0, u"", false, u"00007"},
      {123456789, 7, 0, u"", false, u"3456789"},
      {-5, 5, 0, u"", false, u"000-5"},
      {1234, 7, 0, u"", false, u"0001234"},
      {12.5, 8, 2, u",", false, u"00012,50"},
      {12.5, 6, 2, u"", false, u"001250"},
      {12.5, 6, 1, u".", true, u"+012.5"},
      // The sign replaces the first character; a negative number's own minus
      // stays where the fill put it.
      {-12.5, 6, 1, u".", true, u"--12.5"},
      {-2.5, 6, 1, u".", true, u"-0-2.5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.expected));
    EXPECT_EQ(FormatNumber(c.number, c.width, c.decimals, c.separator, c.sign), c.expected);
  }
}

TEST(ApplicationFunctionsTest, CommandLineSwitches) {
  const std::vector<std::u16string> params = {u"file.txt", u"/batch", u"/DEBUG=1", u"/Mode:fast"};
  EXPECT_EQ(GetCommandLineParameter(params, u"/BATCH", true), u"/batch");
  EXPECT_EQ(GetCommandLineParameter(params, u"/BATCH", false), u"");
  EXPECT_EQ(GetCommandLineParameter(params, u"/DEBUG", true), u"/DEBUG=1");
  EXPECT_EQ(GetCommandLineParameter(params, u"/DEBUG", false), u"1");
  EXPECT_EQ(GetCommandLineParameter(params, u"/mode", false), u"fast");
  EXPECT_EQ(GetCommandLineParameter({u"/BATCHED"}, u"/BATCH", true), u"");
  EXPECT_EQ(GetCommandLineParameter({u"/BATCH:yes"}, u"/BATCH", true), u"/BATCH:yes");
  // ctest starts the test programs in batch mode.
  EXPECT_EQ(GetCommandLineParameter(u"/batch", true), u"/BATCH");
  EXPECT_EQ(GetCommandLineParameter(u"/DEBUG", true), u"");
}

TEST(ApplicationFunctionsTest, HostExecutable) {
  const std::u16string dir = GetApplicationDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(IsPathDelimiter(dir.back()));
  EXPECT_EQ(GetApplicationName(), u"application_test");
}

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateApplication(); }
  void TearDown() override { DestroyApplication(); }
};

TEST_F(ApplicationTest, MessagesAndLog) {
  tQV_Application& app = *Application();
  EXPECT_EQ(app.GetMessage(u"17"), u"Message 17 not found");
  app.LoadMessages(u"1.it:Ciao %s, %d%%:dropped\r\n2.:fallback\r\n");
  app.Language = u"it";
  EXPECT_EQ(app.GetMessage(u"1", {u"Anna", u"5"}), u"Ciao Anna, 5%");
  EXPECT_QV_ERROR(app.GetMessage(u"1", {u"Anna"}), u"Format 'Ciao %s, %d%%' invalid or incompatible with argument");
  EXPECT_EQ(app.GetMessage(u"2"), u"fallback");  // the default language is empty
  EXPECT_QV_ERROR(app.LoadMessages(u"3:a\r\n3:b"), u"Duplicates not allowed");

  app.Log(let_error, u"boom");
  app.Log(let_info, u"fine");
  EXPECT_EQ(app.LastError(), u"boom");
  EXPECT_EQ(app.GetLogDirectory(), JoinPath(GetApplicationDirectory(), u"LogFiles"));
  app.ChangeLogDirectory(u"Sub");
  EXPECT_EQ(app.GetLogDirectory(), JoinPath(JoinPath(GetApplicationDirectory(), u"LogFiles"), u"Sub"));
  const std::u16string absolute = JoinPath(GetApplicationDirectory(), u"AppLogAbsolute");
  app.ChangeLogDirectory(absolute);
  EXPECT_EQ(app.GetLogDirectory(), absolute);
}

TEST_F(ApplicationTest, BatchModeSendsUserMessagesToTheLog) {
  tQV_Application& app = *Application();
  ASSERT_TRUE(app.IsBatch()) << "run the test program with /BATCH";
  app.Wait().Start();
  ShowUserMessage(let_info, u"paper low");
  // An information message becomes an error entry; the wait window is back.
  EXPECT_EQ(app.LastError(), u"paper low");
  EXPECT_TRUE(app.Wait().Started());
  app.Wait().Stop();
  const std::u16string file = app.Logger().FileName();
  DestroyApplication();  // writes out the queue
  const std::string all = ReadFileBytes(file);
  EXPECT_NE(all.find(" - ERROR - paper low\r\n"), std::string::npos);
  CreateApplication();  // for TearDown
}

TEST_F(ApplicationTest, WaitWindowAndSingleInstance) {
  tQV_Application& app = *Application();
  EXPECT_FALSE(app.Wait().Started());
  app.Wait().Start();
  EXPECT_TRUE(app.Wait().Started());
  app.Wait().Stop();
  EXPECT_FALSE(app.Wait().Started());
  EXPECT_FALSE(app.Wait().Form().Visible());
  int w, h, lw, lh, ll, lt;
  app.Wait().Form().Geometry(w, h, lw, lh, ll, lt);
  EXPECT_EQ(h, 50);
  EXPECT_EQ(w, static_cast<int>(lw * 1.3));
  EXPECT_EQ(ll, (w - lw) / 2);
  EXPECT_EQ(lt, (h - lh) / 2);

  app.SetSingleInstance(true);
  EXPECT_TRUE(app.SingleInstance());
  // Another thread is refused while this one holds the mutex.
  auto acquiredElsewhere = [] {
    bool acquired = false;
    std::thread([&] { acquired = qNamedMutex::TryAcquire(GetApplicationName()) != nullptr; }).join();
    return acquired;
  };
  EXPECT_FALSE(acquiredElsewhere());
  app.SetSingleInstance(false);
  EXPECT_TRUE(acquiredElsewhere());
}

}  // namespace
}  // namespace qv
