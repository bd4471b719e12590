#include <gtest/gtest.h>

#include "core/error.h"
#include "payment/payment_handler.h"
#include "test_support.h"

namespace qv {
namespace {

std::u16string PayRequest(const std::u16string& aPayment) {
  return u"<Request><Driver>QVPA_ZELQ_10</Driver>" + aPayment + u"</Request>";
}

TEST(PaymentHandlerTest, OnlyAmountGivesDefaults) {
  qPaymentHandler h;
  h.Deserialize(PayRequest(u"<Payment><Amount>12.50</Amount></Payment>"), dt_Pay);
  const qPaymentReceipt& r = h.PaymentReceipt();
  EXPECT_EQ(r.fAmount, Currency::FromScaled(125000));
  EXPECT_EQ(r.fPaymentChannel, TqPaymentChannel::pc_Standard);
  EXPECT_EQ(r.fAction, tqPaymentAction::Pay);
  EXPECT_EQ(r.fPrintLocation, TqPrintLocation::pl_ECR);
  EXPECT_EQ(r.fReceiptColCount, 32);
  EXPECT_EQ(r.fMerchantCode, u"");
  EXPECT_EQ(r.fRefundReference.PaymentDateTime, 0.0);
  EXPECT_EQ(h.Driver(), u"QVPA_ZELQ_10");
}

TEST(PaymentHandlerTest, FullPaymentNode) {
  qPaymentHandler h;
  h.Deserialize(PayRequest(u"<Payment><MerchantCode>1234</MerchantCode><StoreCode>12</StoreCode>"
                           u"<TillCode>3</TillCode><Reference>-7</Reference><Amount>25</Amount>"
                           u"<Currency>EUR</Currency><TipAmount>1.5</TipAmount><RequestTipAmount>true</RequestTipAmount>"
                           u"<MaxItems>4</MaxItems><MaxAmount>25.00</MaxAmount><ReceiptColCount>40</ReceiptColCount>"
                           u"<PrintLocation>EFT</PrintLocation><PaymentChannel>MVP</PaymentChannel>"
                           u"<Action>REFUND</Action><RefundReference><PaymentId>P9</PaymentId>"
                           u"<PaymentDateTime>2024-01-31T10:00:00</PaymentDateTime></RefundReference>"
                           u"<ReceiptId>R1</ReceiptId></Payment>"),
                dt_PayReprint);
  const qPaymentReceipt& r = h.PaymentReceipt();
  EXPECT_EQ(r.fMerchantCode, u"1234");
  EXPECT_EQ(r.fStoreCode, u"12");
  EXPECT_EQ(r.fTillCode, u"3");
  EXPECT_EQ(r.fReference, u"-7");
  EXPECT_EQ(r.fCurrency, u"EUR");
  EXPECT_EQ(r.fTipAmount, Currency::FromScaled(15000));
  EXPECT_TRUE(r.fRequestTipAmount);
  EXPECT_EQ(r.fMaxItems, 4);
  EXPECT_EQ(r.fMaxAmount, Currency::FromUnits(25));
  EXPECT_EQ(r.fReceiptColCount, 40);
  EXPECT_EQ(r.fPrintLocation, TqPrintLocation::pl_EFT);
  EXPECT_EQ(r.fPaymentChannel, TqPaymentChannel::pc_MealVoucherProvider);
  EXPECT_EQ(r.fAction, tqPaymentAction::Refund);
  EXPECT_EQ(r.fRefundReference.PaymentNumber, u"P9");
  EXPECT_EQ(FormatIsoDateTime(r.fRefundReference.PaymentDateTime), u"2024-01-31T10:00:00.000Z");
  EXPECT_EQ(r.fReceiptId, u"R1");
}

TEST(PaymentHandlerTest, KeywordsAndColumns) {
  struct Case {
    const char16_t* payment;
    const char16_t* message;  // empty: accepted
    int columns;
    TqPaymentChannel channel;
  } cases[] = {
      {u"<ReceiptColCount>0</ReceiptColCount>", u"", 32, TqPaymentChannel::pc_Standard},
      {u"<ReceiptColCount>-5</ReceiptColCount>", u"", 32, TqPaymentChannel::pc_Standard},
      {u"<PaymentChannel>NHS</PaymentChannel>", u"", 32, TqPaymentChannel::pc_NationalHealthService},
      {u"<PaymentChannel>STD</PaymentChannel>", u"", 32, TqPaymentChannel::pc_Standard},
      {u"<PrintLocation>eft</PrintLocation>", u"Payment Location eft invalid. Allowed values are: ECR,EFT.", 0, {}},
      {u"<PrintLocation> EFT</PrintLocation>", u"Payment Location  EFT invalid. Allowed values are: ECR,EFT.", 0, {}},
      {u"<PaymentChannel>std</PaymentChannel>", u"Payment Channel std invalid. Allowed values are: STD,MVP,NHS.", 0, {}},
      {u"<Action>Pay</Action>", u"Action Pay invalid. Allowed values are: PAY,REFUND.", 0, {}},
      {u"<PaymentChannel>X</PaymentChannel><Amount>1,5</Amount>",
       u"Error in processing node Amount as currency.\r\n'1,5' is not a valid floating point value", 0, {}},
      {u"<RefundReference><PaymentDateTime>bad</PaymentDateTime></RefundReference>",
       u"Error in processing node PaymentDateTime as datetime.\r\nInvalid date string: bad", 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.payment));
    qPaymentHandler h;
    const std::u16string xml = PayRequest(u"<Payment>" + std::u16string(c.payment) + u"</Payment>");
    if (*c.message) {
      EXPECT_QV_ERROR(h.Deserialize(xml, dt_Pay), std::u16string(c.message));
    } else {
      h.Deserialize(xml, dt_Pay);
      EXPECT_EQ(h.PaymentReceipt().fReceiptColCount, c.columns);
      EXPECT_EQ(h.PaymentReceipt().fPaymentChannel, c.channel);
    }
  }
}

TEST(PaymentHandlerTest, PaymentNodeReadOnlyForPayAndReprint) {
  const std::u16string bad = PayRequest(u"<Payment><PaymentChannel>bogus</PaymentChannel></Payment>");
  qPaymentHandler open;
  EXPECT_NO_THROW(open.Deserialize(bad, dt_Open));
  qPaymentHandler close;
  EXPECT_NO_THROW(close.Deserialize(bad, 0));
  qPaymentHandler reprint;
  EXPECT_QV_ERROR(reprint.Deserialize(PayRequest(u""), dt_PayReprint), u"Payment node not found");
  qPaymentHandler both;
  EXPECT_QV_ERROR(both.Deserialize(PayRequest(u"<payment/>"), dt_Pay | dt_PayReprint), u"Payment node not found");
  // The Payment node must be a child of the document element, not deeper.
  qPaymentHandler deeper;
  EXPECT_QV_ERROR(deeper.Deserialize(u"<R><X><Payment/></X></R>", dt_Pay), u"Payment node not found");
}

TEST(PaymentHandlerTest, RefundReferenceParts) {
  qPaymentHandler h;
  h.Deserialize(PayRequest(u"<Payment><RefundReference/></Payment>"), dt_Pay);
  EXPECT_EQ(h.PaymentReceipt().fRefundReference.PaymentNumber, u"");
  EXPECT_EQ(h.PaymentReceipt().fRefundReference.PaymentDateTime, 0.0);
}

}  // namespace
}  // namespace qv
