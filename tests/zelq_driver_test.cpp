// The ZELQ driver end to end: the product library loaded as a host loads it,
// driving the simulated terminal through a scenario file, with the trace of
// vendor calls, the device log and the counter in the registry checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/application.h"
#include "base/setup.h"
#include "payment/payment_device.h"
#include "core/text.h"
#include "child_process.h"
#include "host_library.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "registry_test_support.h"
#include "test_support.h"

namespace qvtest {
namespace {

using qv::FromUtf8;
using qv::ToUtf8;

#define EXPECT_U16(a, b) EXPECT_EQ(ToUtf8(a), ToUtf8(b))

constexpr uint32_t kFailed = 65535;

std::vector<std::string> Lines(const std::string& aText) {
  std::vector<std::string> lines;
  std::istringstream in(aText);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The answers of an approved standard payment.
const char kApproved[] =
    "field 20003 = 100\n"
    "field 21000 = ************1234\n"
    "field 11001 = A\n"
    "field 11002 = B\n"
    "field 11003 = C\n"
    "field 21027 = TERM0001\n"
    "field 21011 = 20240131\n"
    "field 21012 = 143005\n"
    "field 20004 = 000123\n"
    "field 21015 = 1250\n"
    "field 21013 = 654321\n"
    "field 21005 = A1B2C3\n"
    "field 21001 = 16\n"
    "field 21020 = 2:VISA CREDIT\n"
    "field 21023 = SN-77\n"
    "field 23102 = 001\n"
    "field 21022 = 3750\n"
    "field 23103 = 2\n"
    "field 23104 = 800\n"
    "field 20000 = CUSTOMER RECEIPT        AMOUNT EUR 12.50\n"
    "field 20001 = 2\n"
    "field 20002 = 24\n";

class ZelqDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fDir = qv::FreshTestDir(name);
    // A log of its own for each test, started afresh on every run.
    fLogId = name;
    const std::u16string logs = qv::qPaymentDevice::LogDirectory(qv::GetApplicationDirectory());
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(ToUtf8(logs)), ec))
      if (entry.path().filename().u8string().rfind("QVPA_ZELQ_10_" + fLogId + "_", 0) == 0)
        std::filesystem::remove(entry.path(), ec);
    fScenario = qv::JoinPath(fDir, u"scenario.cfg");
    fTrace = qv::JoinPath(fDir, u"trace.log");
    // Where the simulator traces before any scenario was read.
    SetTestEnvironment("ZEFT_SIM_TRACE", ToUtf8(fTrace));
    qv::ResetTestRegistry(u"Software\\Quorvel\\ZELQ_Counter");
    Scenario(kApproved);
    fLib = std::make_unique<HostLibrary>(QV_PRODUCT_LIBRARY);
  }
  void TearDown() override { fLib.reset(); }

  void Scenario(const std::string& aAnswers) {
    std::ofstream out(ToUtf8(fScenario), std::ios::binary | std::ios::trunc);
    out << "trace = trace.log\n" << aAnswers;
  }

  std::u16string OpenRequest(const char* aLibrary = QV_ZEFT_SIM) const {
    return u"<Request><Driver>QVPA_ZELQ_10</Driver><LogId>" + FromUtf8(fLogId) +
           u"</LogId><Connection><Type>dll</Type><LibraryName>" + FromUtf8(aLibrary) +
           u"</LibraryName></Connection><Parameters><ConfigFileName>" + fScenario +
           u"</ConfigFileName></Parameters></Request>";
  }

  std::u16string PayRequest(const std::u16string& aPayment, int aHandle = 1) const {
    return u"<Request><Handle>" + qv::IntToStr(aHandle) + u"</Handle><Payment>" + aPayment + u"</Payment></Request>";
  }

  static std::u16string Codes(const char16_t* aExtra = u"") {
    return u"<MerchantCode>1234</MerchantCode><StoreCode>12</StoreCode><TillCode>3</TillCode>"
           u"<Reference>42</Reference><Amount>12.50</Amount><Currency>EUR</Currency>" +
           std::u16string(aExtra);
  }

  HostCall Call(const char* aName, const std::u16string& aRequest) const { return fLib->Call(aName, aRequest); }

  void Open() { ASSERT_EQ(Call("OPEN", OpenRequest()).fCode, 0u); }

  std::vector<std::string> Trace() const { return Lines(qv::ReadFileBytes(fTrace)); }

  // The trace lines of one kind of call.
  std::vector<std::string> TraceOf(const std::string& aCall) const {
    std::vector<std::string> out;
    for (const auto& line : Trace())
      if (line.rfind(aCall + " ", 0) == 0 || line == aCall) out.push_back(line);
    return out;
  }

  std::u16string StoredCounter(const char16_t* aKey = u"STD-0001234-00012-003") const {
    return qv::ReadRegistryString(u"ZELQ_Counter", aKey, qv::rk_CurrentUser);
  }

  std::u16string fDir, fScenario, fTrace;
  std::string fLogId = "zelq";
  std::unique_ptr<HostLibrary> fLib;
};

TEST_F(ZelqDriverTest, ApprovedStandardPayment) {
  Open();
  const HostCall pay = Call("PAY", PayRequest(Codes()));
  ASSERT_EQ(pay.fCode, 0u) << ToUtf8(pay.fError);
  EXPECT_TRUE(pay.fErrorNull);
  const std::u16string log = qv::DocumentElement(pay.fOutput, u"LogFileName");
  EXPECT_U16(pay.fOutput,
             u"<DeviceId>TERM0001</DeviceId>\r\n"
             u"<PaymentDateTime>2024-01-31T14:30:05.000Z</PaymentDateTime>\r\n"
             u"<PaymentNumber>000123</PaymentNumber>\r\n"
             u"<PaymentAmount>12.5</PaymentAmount>\r\n"
             u"<PaymentCurrency>EUR</PaymentCurrency>\r\n"
             u"<ExchangeRate>0</ExchangeRate>\r\n"
             u"<PaymentAmountCurrency>0</PaymentAmountCurrency>\r\n"
             u"<PaymentCurrencyCurrency></PaymentCurrencyCurrency>\r\n"
             u"<TippedAmount>0</TippedAmount>\r\n"
             u"<RemainingBalance>0</RemainingBalance>\r\n"
             u"<MaskedPAN>************1234</MaskedPAN>\r\n"
             u"<SerialNumber></SerialNumber>\r\n"
             u"<PaymentNetwork>visa</PaymentNetwork>\r\n"
             u"<TransactionType>CHIP</TransactionType>\r\n"
             u"<AuthCode>A1B2C3</AuthCode>\r\n"
             u"<TraceAuditId>654321</TraceAuditId>\r\n"
             u"<NumberOfItems>0</NumberOfItems>\r\n"
             u"<SingleItemAmount>0</SingleItemAmount>\r\n"
             u"<SignatureRequested>False</SignatureRequested>\r\n"
             u"<CustomerCountryCode></CustomerCountryCode>\r\n"
             u"<ReceiptText>CUSTOMER RECEIPT        \r\nAMOUNT EUR 12.50\r\n</ReceiptText>\r\n"
             u"<CashierReceiptText></CashierReceiptText>\r\n"
             u"<Error>False</Error>\r\n"
             u"<ErrorText></ErrorText>\r\n"
             u"<LogFileName>" + log + u"</LogFileName>");
  EXPECT_NE(log.find(u"QVPA_ZELQ_10_ApprovedStandardPayment_"), std::u16string::npos);

  // The vendor calls, in order, with their arguments.
  const std::vector<std::string> trace = Trace();
  ASSERT_GE(trace.size(), 3u);
  EXPECT_EQ(trace[0], "ZEFT_Init config=" + ToUtf8(fScenario) + " -> 1");
  EXPECT_EQ(trace[1], "ZEFT_HND_Create -> 1");
  EXPECT_EQ(trace[2], "ZEFT_PAY_Start handle=1 ese=1234 stab=12 cash=3 counter=1 bill=42 amount=1250 group=' ' -> 0");
  EXPECT_EQ(trace[3], "ZEFT_PAY_GetResponse handle=1 timeout=180000 -> 0");
  std::vector<std::string> ids;
  for (const auto& line : TraceOf("ZEFT_HND_GetData")) {
    EXPECT_NE(line.find(" capacity=16384 "), std::string::npos) << line;
    const size_t id = line.find(" id=") + 4;
    ids.push_back(line.substr(id, line.find(' ', id) - id));
  }
  const std::vector<std::string> expectedIds = {"20003", "21000", "11001", "11002", "11003", "21027",
                                                "21011", "21012", "20004", "21015", "21013", "21005",
                                                "21001", "21020", "20000", "20001", "20002"};
  EXPECT_EQ(ids, expectedIds);
  EXPECT_EQ(trace.back(), "ZEFT_HND_Delete handle=1 -> 1");

  // Counter: offered 1, committed 1, three lines in the device log.
  EXPECT_U16(StoredCounter(), u"1");
  ASSERT_EQ(Call("CLOSE", u"<R><Handle>1</Handle></R>").fCode, 0u);
  EXPECT_EQ(Trace().back(), "ZEFT_Terminate");
  std::vector<std::string> counterLines;
  for (const auto& line : Lines(qv::ReadFileBytes(log)))
    if (line.find("Counter:") != std::string::npos) counterLines.push_back(line.substr(26));
  const std::vector<std::string> expectedCounter = {"Counter::1[STD-0001234-00012-003]",
                                                    "Counter::1[STD-0001234-00012-003]",
                                                    "Commit Counter::1[STD-0001234-00012-003]"};
  EXPECT_EQ(counterLines, expectedCounter);
  const std::string text = qv::ReadFileBytes(log);
  EXPECT_NE(text.find(" - PAY_Start:1234,12,3,1,42,12.5,  -> 0\r\n"), std::string::npos);
  EXPECT_NE(text.find(" - HND_GetData:20003-100\r\n"), std::string::npos);
  EXPECT_NE(text.find(" - HND_Delete:-1\r\n"), std::string::npos);

  // The next payment for the same merchant, store and till sends 2.
  Open();
  ASSERT_EQ(Call("PAY", PayRequest(Codes(), 2)).fCode, 0u);
  EXPECT_NE(TraceOf("ZEFT_PAY_Start").back().find(" counter=2 "), std::string::npos);
  EXPECT_U16(StoredCounter(), u"2");
}

TEST_F(ZelqDriverTest, MealVoucherAndHealthServiceChannels) {
  Open();
  const HostCall mvp = Call(
      "PAY", PayRequest(Codes(u"<PaymentChannel>MVP</PaymentChannel><MaxAmount>25.00</MaxAmount><MaxItems>4</MaxItems>")));
  ASSERT_EQ(mvp.fCode, 0u) << ToUtf8(mvp.fError);
  EXPECT_U16(qv::DocumentElement(mvp.fOutput, u"PaymentNetwork"), u"edenred");
  EXPECT_U16(qv::DocumentElement(mvp.fOutput, u"RemainingBalance"), u"37.5");
  EXPECT_U16(qv::DocumentElement(mvp.fOutput, u"SerialNumber"), u"SN-77");
  EXPECT_U16(qv::DocumentElement(mvp.fOutput, u"NumberOfItems"), u"2");
  EXPECT_U16(qv::DocumentElement(mvp.fOutput, u"SingleItemAmount"), u"8");
  EXPECT_EQ(TraceOf("ZEFT_PAY_BPE_Start").back(),
            "ZEFT_PAY_BPE_Start handle=1 ese=1234 stab=12 cash=3 counter=1 bill=42 amount=1250 issuers=1 "
            "issuer0.code=999 issuer0.name=Default issuer0.namelen=7 issuer0.maxamount=2500 issuer0.maxitems=4 "
            "cashtrid=42 -> 0");
  EXPECT_EQ(TraceOf("ZEFT_PAY_BPE_GetResponse").size(), 1u);

  // Without limits the issuer entry carries the defaults.
  ASSERT_EQ(Call("PAY", PayRequest(Codes(u"<PaymentChannel>MVP</PaymentChannel>"))).fCode, 0u);
  EXPECT_NE(TraceOf("ZEFT_PAY_BPE_Start").back().find("issuer0.maxamount=999999 issuer0.maxitems=9999"),
            std::string::npos);

  Scenario(std::string(kApproved) + "field 21020 = 9\nfield 21001 = 16385\n");
  const HostCall nhs = Call("PAY", PayRequest(Codes(u"<PaymentChannel>NHS</PaymentChannel>")));
  ASSERT_EQ(nhs.fCode, 0u) << ToUtf8(nhs.fError);
  EXPECT_U16(qv::DocumentElement(nhs.fOutput, u"PaymentNetwork"), u"NHS");
  EXPECT_U16(qv::DocumentElement(nhs.fOutput, u"SerialNumber"), u"SN-77");
  EXPECT_U16(qv::DocumentElement(nhs.fOutput, u"TransactionType"), u"CLESSCHIP");
  EXPECT_NE(TraceOf("ZEFT_PAY_Start").back().find(" group='1' "), std::string::npos);
  // All three channels advance one counter.
  EXPECT_U16(StoredCounter(), u"3");
}

TEST_F(ZelqDriverTest, ApprovalCodesAndRefusal) {
  Open();
  for (const char* code : {"099", "097"}) {
    SCOPED_TRACE(code);
    Scenario(std::string(kApproved) + "field 20003 = " + code + "\n");
    const HostCall pay = Call("PAY", PayRequest(Codes()));
    EXPECT_EQ(pay.fCode, 0u) << ToUtf8(pay.fError);
    EXPECT_U16(qv::DocumentElement(pay.fOutput, u"DeviceId"), u"TERM0001");
  }
  EXPECT_U16(StoredCounter(), u"2");
  Scenario(std::string(kApproved) + "field 20003 = 005\nfield 10002 = CARD\nfield 10003 = DECLINED\n");
  const HostCall refused = Call("PAY", PayRequest(Codes()));
  EXPECT_EQ(refused.fCode, kFailed);
  EXPECT_U16(refused.fError, u"005 -  CARD DECLINED");
  EXPECT_U16(qv::DocumentElement(refused.fOutput, u"ErrorText"), u"005 -  CARD DECLINED");
  EXPECT_EQ(TraceOf("ZEFT_PAY_Start").back().find(" counter=3 ") != std::string::npos, true);
  EXPECT_EQ(Trace().back(), "ZEFT_HND_Delete handle=1 -> 1");
  // A refusal does not advance the counter: the next payment offers 3 again.
  EXPECT_U16(StoredCounter(), u"2");
  Scenario(std::string(kApproved) + "field 20003 = 100\\s\n");  // "100 " with its blank is refused too
  EXPECT_EQ(Call("PAY", PayRequest(Codes())).fCode, kFailed);
  EXPECT_NE(TraceOf("ZEFT_PAY_Start").back().find(" counter=3 "), std::string::npos);
}

TEST_F(ZelqDriverTest, FailureRows) {
  struct Case {
    const char* answers;
    const char16_t* codes;
    const char16_t* message;
    bool started;  // whether a transaction was started
  } cases[] = {
      {"handle = 0\n", nullptr, u"Error in HND_Create", false},
      {"", u"<MerchantCode>12</MerchantCode><StoreCode>0</StoreCode><TillCode>ABC</TillCode><Reference>1</Reference>",
       u"Invalid Store", false},
      {"", u"<MerchantCode>12</MerchantCode><StoreCode>5</StoreCode><TillCode>ABC</TillCode><Reference>1</Reference>",
       u"Invalid Till", false},
      {"", u"<MerchantCode>x</MerchantCode><StoreCode>5</StoreCode><TillCode>1</TillCode><Reference>1</Reference>",
       u"Invalid Merchant", false},
      {"", u"<MerchantCode>1</MerchantCode><StoreCode>5</StoreCode><TillCode>1</TillCode><Reference>A12</Reference>",
       u"Invalid Reference", false},
      {"start = -5\n", nullptr, u"Error in PAY_Start. Return Code=-5", true},
      {"response = 3\n", nullptr, u"Error in PAY_GetResponse. Return Code=3", true},
      {"field 21011 = 20241301\n", nullptr, u"'2024-13-01 14:30:05' is not a valid date and time", true},
      {"field 20001 = two\n", nullptr, u"'two' is not a valid integer value", true},
  };
  Open();
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.message));
    Scenario(std::string(kApproved) + c.answers);
    const size_t deletes = TraceOf("ZEFT_HND_Delete").size();
    const HostCall pay = Call("PAY", PayRequest(c.codes ? std::u16string(c.codes) : Codes()));
    EXPECT_EQ(pay.fCode, kFailed);
    EXPECT_U16(pay.fError, c.message);
    EXPECT_U16(qv::DocumentElement(pay.fOutput, u"Error"), u"True");
    // Every exit after a handle was obtained releases it.
    EXPECT_EQ(TraceOf("ZEFT_HND_Delete").size(), deletes + (std::string(c.answers) == "handle = 0\n" ? 0 : 1));
  }
  EXPECT_U16(StoredCounter(), u"");
  // A reference of -7 passes and is sent as receipt number -7.
  Scenario(kApproved);
  ASSERT_EQ(Call("PAY", PayRequest(u"<MerchantCode>7</MerchantCode><StoreCode>8</StoreCode><TillCode>9</TillCode>"
                                   u"<Reference>-7</Reference><Amount>0.009</Amount>"))
                .fCode,
            0u);
  EXPECT_NE(TraceOf("ZEFT_PAY_Start").back().find(" bill=-7 amount=0 "), std::string::npos);
  EXPECT_U16(StoredCounter(u"STD-0000007-00008-009"), u"1");
}

TEST_F(ZelqDriverTest, ReprintIsNotSupported) {
  Open();
  const HostCall reprint = Call("REPRINT", PayRequest(u"<ReceiptId>R1</ReceiptId>"));
  EXPECT_EQ(reprint.fCode, kFailed);
  EXPECT_U16(reprint.fError, u"Not supported");
  EXPECT_U16(reprint.fOutput,
             u"<ReceiptText></ReceiptText>\r\n<Error>True</Error>\r\n<ErrorText>Not supported</ErrorText>\r\n"
             u"<LogFileName></LogFileName>");
}

TEST_F(ZelqDriverTest, ConstructionFailuresLeaveNoDevice) {
  struct Case {
    const char* library;
    const char* answers;
    std::u16string message;
    std::vector<std::string> trace;
  } cases[] = {
      {QV_ZEFT_SIM_NOINIT, "", u"Unable to get address for procedure ZEFT_Init", {}},
      {QV_ZEFT_SIM_NOBPERESPONSE, "", u"Unable to get address for procedure ZEFT_PAY_BPE_GetResponse",
       {"ZEFT_Terminate"}},
      {QV_ZEFT_SIM, "init = false\n", u"Error in ZELQ initialization:" + fScenario,
       {"ZEFT_Init config=" + ToUtf8(fScenario) + " -> 0", "ZEFT_Terminate"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.library);
    Scenario(std::string(kApproved) + c.answers);
    std::remove(ToUtf8(fTrace).c_str());
    const HostCall open = Call("OPEN", OpenRequest(c.library));
    EXPECT_EQ(open.fCode, kFailed);
    EXPECT_U16(open.fError, c.message);
    EXPECT_EQ(Trace(), c.trace);
  }
  // None of the failed devices took a handle.
  Scenario(kApproved);
  const HostCall open = Call("OPEN", OpenRequest());
  EXPECT_U16(qv::DocumentElement(open.fOutput, u"Handle"), u"1");
}

TEST_F(ZelqDriverTest, VersionText) {
  std::u16string version;
  const uint32_t code = fLib->Version()(nullptr, nullptr, nullptr);
  EXPECT_EQ(code, 0u);
  HostStr key = fLib->Alloc(u"QVPA_ZELQ_10");
  HostStr out = nullptr;
  fLib->Version()(key, &out, nullptr);
  version = fLib->Text(out);
  fLib->Free(key);
  fLib->Free(out);
  EXPECT_EQ(ToUtf8(version).substr(0, 15), "Version 1.07 - ");
  EXPECT_GT(version.size(), 15u);
}

}  // namespace
}  // namespace qvtest
