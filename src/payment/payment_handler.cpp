#include "payment/payment_handler.h"

#include "core/error.h"
#include "receipt/qrpt_util.h"

namespace qv {

void qPaymentReceipt::Deserialize(const XmlDocument& aDocument) {
  const XmlNode* payment = qrptUtil::FindChild(aDocument.DocumentElement(), u"Payment");
  if (!payment) throw qError(u"Payment node not found");
  const XmlNode& p = *payment;

  fMerchantCode = qrptUtil::GetNodeValueAsString(p, u"MerchantCode");
  fStoreCode = qrptUtil::GetNodeValueAsString(p, u"StoreCode");
  fTillCode = qrptUtil::GetNodeValueAsString(p, u"TillCode");
  fReference = qrptUtil::GetNodeValueAsString(p, u"Reference");
  fAmount = qrptUtil::GetNodeValueAsCurrency(p, u"Amount");
  fCurrency = qrptUtil::GetNodeValueAsString(p, u"Currency");
  fTipAmount = qrptUtil::GetNodeValueAsCurrency(p, u"TipAmount");
  fRequestTipAmount = qrptUtil::GetNodeValueAsBoolean(p, u"RequestTipAmount");
  fMaxItems = qrptUtil::GetNodeValueAsInteger(p, u"MaxItems");
  fMaxAmount = qrptUtil::GetNodeValueAsCurrency(p, u"MaxAmount");
  if (qrptUtil::GetNodeValueAsInteger(p, u"ReceiptColCount") > 0)
    fReceiptColCount = qrptUtil::GetNodeValueAsInteger(p, u"ReceiptColCount");

  const std::u16string location = qrptUtil::GetNodeValueAsString(p, u"PrintLocation");
  if (location == u"ECR") {
    fPrintLocation = TqPrintLocation::pl_ECR;
  } else if (location == u"EFT") {
    fPrintLocation = TqPrintLocation::pl_EFT;
  } else if (!location.empty()) {
    throw qError(u"Payment Location " + location + u" invalid. Allowed values are: ECR,EFT.");
  }

  const std::u16string channel = qrptUtil::GetNodeValueAsString(p, u"PaymentChannel");
  if (channel.empty() || channel == u"STD") {
    fPaymentChannel = TqPaymentChannel::pc_Standard;
  } else if (channel == u"MVP") {
    fPaymentChannel = TqPaymentChannel::pc_MealVoucherProvider;
  } else if (channel == u"NHS") {
    fPaymentChannel = TqPaymentChannel::pc_NationalHealthService;
  } else {
    throw qError(u"Payment Channel " + channel + u" invalid. Allowed values are: STD,MVP,NHS.");
  }

  const std::u16string action = qrptUtil::GetNodeValueAsString(p, u"Action");
  if (action.empty() || action == u"PAY") {
    fAction = tqPaymentAction::Pay;
  } else if (action == u"REFUND") {
    fAction = tqPaymentAction::Refund;
  } else {
    throw qError(u"Action " + action + u" invalid. Allowed values are: PAY,REFUND.");
  }

  if (const XmlNode* refund = qrptUtil::FindChild(p, u"RefundReference")) {
    fRefundReference.PaymentNumber = qrptUtil::GetNodeValueAsString(*refund, u"PaymentId");
    fRefundReference.PaymentDateTime = qrptUtil::GetNodeValueAsDateTime(*refund, u"PaymentDateTime");
  }
  fReceiptId = qrptUtil::GetNodeValueAsString(p, u"ReceiptId");
}

qPaymentHandler::qPaymentHandler() : fPaymentReceipt(std::make_unique<qPaymentReceipt>()) {}

qPaymentHandler::~qPaymentHandler() = default;

void qPaymentHandler::Deserialize(const std::u16string& aXml, tqPaymentHandlerDocumentTypes aDocumentTypes) {
  const std::shared_ptr<const XmlDocument> document = qDeviceHandler::Deserialize(aXml);
  if (aDocumentTypes & (dt_Pay | dt_PayReprint)) fPaymentReceipt->Deserialize(*document);
}

}  // namespace qv
