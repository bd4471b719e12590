#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/error.h"
#include "io/device_handler.h"
#include "io/io_handler_dll.h"
#include "platform/file_system.h"
#include "platform/local_time.h"
#include "test_support.h"

namespace qv {
namespace {

// The messages of a log file, without their time stamps and separators.
std::vector<std::string> LogMessages(const std::u16string& aPath) {
  const std::string all = ReadFileBytes(aPath);
  std::vector<std::string> messages;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find("\r\n", start);
    if (end == std::string::npos) end = all.size();
    const std::string line = all.substr(start, end - start);
    // "yyyy-mm-dd hh:mm:ss:zzz" is 23 characters, then " - ".
    messages.push_back(line.size() >= 26 ? line.substr(26) : line);
    start = end + 2;
  }
  return messages;
}

std::u16string TestDir(const char* aName) { return FreshTestDir(aName); }

// A handler with only the base's behaviour, to test the log layout.
class qIOHandler_Test : public qIOHandler {
 public:
  using qIOHandler::qIOHandler;
  bool Disconnect() override { return true; }
  void ClearBuffers() override {}
  bool Write(const std::u16string&) override { return true; }
  std::u16string ReadUpTo(const std::vector<uint8_t>&) override { return u""; }
  std::u16string ReadChars(int32_t) override { return u""; }
  std::u16string DecodeError(int32_t) override { return u""; }
  void SetParameter(const std::u16string&, const std::u16string&) override {}
  std::u16string ClassName() const override { return u"qIOHandler_Test"; }
};

TEST(IOHandlerTest, BaseLogLayout) {
  const std::u16string dir = TestDir("io_base");
  qConnection connection;
  connection.SetConnectTimeOut(5000);
  connection.SetReadTimeOut(3000);
  std::u16string file;
  {
    qIOHandler_Test h(&connection, dir, u"Base_" + FromUtf8(std::to_string(::testing::UnitTest::GetInstance()->random_seed())));
    file = h.GetLogFileName();
    EXPECT_EQ(h.ConnectTimeout(), 5000);
    h.Connect();
    h.WriteLog(let_info, u"Write", u"AB");
    h.SetHexLog(true);
    h.WriteLog(let_info, u"Write", u"AB");
    h.WriteLog(let_error, u"Euro", u"\u20ac\r");
    h.WriteLog(let_info, u"Empty", u"");
    h.Debug(let_info, u"free text");
    h.SetTemporaryReadTimeout(500);
    EXPECT_EQ(h.ReadTimeout(), 500);
    h.SetTemporaryReadTimeout(0);
    EXPECT_EQ(h.ReadTimeout(), 500);
    h.ResetTemporaryReadTimeout();
    EXPECT_EQ(h.ReadTimeout(), 3000);
    h.ResetTemporaryReadTimeout();
    EXPECT_EQ(h.ReadTimeout(), 3000);
    h.SetCustomError(5, u"bad");
    EXPECT_TRUE(h.ErrorFound());
    h.ResetCustomError();
    EXPECT_FALSE(h.ErrorFound());
    EXPECT_EQ(h.ErrorMessage(), u"");
  }
  const std::vector<std::string> expected = {
      "*************************** START ***************************",
      "*************************************************************",
      "qIOHandler_Test",
      "",
      "ConnectTimeout=5000",
      "ReadTimeout=3000",
      "Write:AB",
      "Write:AB [41 42]",
      "ERROR - Euro:\xE2\x82\xAC\r [20ac 0d]",
      "Empty: []",
      "free text",
      "Set Read Timeout to 500ms from 3000 ms",
      "Set Read Timeout to 0ms from 500 ms",
      "Reset Timeout to 3000 ms",
      "Reset Timeout to 3000 ms",
      "*************************** STOP ****************************",
  };
  EXPECT_EQ(LogMessages(file), expected);
}

TEST(IOHandlerTest, NoLogWithoutDirectoryOrName) {
  qIOHandler_Test noDir(nullptr, u"", u"x");
  qIOHandler_Test noName(nullptr, TestDir("io_none"), u"");
  EXPECT_EQ(noDir.GetLogFileName(), u"");
  EXPECT_EQ(noName.GetLogFileName(), u"");
  EXPECT_EQ(noDir.ConnectTimeout(), 0);
  EXPECT_EQ(noDir.ReadTimeout(), 0);
  noDir.Connect();
  noDir.WriteLog(let_info, u"t", u"m");
  noDir.SetTemporaryReadTimeout(5);
  EXPECT_EQ(noDir.ReadTimeout(), 5);
}

TEST(IOHandlerTest, HexRendering) {
  EXPECT_EQ(qIOHandler::StringToHex(u"A\r"), u"41 0d");
  EXPECT_EQ(qIOHandler::StringToHex(u""), u"");
  EXPECT_EQ(qIOHandler::StringToHex(u"\u0100\u20ac\uffff"), u"100 20ac ffff");
  EXPECT_EQ(qIOHandler::CurrencyToString(Currency::FromScaled(-500)), u"-0.05");
  EXPECT_EQ(qIOHandler::CurrencyToString(Currency::FromScaled(12345678)), u"1234.5678");
}

qConnection DllConnection(const std::u16string& aLibrary) {
  qConnection c;
  c.fConnectionType = tqConnectionType::DLL;
  c.fLibraryName = aLibrary;
  return c;
}

TEST(IOHandlerDllTest, NormalLifetime) {
  const std::u16string library = FromUtf8(QV_SAMPLE_LIBRARY);
  const qConnection connection = DllConnection(library);
  std::u16string file;
  {
    qIOHandler_Dll h(connection, TestDir("io_dll"), u"Dll_normal");
    file = h.GetLogFileName();
    h.Connect();
    using Answer = int (*)();
    EXPECT_EQ(reinterpret_cast<Answer>(h.GetAddress(u"SampleAnswer"))(), 42);
    EXPECT_EQ(reinterpret_cast<Answer>(h.GetAddress(u"sampleanswer"))(), 7);
    EXPECT_QV_ERROR(h.GetAddress(u"SAMPLEANSWER"), u"Unable to get address for procedure SAMPLEANSWER");
    EXPECT_TRUE(h.Write(u"data"));
    EXPECT_EQ(h.ReadChars(5), u"");
    EXPECT_EQ(h.ReadUpTo({13}), u"");
    h.WriteLog(let_info, u"Driver", u"own entry");
  }
  const std::vector<std::string> expected = {
      "*************************** START ***************************",
      "qIOHandler_Dll.Create:Loading DLL " + ToUtf8(library),
      "qIOHandler_Dll.Create:DLL Loaded successfully",
      "*************************************************************",
      "qIOHandler_Dll",
      "",
      "ConnectTimeout=1000",
      "ReadTimeout=1000",
      "Driver:own entry",
      "qIOHandler_Dll.Destroy:Unloading DLL",
      "qIOHandler_Dll.Destroy:DLL Unloaded Successfully",
      "*************************** STOP ****************************",
  };
  EXPECT_EQ(LogMessages(file), expected);
}

TEST(IOHandlerDllTest, MissingLibrary) {
  const std::u16string dir = TestDir("io_dll_missing");
  const std::u16string library = JoinPath(dir, u"no_such_library.dll");
  const std::u16string logFile = JoinPath(dir, u"Dll_missing.log");
  std::u16string message;
  try {
    qIOHandler_Dll h(DllConnection(library), dir, u"Dll_missing");
    ADD_FAILURE() << "loaded a library that does not exist";
  } catch (const qError& e) {
    message = e.Message();
  }
  const std::u16string prefix = u"Unable to Load Library " + library + u". ";
  EXPECT_EQ(message.substr(0, prefix.size()), prefix);
  EXPECT_EQ(message.substr(message.size() - 6), u" [126]");
  EXPECT_GT(message.size(), prefix.size() + 6);  // the system's text stands between them
  EXPECT_NE(message[message.size() - 7], u'.');
}

TEST(IOHandlerDllTest, MissingLibraryLog) {
  qDeviceHandler request;
  request.Deserialize(u"<R><Driver>T</Driver><LogId>missing</LogId><Connection><Type>dll</Type>"
                      u"<LibraryName>no_such_library_anywhere.dll</LibraryName></Connection></R>");
  const std::u16string dir = TestDir("io_dll_missing_log");
  EXPECT_THROW(request.CreateIOHandler(dir), qError);
  // The log holds the banner, the loading entry and the closing banner only.
  const std::u16string file = JoinPath(dir, u"T_missing_" + TodayForLogName() + u".log");
  const std::vector<std::string> messages = LogMessages(file);
  ASSERT_GE(messages.size(), 3u);
  EXPECT_EQ(messages[0], "*************************** START ***************************");
  EXPECT_EQ(messages[1], "qIOHandler_Dll.Create:Loading DLL no_such_library_anywhere.dll");
  EXPECT_EQ(messages[2], "*************************** STOP ****************************");
}

TEST(IOHandlerFactoryTest, HexLogAndBaseName) {
  struct Case {
    const char16_t* parameters;
    bool hex;
  } cases[] = {{u"<HexLog>true</HexLog>", true},  {u"<HEXLOG>True</HEXLOG>", true}, {u"<HexLog>1</HexLog>", false},
               {u"<HexLog>yes</HexLog>", false},  {u"<HexLog/>", false},             {u"", false}};
  const std::u16string library = FromUtf8(QV_SAMPLE_LIBRARY);
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.parameters));
    qDeviceHandler request;
    request.Deserialize(u"<R><Driver>D</Driver><Connection><Type>dll</Type><LibraryName>" + library +
                        u"</LibraryName></Connection><Parameters>" + c.parameters + u"</Parameters></R>");
    auto handler = request.CreateIOHandler(TestDir("io_factory"));
    EXPECT_EQ(handler->HexLog(), c.hex);
    // An empty log id leaves the base name ending in "_".
    EXPECT_EQ(ExtractFileName(handler->GetLogFileName()).substr(0, 3), u"D__");
  }
  qDeviceHandler opos;
  opos.Deserialize(u"<R/>");
  EXPECT_THROW(opos.CreateIOHandler(TestDir("io_factory")), qError);
}

}  // namespace
}  // namespace qv
