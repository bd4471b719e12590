#include <gtest/gtest.h>

#include "core/text.h"
#include "payment/payment_defs.h"
#include "payment/payment_results.h"

namespace qv {
namespace {

TEST(PaymentVocabularyTest, NetworkWords) {
  // Every value, in ordinal order: a shifted table shows at once.
  const char* words[] = {"bank",       "cheque", "visa",      "amex",   "mastercard", "jcb",
                         "cup",        "diners", "maestro",   "NHS",    "edenred",    "day",
                         "sodexo",     "pellegrini", "bluticket", "jakala", "miglunch",
                         "", "", "", "", "", "", "", "", "", "", "",  // AliPay to Yandex
                         "other"};
  static_assert(sizeof(words) / sizeof(words[0]) == kPaymentNetworkCount, "one word per network");
  for (int i = 0; i < kPaymentNetworkCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ToUtf8(_int_PAY_result::DecodeNetwork(static_cast<tqPaymentNetwork>(i))), words[i]);
  }
  EXPECT_EQ(static_cast<int>(tqPaymentNetwork::ApplePay), 24);
  // A byte outside the enumeration has no word and reads nothing out of range.
  EXPECT_EQ(_int_PAY_result::DecodeNetwork(static_cast<tqPaymentNetwork>(200)), u"");
}

TEST(PaymentVocabularyTest, TransactionTypeWords) {
  const char* words[] = {"CHIP", "MAGSTRIPE", "MANUAL", "CLESS", "CLESSMAGSTRIPE", "CLESSCHIP", "", "OTHER"};
  static_assert(sizeof(words) / sizeof(words[0]) == kPaymentTransactionTypeCount, "one word per type");
  for (int i = 0; i < kPaymentTransactionTypeCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ToUtf8(_int_PAY_result::DecodeTransactionType(static_cast<tqPaymentTransactionType>(i))), words[i]);
  }
  EXPECT_EQ(_int_PAY_result::DecodeTransactionType(static_cast<tqPaymentTransactionType>(8)), u"");
}

TEST(PaymentVocabularyTest, ZelqNetworkLookup) {
  struct Case {
    const char16_t* key;
    tqPaymentNetwork network;
  } cases[] = {
      {u"1", tqPaymentNetwork::Bank},        {u"2", tqPaymentNetwork::Visa},
      {u"3", tqPaymentNetwork::Mastercard},  {u"4", tqPaymentNetwork::Maestro},
      {u"5", tqPaymentNetwork::Diners},      {u"6", tqPaymentNetwork::Amex},
      {u"7", tqPaymentNetwork::Other},       {u"8", tqPaymentNetwork::Other},
      {u"9", tqPaymentNetwork::NHS},         {u"MV001", tqPaymentNetwork::Edenred},
      {u"MV002", tqPaymentNetwork::Day},     {u"MV003", tqPaymentNetwork::Sodexo},
      {u"MV004", tqPaymentNetwork::Pellegrini}, {u"MV005", tqPaymentNetwork::Other},
      {u"MV006", tqPaymentNetwork::Other},   {u"MV007", tqPaymentNetwork::BluTicket},
      {u"MV008", tqPaymentNetwork::Jakala},  {u"MV009", tqPaymentNetwork::MIGLunch},
      {u"MV010", tqPaymentNetwork::Sodexo},  {u"mv001", tqPaymentNetwork::Other},
      {u" 2", tqPaymentNetwork::Other},      {u"2 ", tqPaymentNetwork::Other},
      {u"02", tqPaymentNetwork::Other},      {u"", tqPaymentNetwork::Other},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.key));
    EXPECT_EQ(static_cast<int>(ZelqNetworkFromKey(c.key)), static_cast<int>(c.network));
  }
}

}  // namespace
}  // namespace qv
