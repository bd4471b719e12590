// The command objects and tables inside the library, where a test can reach
// what a host cannot: the guard around a command that fails in unexpected
// ways, and when devices are destroyed.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "core/error.h"
#include "core/text.h"
#include "host/entry_points.h"
#include "host/payment_registry.h"
#include "host/payment_wrapper.h"
#include "test_payment_device.h"
#include "test_support.h"

namespace qv {
namespace {

using qvtest::qTestPaymentDevice;

// A command whose steps fail as the test asks.
enum class FailAt { Nowhere, Process, Format };
FailAt gFailAt = FailAt::Nowhere;
void (*gThrow)() = nullptr;

class FailingCommand : public qPaymentWrapper_CLOSE {
 public:
  void Process(const std::u16string& aXml) override {
    ResetResult();
    if (gFailAt == FailAt::Process) gThrow();
  }
  void Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) override {
    if (gFailAt == FailAt::Format) gThrow();
    qPaymentWrapper_CLOSE::Format(aOutput, aErrorMessage, aResult);
  }
};

std::unique_ptr<qPaymentWrapper> MakeFailing() { return std::make_unique<FailingCommand>(); }
std::unique_ptr<qPaymentWrapper> MakeNothing() { throw std::bad_alloc(); }

const std::u16string kCloseFailed = u"<Error>True</Error>\r\n<ErrorText></ErrorText>\r\n<LogFileName></LogFileName>";

TEST(HostGuardTest, UnexpectedFailuresBecomeMinusOneWithTheirMessage) {
  struct Case {
    const char* name;
    qCommandFactory make;
    FailAt at;
    void (*raise)();
    bool documentWritten;
    const char16_t* message;
  } cases[] = {
      {"allocation failure in Process", &MakeFailing, FailAt::Process, [] { throw std::bad_alloc(); }, true,
       u"Out of memory"},
      {"standard exception in Process", &MakeFailing, FailAt::Process, [] { throw std::runtime_error("boom"); },
       true, u"boom"},
      {"foreign exception in Process", &MakeFailing, FailAt::Process, [] { throw 42; }, true,
       u"Unexpected failure"},
      {"qError in Format", &MakeFailing, FailAt::Format, [] { throw qError(u"format failed"); }, false,
       u"format failed"},
      {"allocation failure making the command", &MakeNothing, FailAt::Nowhere, nullptr, false, u"Out of memory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    gFailAt = c.at;
    gThrow = c.raise;
    OleStr output = nullptr;
    OleStr error = nullptr;
    EXPECT_EQ(RunHostCommand(c.make, nullptr, &output, &error), 0xFFFFu);
    EXPECT_EQ(ToUtf8(OleToString(output)), c.documentWritten ? ToUtf8(kCloseFailed) : "");
    EXPECT_EQ(ToUtf8(OleToString(error)), ToUtf8(c.message));
    OleFreeString(output);
    OleFreeString(error);
    // Without output variables nothing is written and nothing escapes either.
    EXPECT_EQ(RunHostCommand(c.make, nullptr, nullptr, nullptr), 0xFFFFu);
  }
  gFailAt = FailAt::Nowhere;
}

class DeviceTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qvtest::RegisterTestDriver();
    PaymentDevices().Clear();
  }
  void TearDown() override { PaymentDevices().Clear(); }

  static int32_t Open(const std::u16string& aXml) {
    qPaymentWrapper_OPEN open;
    open.Process(aXml);
    EXPECT_FALSE(open.Result().Error) << ToUtf8(open.Result().ErrorText);
    return open.Result().Handle;
  }
};

TEST_F(DeviceTableTest, CloseDestroysTheDeviceAfterTakingItOutOfTheTable) {
  const int live = qTestPaymentDevice::sLiveCount;
  const int32_t handle = Open(u"<R><Driver>QVPA_TEST_10</Driver>" + SampleConnection() + u"</R>");
  EXPECT_EQ(handle, LastDeviceHandle());
  EXPECT_EQ(qTestPaymentDevice::sLiveCount, live + 1);
  ASSERT_NE(PaymentDevices().Find(handle), nullptr);
  EXPECT_EQ(PaymentDevices().Find(handle)->Handle(), handle);

  qPaymentWrapper_CLOSE close;
  close.Process(u"<R><Handle>" + IntToStr(handle) + u"</Handle></R>");
  EXPECT_FALSE(close.Result().Error);
  EXPECT_EQ(qTestPaymentDevice::sLiveCount, live);
  EXPECT_FALSE(qTestPaymentDevice::sListedAtDestruction);
  EXPECT_EQ(PaymentDevices().Find(handle), nullptr);

  // The failures leave Process as errors for the exported function to report.
  qPaymentWrapper_CLOSE again;
  EXPECT_QV_ERROR(again.Process(u"<R><Handle>" + IntToStr(handle) + u"</Handle></R>"), u"Device Handle not found");
  EXPECT_TRUE(again.Result().Error);
}

TEST_F(DeviceTableTest, ClearingTheTableDestroysEveryDevice) {
  const int live = qTestPaymentDevice::sLiveCount;
  Open(u"<R><Driver>QVPA_TEST_10</Driver>" + SampleConnection() + u"</R>");
  Open(u"<R><Driver>QVPA_TEST_10</Driver>" + SampleConnection() + u"</R>");
  EXPECT_EQ(PaymentDevices().Count(), 2u);
  PaymentDevices().Clear();
  EXPECT_EQ(PaymentDevices().Count(), 0u);
  EXPECT_EQ(qTestPaymentDevice::sLiveCount, live);
  EXPECT_FALSE(qTestPaymentDevice::sListedAtDestruction);
}

}  // namespace
}  // namespace qv
