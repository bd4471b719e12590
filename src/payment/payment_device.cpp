#include "payment/payment_device.h"

#include "base/application.h"
#include "platform/file_system.h"
#include "platform/local_time.h"

namespace qv {

std::u16string qPaymentDevice::LogDirectory(const std::u16string& aApplicationDirectory) {
  return JoinPath(aApplicationDirectory, u"LogFiles" + std::u16string(1, PathDelimiter()) + u"Payment");
}

qPaymentDevice::qPaymentDevice(const qPaymentHandler& aHandler)
    : fIOHandler(aHandler.CreateIOHandler(LogDirectory(GetApplicationDirectory()))) {}

qPaymentDevice::~qPaymentDevice() = default;

_int_PAY_result qPaymentDevice::Pub_Pay(const qPaymentHandler& aHandler) {
  _int_PAY_result result;
  fIOHandler->Debug(let_info, u"------------------------------------------------------------ Pay");
  result.LogFileName = fIOHandler->GetLogFileName();
  TDateTime now = 0;
  TryEncodeDateTime(LocalTimeNow(), now);
  result.PaymentDateTime = now;
  result.TransactionType = tqPaymentTransactionType::ptt_Other;
  result.PaymentNetwork = tqPaymentNetwork::Other;
  Pay(aHandler.PaymentReceipt(), result);
  if (fIOHandler->ErrorFound()) result.ErrorText = fIOHandler->ErrorMessage();
  return result;
}

_int_REPRINT_result qPaymentDevice::Pub_Reprint(const qPaymentHandler& aHandler) {
  _int_REPRINT_result result;
  const qPaymentReceipt& receipt = aHandler.PaymentReceipt();
  Reprint(receipt.fReceiptId, receipt.fPrintLocation, result);
  if (fIOHandler->ErrorFound()) result.ErrorText = fIOHandler->ErrorMessage();
  return result;
}

std::u16string qPaymentDevice::GetDriverVersion() {
  const tQV_Application* app = Application();
  if (!app) return u"Version  - ";
  return u"Version " + app->Info().Version() + u" - " + app->ReleaseDateText();
}

}  // namespace qv
