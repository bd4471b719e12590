#include "test_payment_device.h"

#include <new>

#include "core/date_time.h"
#include "core/error.h"
#include "host/payment_registry.h"

namespace qvtest {

using namespace qv;

int qTestPaymentDevice::sLiveCount = 0;
bool qTestPaymentDevice::sListedAtDestruction = false;

qTestPaymentDevice::qTestPaymentDevice(const qPaymentHandler& aHandler) : qPaymentDevice(aHandler) {
  if (aHandler.ParameterExists(u"FailCreate")) throw qError(aHandler.GetParameter(u"FailCreate"));
  ++sLiveCount;
}

qTestPaymentDevice::~qTestPaymentDevice() {
  --sLiveCount;
  sListedAtDestruction = fHandle > 0 && PaymentDevices().Find(fHandle) != nullptr;
}

bool qTestPaymentDevice::Pay(const qPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  const std::u16string& mode = aReceipt.fReference;
  if (mode == u"fill") {
    aResult.DeviceId = u"TID<1>";
    DateTimeParts when;
    when.fYear = 2024;
    when.fMonth = 3;
    when.fDay = 5;
    when.fHour = 14;
    when.fMinute = 7;
    when.fSecond = 9;
    when.fMillisecond = 123;
    TryEncodeDateTime(when, aResult.PaymentDateTime);
    aResult.PaymentNumber = u"000042";
    aResult.PaymentAmount = aReceipt.fAmount;
    aResult.PaymentCurrency = u"EUR";
    aResult.MaskedPAN = u"************1234";
    aResult.SerialNumber = u"S/N \"7\"";
    aResult.TransactionType = tqPaymentTransactionType::ptt_RFID;
    aResult.PaymentNetwork = tqPaymentNetwork::ApplePay;
    aResult.AuthCode = u"A'1";
    aResult.TraceAuditId = u"T&9";
    aResult.ExchangeRate = Currency::FromScaled(10825);           // 1.0825
    aResult.PaymentAmountCurrency = Currency::FromScaled(-32500);  // -3.25
    aResult.PaymentCurrencyCurrency = u"USD";
    aResult.TippedAmount = Currency::FromScaled(500);              // 0.05
    aResult.RemainingBalance = Currency::FromUnits(10);
    aResult.NumberOfItems = -2;
    aResult.SingleItemAmount = Currency::FromScaled(12345678);     // 1234.5678
    aResult.SignatureRequested = true;
    aResult.CustomerCountryCode = u"IT";
    aResult.ReceiptText = u"CARD PAYMENT\r\nTOTAL 1234.5\r\n";
    aResult.CashierReceiptText = u"COPY\r\n";
    aResult.RawResponse = u"RAW-SHOULD-NOT-APPEAR";
    aResult.Error = false;
    aResult.LogFileName = u"C:\\POS\\LogFiles\\Payment\\test.log";
  } else if (mode == u"refuse") {
    aResult.DeviceId = u"TID1";
    aResult.PaymentNetwork = tqPaymentNetwork::Visa;
    aResult.Error = true;
    aResult.ErrorText = u"Refused: a < b & 'c'";
  } else if (mode == u"throw") {
    aResult.DeviceId = u"PARTIAL";
    aResult.PaymentAmount = Currency::FromUnits(5);
    throw qError(u"Terminal lost: a < b & 'c'");
  } else if (mode == u"ioerror") {
    // An I/O failure the handler recorded, with the result left alone.
    fIOHandler->SetCustomError(7, u"Port closed");
  } else if (mode == u"nomem") {
    throw std::bad_alloc();
  } else {
    aResult.Error = false;
  }
  return !aResult.Error;
}

bool qTestPaymentDevice::Reprint(const std::u16string& aReceiptId, TqPrintLocation aPrintLocation,
                                 _int_REPRINT_result& aResult) {
  if (aReceiptId == u"throw") throw qError(u"Reprint failed");
  aResult.ReceiptText = u"Copy of " + aReceiptId +
                        (aPrintLocation == TqPrintLocation::pl_EFT ? u" at EFT" : u" at ECR") + u"\r\n<end>";
  aResult.Error = false;
  return true;
}

void RegisterTestDriver() { RegisterPaymentDriver(kTestDriverKey, qPaymentClass::Of<qTestPaymentDevice>()); }

}  // namespace qvtest
