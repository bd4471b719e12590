// Unloading the library with devices open, and a host that exits without
// CLOSE: neither may hang or crash, and every line queued before reaches the
// device logs.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>

#include "child_process.h"
#include "core/date_time.h"
#include "core/text.h"
#include "payment/payment_device.h"
#include "platform/file_system.h"
#include "platform/local_time.h"
#include "test_support.h"

namespace qvtest {
namespace {

size_t Count(const std::string& aText, const std::string& aWhat) {
  size_t n = 0;
  for (size_t pos = aText.find(aWhat); pos != std::string::npos; pos = aText.find(aWhat, pos + 1)) ++n;
  return n;
}

void RunAndCheck(const char* aMode) {
  const std::string logId = std::string("unload_") + aMode + "_" + std::to_string(std::random_device()() % 1000000);
  const int code = RunChild(QV_UNLOAD_HOST, {QV_TEST_HOST_LIBRARY, QV_SAMPLE_LIBRARY, logId, aMode}, 30000);
  ASSERT_EQ(code, 0) << "the host hung (-1) or failed";
  // The host lives beside this test program, so its devices log here too.
  const std::u16string host = qv::FromUtf8(QV_UNLOAD_HOST);
  const std::u16string dir =
      qv::qPaymentDevice::LogDirectory(host.substr(0, host.size() - qv::ExtractFileName(host).size()));
  for (int d = 1; d <= 3; ++d) {
    SCOPED_TRACE(d);
    const std::u16string file = qv::JoinPath(
        dir, u"QVPA_TEST_10_" + qv::FromUtf8(logId) + u"-" + qv::IntToStr(d) + u"_" + qv::TodayForLogName() + u".log");
    const std::string log = qv::ReadFileBytes(file);
    EXPECT_EQ(Count(log, "*************************** START ***************************\r\n"), 1u);
    const size_t pays = Count(log, " - ------------------------------------------------------------ Pay\r\n");
    if (std::string(aMode) == "exit") {
      // Every line reaches the file. A log thread killed by the end of the
      // process right after writing a line leaves that line to be written
      // once more from the detaching thread: one duplicate at most.
      EXPECT_GE(pays, 200u);
      EXPECT_LE(pays, 201u);
    } else {
      EXPECT_EQ(pays, 200u);
    }
    if (std::string(aMode) == "freelibrary") {
      // The devices were destroyed: the library went and the log closed.
      EXPECT_EQ(Count(log, "qIOHandler_Dll.Destroy:DLL Unloaded Successfully\r\n"), 1u);
      EXPECT_EQ(log.substr(log.size() - 63), "*************************** STOP ****************************\r\n");
    }
  }
}

TEST(UnloadTest, FreeLibraryWithDevicesOpen) { RunAndCheck("freelibrary"); }

TEST(UnloadTest, ProcessExitWithoutClose) { RunAndCheck("exit"); }

}  // namespace
}  // namespace qvtest
