// The payment request: the device part of every request plus, for PAY and
// REPRINT, the Payment node. One handler lives for one command call.
// Deserialize throws qError with the readers' and the keyword messages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/currency.h"
#include "core/date_time.h"
#include "io/device_handler.h"

namespace qv {

enum class TqPaymentChannel { pc_Standard = 0, pc_MealVoucherProvider = 1, pc_NationalHealthService = 2 };
enum class tqPaymentAction { Pay = 0, Refund = 1 };
enum class TqPrintLocation { pl_ECR = 0, pl_EFT = 1 };

struct tqPaymentRefundReference {
  TDateTime PaymentDateTime = 0;
  std::u16string PaymentNumber;
};

enum tqPaymentHandlerDocumentType { dt_Open = 1, dt_Pay = 2, dt_PayReprint = 4 };
// A set of tqPaymentHandlerDocumentType values, or-ed together.
using tqPaymentHandlerDocumentTypes = unsigned;

class qPaymentReceipt {
 public:
  // Reads the Payment child of the document element.
  void Deserialize(const XmlDocument& aDocument);

  // The parsed values; a field left out of the request keeps its value here.
  TqPaymentChannel fPaymentChannel = TqPaymentChannel::pc_Standard;
  tqPaymentAction fAction = tqPaymentAction::Pay;
  std::u16string fMerchantCode;
  std::u16string fStoreCode;
  std::u16string fTillCode;
  std::u16string fReference;
  Currency fAmount;
  std::u16string fCurrency;
  Currency fTipAmount;
  bool fRequestTipAmount = false;
  Currency fMaxAmount;
  int32_t fMaxItems = 0;
  TqPrintLocation fPrintLocation = TqPrintLocation::pl_ECR;
  int32_t fReceiptColCount = 32;
  tqPaymentRefundReference fRefundReference;
  std::u16string fReceiptId;
};

class qPaymentHandler : public qDeviceHandler {
 public:
  qPaymentHandler();
  ~qPaymentHandler() override;

  // The device part, then the Payment node when aDocumentTypes holds dt_Pay
  // or dt_PayReprint.
  void Deserialize(const std::u16string& aXml, tqPaymentHandlerDocumentTypes aDocumentTypes);

  const qPaymentReceipt& PaymentReceipt() const { return *fPaymentReceipt; }

 private:
  std::unique_ptr<qPaymentReceipt> fPaymentReceipt;
};

}  // namespace qv
