// The exported functions as a host calls them: the built library is loaded,
// each function found by name, strings made and freed with the host's OLE
// allocator. Each test loads the library afresh, so the tables start empty
// and the first device gets handle 1.
#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <iterator>
#include <locale>
#include <memory>
#include <string>

#include "core/date_time.h"
#include "core/text.h"
#include "payment/payment_device.h"
#include "platform/file_system.h"
#include "platform/local_time.h"
#include "receipt/qrpt_util.h"
#include "base/application.h"
#include "host/result_documents.h"
#include "host_library.h"
#include "test_payment_device.h"
#include "test_support.h"

namespace qvtest {
namespace {

using qv::ToUtf8;

// Documents are compared as UTF-8 so that a failure prints readably.
#define EXPECT_U16(a, b) EXPECT_EQ(ToUtf8(a), ToUtf8(b))

// Every request names the test library as its connection, so that a device
// built from it gets a working I/O handler.
std::u16string Request(std::u16string_view aInner) {
  return u"<Request>" + qv::SampleConnection() + std::u16string(aInner) + u"</Request>";
}

std::u16string OpenRequest(std::u16string_view aDriver = kTestDriverKey) {
  return Request(u"<Driver>" + std::u16string(aDriver) + u"</Driver>");
}

std::u16string HandleRequest(int aHandle) {
  return Request(u"<Driver>QVPA_TEST_10</Driver><Handle>" + qv::IntToStr(aHandle) + u"</Handle>");
}

std::u16string PayRequest(std::u16string_view aReference, std::u16string_view aExtra = u"") {
  return Request(u"<Driver>QVPA_TEST_10</Driver>" + std::u16string(aExtra) + u"<Payment><Reference>" +
                 std::u16string(aReference) + u"</Reference><Amount>1234.5</Amount></Payment>");
}

qv::TDateTime Now() {
  qv::TDateTime now = 0;
  qv::TryEncodeDateTime(qv::LocalTimeNow(), now);
  return now;
}

std::u16string EscapeForDocument(const std::u16string& aText) { return qv::EscapeXml(aText); }

std::u16string OpenDocument(int aHandle, bool aError, std::u16string_view aErrorText) {
  return u"<Handle>" + qv::IntToStr(aHandle) + u"</Handle>\r\n<Error>" + (aError ? u"True" : u"False") +
         u"</Error>\r\n<ErrorText>" + std::u16string(aErrorText) + u"</ErrorText>\r\n<LogFileName></LogFileName>";
}

const std::u16string kCloseDone = u"<Error>False</Error>\r\n<ErrorText></ErrorText>\r\n<LogFileName></LogFileName>";
const std::u16string kCloseFailed = u"<Error>True</Error>\r\n<ErrorText></ErrorText>\r\n<LogFileName></LogFileName>";

constexpr uint32_t kFailed = 65535;  // -1 as a 16-bit result, read through 32 bits

const std::u16string kStatusDocument =
    u"<DayOpened>False</DayOpened>\r\n"
    u"<DateTime>1899-12-30T00:00:00.000Z</DateTime>\r\n"
    u"<PaperEnd>False</PaperEnd>\r\n"
    u"<PaperNearEnd>False</PaperNearEnd>\r\n"
    u"<CoverOpen>False</CoverOpen>\r\n"
    u"<FiscalReceiptOpen>False</FiscalReceiptOpen>\r\n"
    u"<ReceiptOpen>False</ReceiptOpen>\r\n"
    u"<TrainingMode>False</TrainingMode>\r\n"
    u"<FirmwareVersion></FirmwareVersion>\r\n"
    u"<SerialNumber></SerialNumber>\r\n"
    u"<FiscalMode></FiscalMode>\r\n"
    u"<Error>False</Error>\r\n"
    u"<ErrorText></ErrorText>\r\n"
    u"<LogFileName></LogFileName>";

class HostExportsTest : public ::testing::Test {
 protected:
  void SetUp() override { fLib = std::make_unique<HostLibrary>(QV_TEST_HOST_LIBRARY); }
  void TearDown() override { fLib.reset(); }

  HostCall Call(const char* aName, std::u16string_view aRequest) { return fLib->Call(aName, aRequest); }
  int OpenNew() {
    const HostCall call = Call("OPEN", OpenRequest());
    EXPECT_EQ(call.fCode, 0u) << ToUtf8(call.fError);
    const auto start = call.fOutput.find(u"<Handle>") + 8;
    return std::stoi(ToUtf8(call.fOutput.substr(start, call.fOutput.find(u'<', start) - start)));
  }

  std::unique_ptr<HostLibrary> fLib;
};

TEST_F(HostExportsTest, GetStatusAnswersTheSameDocumentForAnyRequest) {
  struct Case {
    const char* name;
    std::u16string request;
    bool null;
  } cases[] = {
      {"null", u"", true},
      {"empty", u"", false},
      {"malformed", u"<<not xml", false},
      {"device request", HandleRequest(99), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HostCall call = fLib->Call("GETSTATUS", c.request, c.null);
    EXPECT_EQ(call.fCode, 0u);
    EXPECT_U16(call.fOutput, kStatusDocument);
    EXPECT_TRUE(call.fErrorNull);
  }
}

TEST_F(HostExportsTest, HandlesCountUpAndAreNeverReused) {
  const HostCall first = Call("OPEN", OpenRequest());
  EXPECT_EQ(first.fCode, 0u);
  EXPECT_U16(first.fOutput, OpenDocument(1, false, u""));
  EXPECT_TRUE(first.fErrorNull);
  EXPECT_EQ(OpenNew(), 2);

  const HostCall close = Call("CLOSE", HandleRequest(1));
  EXPECT_EQ(close.fCode, 0u);
  EXPECT_U16(close.fOutput, kCloseDone);
  EXPECT_TRUE(close.fErrorNull);
  EXPECT_EQ(OpenNew(), 3);

  // An open handle is answered as it is, whatever the driver key says, and
  // creates nothing.
  const HostCall again = Call("OPEN", Request(u"<Driver>other</Driver><Handle>2</Handle>"));
  EXPECT_EQ(again.fCode, 0u);
  EXPECT_U16(again.fOutput, OpenDocument(2, false, u""));
  EXPECT_EQ(OpenNew(), 4);
}

TEST_F(HostExportsTest, CloseFailuresWriteTheDocumentAndReportTheMessage) {
  ASSERT_EQ(OpenNew(), 1);
  ASSERT_EQ(Call("CLOSE", HandleRequest(1)).fCode, 0u);
  struct Case {
    const char* name;
    std::u16string request;
    const char16_t* message;
  } cases[] = {
      {"closed twice", HandleRequest(1), u"Device Handle not found"},
      {"never opened", HandleRequest(5), u"Device Handle not found"},
      {"no handle", OpenRequest(), u"Payment Device has not previously opened"},
      {"handle 0", HandleRequest(0), u"Payment Device has not previously opened"},
      {"negative handle", HandleRequest(-3), u"Payment Device has not previously opened"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HostCall call = Call("CLOSE", c.request);
    EXPECT_EQ(call.fCode, kFailed);
    EXPECT_U16(call.fOutput, kCloseFailed);
    EXPECT_U16(call.fError, c.message);
  }
  // A request the parser refuses fails the same way, with the parser's message.
  const HostCall bad = fLib->Call("CLOSE", u"", true);
  EXPECT_EQ(bad.fCode, kFailed);
  EXPECT_U16(bad.fOutput, kCloseFailed);
  EXPECT_FALSE(bad.fError.empty());
}

TEST_F(HostExportsTest, OpenFailuresReportHandleZeroAndTheMessage) {
  struct Case {
    const char* name;
    std::u16string request;
    const char16_t* message;
    const char16_t* escaped;
  } cases[] = {
      {"unknown key", OpenRequest(u"NOPE"), u"Payment Driver [NOPE] not registered.",
       u"Payment Driver [NOPE] not registered."},
      {"key in other case", OpenRequest(u"qvpa_test_10"), u"Payment Driver [qvpa_test_10] not registered.",
       u"Payment Driver [qvpa_test_10] not registered."},
      {"empty key", Request(u""), u"Payment Driver [] not registered.", u"Payment Driver [] not registered."},
      {"key with blanks", OpenRequest(u"QVPA_TEST_10 "), u"Payment Driver [QVPA_TEST_10 ] not registered.",
       u"Payment Driver [QVPA_TEST_10 ] not registered."},
      {"unknown handle", HandleRequest(7), u"Device Handle not found", u"Device Handle not found"},
      {"constructor fails",
       Request(u"<Driver>QVPA_TEST_10</Driver><Parameters><FailCreate>Port &lt;busy&gt; &amp; 'gone'"
               u"</FailCreate></Parameters>"),
       u"Port <busy> & 'gone'", u"Port &lt;busy&gt; &amp; &apos;gone&apos;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HostCall call = Call("OPEN", c.request);
    EXPECT_EQ(call.fCode, kFailed);
    EXPECT_U16(call.fOutput, OpenDocument(0, true, c.escaped));
    EXPECT_U16(call.fError, c.message);
  }
  const HostCall nullRequest = fLib->Call("OPEN", u"", true);
  EXPECT_EQ(nullRequest.fCode, kFailed);
  EXPECT_FALSE(nullRequest.fError.empty());
  EXPECT_U16(nullRequest.fOutput, OpenDocument(0, true, qv::EscapeXml(nullRequest.fError)));
  // None of the failures, the failed constructor included, used up a handle.
  EXPECT_EQ(OpenNew(), 1);
}

TEST_F(HostExportsTest, OutputVariablesAreClearedWithoutBeingFreed) {
  HostStr previousOutput = fLib->Alloc(u"host's own output");
  HostStr previousError = fLib->Alloc(u"host's own error");
  HostStr output = previousOutput;
  HostStr error = previousError;
  HostStr request = fLib->Alloc(OpenRequest());
  EXPECT_EQ(fLib->Command("OPEN")(request, &output, &error), 0u);
  EXPECT_NE(output, previousOutput);
  EXPECT_U16(fLib->Text(output), OpenDocument(1, false, u""));
  EXPECT_EQ(error, nullptr);  // an empty text comes back as null
  // Still the host's strings, intact; freeing them here must be the only free.
  EXPECT_U16(fLib->Text(previousOutput), u"host's own output");
  EXPECT_U16(fLib->Text(previousError), u"host's own error");
  fLib->Free(output);
  fLib->Free(previousOutput);
  fLib->Free(previousError);
  fLib->Free(request);
}

TEST_F(HostExportsTest, NullOutputPointersAreNeverWrittenThrough) {
  HostStr request = fLib->Alloc(OpenRequest());
  HostStr output = nullptr;
  EXPECT_EQ(fLib->Command("OPEN")(request, nullptr, nullptr), 0u);  // device 1
  EXPECT_EQ(fLib->Command("OPEN")(request, &output, nullptr), 0u);  // device 2
  EXPECT_U16(fLib->Text(output), OpenDocument(2, false, u""));
  fLib->Free(output);
  HostStr error = nullptr;
  EXPECT_EQ(fLib->Command("CLOSE")(request, nullptr, &error), kFailed);
  EXPECT_U16(fLib->Text(error), u"Payment Device has not previously opened");
  fLib->Free(error);
  EXPECT_EQ(fLib->Command("GETSTATUS")(request, nullptr, nullptr), 0u);
  EXPECT_EQ(fLib->Version()(request, nullptr, nullptr), 0);
  fLib->Free(request);
}

TEST_F(HostExportsTest, ResultCodeIsSixteenBitsZeroExtended) {
  HostStr request = fLib->Alloc(HandleRequest(1));
  HostStr output = nullptr;
  HostStr error = nullptr;
  // A host that declares a 16-bit result reads -1; one that reads 32 bits
  // reads 65535, never a sign-extended -1.
  const auto close16 = reinterpret_cast<CommandFn16>(fLib->Symbol("CLOSE"));
  EXPECT_EQ(close16(request, &output, &error), -1);
  fLib->Free(output);
  fLib->Free(error);
  EXPECT_EQ(fLib->Command("CLOSE")(request, &output, &error), 0x0000FFFFu);
  fLib->Free(output);
  fLib->Free(error);
  fLib->Free(request);
}

TEST_F(HostExportsTest, RequestIsReadByItsLengthPrefix) {
  // The terminator overwritten: the request still ends where its length says.
  const std::u16string text = OpenRequest();
  HostStr unterminated = fLib->Alloc(text);
  unterminated[text.size()] = u'X';
  HostStr output = nullptr;
  HostStr error = nullptr;
  EXPECT_EQ(fLib->Command("OPEN")(unterminated, &output, &error), 0u) << ToUtf8(fLib->Text(error));
  EXPECT_U16(fLib->Text(output), OpenDocument(1, false, u""));
  fLib->Free(output);
  fLib->Free(error);
  unterminated[text.size()] = 0;
  fLib->Free(unterminated);

  // An embedded NUL is part of the key, not its end.
  const std::u16string key(u"QVPA_TEST_10\0x", 14);
  HostStr keyString = fLib->Alloc(key);
  HostStr version = nullptr;
  EXPECT_EQ(fLib->Version()(keyString, &version, nullptr), 0);
  EXPECT_EQ(version, nullptr);
  fLib->Free(keyString);
}

TEST_F(HostExportsTest, VersionAnswersOnlyForARegisteredKey) {
  struct Case {
    const char16_t* key;
    bool registered;
  } cases[] = {{u"QVPA_TEST_10", true}, {u"qvpa_test_10", false}, {u"QVPA_TEST_10 ", false}, {u"", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.key));
    HostStr key = fLib->Alloc(c.key);
    HostStr previous = fLib->Alloc(u"previous");
    HostStr version = previous;
    HostStr third = previous;
    EXPECT_EQ(fLib->Version()(key, &version, &third), 0);
    EXPECT_EQ(third, nullptr);
    if (c.registered) {
      const std::u16string text = fLib->Text(version);
      EXPECT_EQ(ToUtf8(text.substr(0, 15)), "Version 1.07 - ");
      EXPECT_GT(text.size(), 15u);
    } else {
      EXPECT_EQ(version, nullptr);
    }
    EXPECT_U16(fLib->Text(previous), u"previous");
    if (version != previous) fLib->Free(version);
    fLib->Free(previous);
    fLib->Free(key);
  }
}

// The PAY document of a payment that failed before the device answered.
std::u16string FailedPayDocument(std::u16string_view aEscapedError) {
  return u"<DeviceId></DeviceId>\r\n<PaymentDateTime>1899-12-30T00:00:00.000Z</PaymentDateTime>\r\n"
         u"<PaymentNumber></PaymentNumber>\r\n<PaymentAmount>0</PaymentAmount>\r\n"
         u"<PaymentCurrency></PaymentCurrency>\r\n<ExchangeRate>0</ExchangeRate>\r\n"
         u"<PaymentAmountCurrency>0</PaymentAmountCurrency>\r\n"
         u"<PaymentCurrencyCurrency></PaymentCurrencyCurrency>\r\n<TippedAmount>0</TippedAmount>\r\n"
         u"<RemainingBalance>0</RemainingBalance>\r\n<MaskedPAN></MaskedPAN>\r\n<SerialNumber></SerialNumber>\r\n"
         u"<PaymentNetwork>other</PaymentNetwork>\r\n<TransactionType>OTHER</TransactionType>\r\n"
         u"<AuthCode></AuthCode>\r\n<TraceAuditId></TraceAuditId>\r\n<NumberOfItems>0</NumberOfItems>\r\n"
         u"<SingleItemAmount>0</SingleItemAmount>\r\n<SignatureRequested>False</SignatureRequested>\r\n"
         u"<CustomerCountryCode></CustomerCountryCode>\r\n<ReceiptText></ReceiptText>\r\n"
         u"<CashierReceiptText></CashierReceiptText>\r\n<Error>True</Error>\r\n<ErrorText>" +
         std::u16string(aEscapedError) + u"</ErrorText>\r\n<LogFileName></LogFileName>";
}

TEST_F(HostExportsTest, FailedPaymentsWriteTheDefaultsAndTheMessage) {
  struct Case {
    const char* name;
    std::u16string request;
    const char16_t* message;
    const char16_t* escaped;
  } cases[] = {
      // What the device had filled before failing is dropped.
      {"failure inside the device", PayRequest(u"throw"), u"Terminal lost: a < b & 'c'",
       u"Terminal lost: a &lt; b &amp; &apos;c&apos;"},
      {"allocation failure inside the device", PayRequest(u"nomem"), u"Out of memory", u"Out of memory"},
      {"unregistered driver", Request(u"<Driver>X</Driver><Payment/>"), u"Payment Driver [X] not registered.",
       u"Payment Driver [X] not registered."},
      {"unknown handle", PayRequest(u"fill", u"<Handle>9</Handle>"), u"Device Handle not found",
       u"Device Handle not found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HostCall call = Call("PAY", c.request);
    EXPECT_EQ(call.fCode, kFailed);
    EXPECT_U16(call.fOutput, FailedPayDocument(c.escaped));
    EXPECT_U16(call.fError, c.message);
  }
}

TEST_F(HostExportsTest, RefusedPaymentKeepsTheDevicesValues) {
  const HostCall call = Call("PAY", PayRequest(u"refuse"));
  EXPECT_EQ(call.fCode, kFailed);
  EXPECT_U16(call.fError, u"Refused: a < b & 'c'");
  const std::u16string& doc = call.fOutput;
  EXPECT_NE(doc.find(u"<DeviceId>TID1</DeviceId>\r\n"), std::u16string::npos);
  EXPECT_NE(doc.find(u"<PaymentNetwork>visa</PaymentNetwork>\r\n"), std::u16string::npos);
  // Fields the device did not write keep the payment presets.
  EXPECT_NE(doc.find(u"<TransactionType>OTHER</TransactionType>\r\n"), std::u16string::npos);
  EXPECT_NE(doc.find(u"<Error>True</Error>\r\n<ErrorText>Refused: a &lt; b &amp; &apos;c&apos;</ErrorText>"),
            std::u16string::npos);
}

// A C++ locale whose decimal separator is a comma, for the builds whose C
// library has no such named locale.
struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST_F(HostExportsTest, PaymentDocumentIsIndependentOfRegionalSettings) {
  // Switch the process to a decimal comma where the platform offers one.
  const std::string savedC = std::setlocale(LC_ALL, nullptr);
  const std::locale savedCpp = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  bool namedLocale = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE", "German_Germany.1252", "German", "de-DE"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      namedLocale = std::localeconv()->decimal_point[0] == ',';
      if (namedLocale) break;
    }
  }
  RecordProperty("decimal_comma_c_locale", namedLocale ? "yes" : "not available");

  const HostCall call = Call("PAY", PayRequest(u"fill"));

  std::setlocale(LC_ALL, savedC.c_str());
  std::locale::global(savedCpp);

  EXPECT_EQ(call.fCode, 0u) << ToUtf8(call.fError);
  EXPECT_TRUE(call.fErrorNull);
  EXPECT_U16(call.fOutput,
             u"<DeviceId>TID&lt;1&gt;</DeviceId>\r\n"
             u"<PaymentDateTime>2024-03-05T14:07:09.123Z</PaymentDateTime>\r\n"
             u"<PaymentNumber>000042</PaymentNumber>\r\n"
             u"<PaymentAmount>1234.5</PaymentAmount>\r\n"
             u"<PaymentCurrency>EUR</PaymentCurrency>\r\n"
             u"<ExchangeRate>1.0825</ExchangeRate>\r\n"
             u"<PaymentAmountCurrency>-3.25</PaymentAmountCurrency>\r\n"
             u"<PaymentCurrencyCurrency>USD</PaymentCurrencyCurrency>\r\n"
             u"<TippedAmount>0.05</TippedAmount>\r\n"
             u"<RemainingBalance>10</RemainingBalance>\r\n"
             u"<MaskedPAN>************1234</MaskedPAN>\r\n"
             u"<SerialNumber>S/N &quot;7&quot;</SerialNumber>\r\n"
             u"<PaymentNetwork></PaymentNetwork>\r\n"
             u"<TransactionType></TransactionType>\r\n"
             u"<AuthCode>A&apos;1</AuthCode>\r\n"
             u"<TraceAuditId>T&amp;9</TraceAuditId>\r\n"
             u"<NumberOfItems>-2</NumberOfItems>\r\n"
             u"<SingleItemAmount>1234.5678</SingleItemAmount>\r\n"
             u"<SignatureRequested>True</SignatureRequested>\r\n"
             u"<CustomerCountryCode>IT</CustomerCountryCode>\r\n"
             u"<ReceiptText>CARD PAYMENT\r\nTOTAL 1234.5\r\n</ReceiptText>\r\n"
             u"<CashierReceiptText>COPY\r\n</CashierReceiptText>\r\n"
             u"<Error>False</Error>\r\n"
             u"<ErrorText></ErrorText>\r\n"
             u"<LogFileName>C:\\POS\\LogFiles\\Payment\\test.log</LogFileName>");
}

TEST_F(HostExportsTest, PaymentPresetsAndDevicesLeftByPaymentsWithoutHandle) {
  const HostCall call = Call("PAY", PayRequest(u"ok"));
  EXPECT_EQ(call.fCode, 0u);
  EXPECT_TRUE(call.fErrorNull);
  EXPECT_NE(call.fOutput.find(u"<PaymentNetwork>other</PaymentNetwork>\r\n<TransactionType>OTHER</TransactionType>"),
            std::u16string::npos);
  EXPECT_NE(call.fOutput.find(u"<Error>False</Error>"), std::u16string::npos);
  // That PAY created device 1 and left it in the table; a PAY on an open
  // handle creates nothing.
  EXPECT_EQ(Call("PAY", PayRequest(u"ok", u"<Handle>1</Handle>")).fCode, 0u);
  EXPECT_EQ(OpenNew(), 2);
  // Unloading with devices open (TearDown) must destroy them cleanly.
}

using qv::DocumentElement;

TEST_F(HostExportsTest, DevicesLogBesideTheHostAndPresetThePayment) {
  const std::u16string open = Request(u"<Driver>QVPA_TEST_10</Driver><LogId>presets</LogId>");
  ASSERT_EQ(Call("OPEN", open).fCode, 0u);
  const qv::TDateTime before = Now();
  const HostCall pay = Call("PAY", PayRequest(u"ok", u"<Handle>1</Handle>"));
  const qv::TDateTime after = Now();
  EXPECT_EQ(pay.fCode, 0u);
  EXPECT_U16(DocumentElement(pay.fOutput, u"Error"), u"False");
  EXPECT_U16(DocumentElement(pay.fOutput, u"PaymentNetwork"), u"other");
  EXPECT_U16(DocumentElement(pay.fOutput, u"TransactionType"), u"OTHER");
  // The time of the call, to the millisecond as the document writes it.
  const qv::TDateTime when = qv::qrptUtil::ISO8601ToDate(DocumentElement(pay.fOutput, u"PaymentDateTime"));
  const double slack = 2.0 / 86400000.0;
  EXPECT_GE(when, before - slack);
  EXPECT_LE(when, after + slack);
  // LogFiles/Payment beside the host's executable, <Driver>_<LogId>_<date>.log.
  const std::u16string expected = qv::JoinPath(qv::qPaymentDevice::LogDirectory(qv::GetApplicationDirectory()),
                                               u"QVPA_TEST_10_presets_" + qv::TodayForLogName() + u".log");
  EXPECT_U16(DocumentElement(pay.fOutput, u"LogFileName"), EscapeForDocument(expected));

  // An I/O error the handler recorded reaches ErrorText; Error stays as the
  // driver left it.
  const HostCall io = Call("PAY", PayRequest(u"ioerror", u"<Handle>1</Handle>"));
  EXPECT_EQ(io.fCode, 0u);
  EXPECT_U16(io.fError, u"Port closed");
  EXPECT_U16(DocumentElement(io.fOutput, u"ErrorText"), u"Port closed");
  EXPECT_U16(DocumentElement(io.fOutput, u"Error"), u"False");

  ASSERT_EQ(Call("CLOSE", HandleRequest(1)).fCode, 0u);
  const std::string log = qv::ReadFileBytes(expected);
  EXPECT_NE(log.find(" - ------------------------------------------------------------ Pay\r\n"), std::string::npos);
  EXPECT_NE(log.find(" - *************************** STOP ****************************\r\n"), std::string::npos);
}

TEST_F(HostExportsTest, OpenOfAMissingLibraryReportsTheLoader) {
  const HostCall open = Call(
      "OPEN", u"<R><Driver>QVPA_TEST_10</Driver><Connection><Type>dll</Type><LibraryName>no_such_vendor_library.dll"
              u"</LibraryName></Connection></R>");
  EXPECT_EQ(open.fCode, kFailed);
  const std::u16string prefix = u"Unable to Load Library no_such_vendor_library.dll. ";
  EXPECT_U16(open.fError.substr(0, prefix.size()), prefix);
  EXPECT_U16(open.fError.substr(open.fError.size() - 6), u" [126]");
  // No device came into being: the next one gets handle 1.
  EXPECT_EQ(OpenNew(), 1);
}

TEST_F(HostExportsTest, Reprint) {
  const std::u16string ok = Request(
      u"<Driver>QVPA_TEST_10</Driver><Payment><ReceiptId>R&lt;1&gt;</ReceiptId>"
      u"<PrintLocation>EFT</PrintLocation></Payment>");
  const HostCall done = Call("REPRINT", ok);
  EXPECT_EQ(done.fCode, 0u);
  EXPECT_TRUE(done.fErrorNull);
  EXPECT_U16(done.fOutput,
             u"<ReceiptText>Copy of R&lt;1&gt; at EFT\r\n&lt;end&gt;</ReceiptText>\r\n<Error>False</Error>\r\n"
             u"<ErrorText></ErrorText>\r\n<LogFileName></LogFileName>");

  const HostCall failed =
      Call("REPRINT", Request(u"<Driver>QVPA_TEST_10</Driver><Payment><ReceiptId>throw</ReceiptId></Payment>"));
  EXPECT_EQ(failed.fCode, kFailed);
  EXPECT_U16(failed.fError, u"Reprint failed");
  EXPECT_U16(failed.fOutput,
             u"<ReceiptText></ReceiptText>\r\n<Error>True</Error>\r\n<ErrorText>Reprint failed</ErrorText>\r\n"
             u"<LogFileName></LogFileName>");
}

// The product library itself, with no test driver in it.
TEST(ProductLibraryTest, AnswersWithoutARegisteredDriver) {
  HostLibrary lib(QV_TEST_PRODUCT_LIBRARY);
  const HostCall open = lib.Call("OPEN", OpenRequest(u"NOT_A_DRIVER"));
  EXPECT_EQ(open.fCode, kFailed);
  EXPECT_U16(open.fError, u"Payment Driver [NOT_A_DRIVER] not registered.");
  EXPECT_U16(open.fOutput, OpenDocument(0, true, u"Payment Driver [NOT_A_DRIVER] not registered."));

  const HostCall status = lib.Call("GETSTATUS", u"", true);
  EXPECT_EQ(status.fCode, 0u);
  EXPECT_U16(status.fOutput, kStatusDocument);

  const HostCall close = lib.Call("CLOSE", HandleRequest(1));
  EXPECT_EQ(close.fCode, kFailed);
  EXPECT_U16(close.fOutput, kCloseFailed);
  EXPECT_U16(close.fError, u"Device Handle not found");

  // The test driver's key is not registered here.
  HostStr key = lib.Alloc(kTestDriverKey);
  HostStr version = nullptr;
  EXPECT_EQ(lib.Version()(key, &version, nullptr), 0);
  EXPECT_EQ(version, nullptr);
  lib.Free(key);
}

}  // namespace
}  // namespace qvtest
