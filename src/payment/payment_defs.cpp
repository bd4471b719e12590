#include "payment/payment_defs.h"

namespace qv {

namespace {

// Indexed by the enumerations' ordinal values; keep them in step.
constexpr std::u16string_view kNetworkWords[kPaymentNetworkCount] = {
    u"bank",     u"cheque",  u"visa",     u"amex",       u"mastercard", u"jcb",
    u"cup",      u"diners",  u"maestro",  u"NHS",        u"edenred",    u"day",
    u"sodexo",   u"pellegrini", u"bluticket", u"jakala", u"miglunch",
    u"",  // AliPay
    u"",  // Discover
    u"",  // Doku
    u"",  // DragonPay
    u"",  // MolPay
    u"",  // VPay
    u"",  // AmazonPay
    u"",  // ApplePay
    u"",  // SamsungPay
    u"",  // Paypal
    u"",  // Yandex
    u"other",
};

constexpr std::u16string_view kTransactionTypeWords[kPaymentTransactionTypeCount] = {
    u"CHIP", u"MAGSTRIPE", u"MANUAL", u"CLESS", u"CLESSMAGSTRIPE", u"CLESSCHIP",
    u"",  // RFID
    u"OTHER",
};

}  // namespace

const TqPaymentsNetworkDecode ZelqNetworkCodes[16] = {
    {u"1", tqPaymentNetwork::Bank},           {u"2", tqPaymentNetwork::Visa},
    {u"3", tqPaymentNetwork::Mastercard},     {u"4", tqPaymentNetwork::Maestro},
    {u"5", tqPaymentNetwork::Diners},         {u"6", tqPaymentNetwork::Amex},
    {u"7", tqPaymentNetwork::Other},          {u"9", tqPaymentNetwork::NHS},
    {u"MV001", tqPaymentNetwork::Edenred},    {u"MV002", tqPaymentNetwork::Day},
    {u"MV003", tqPaymentNetwork::Sodexo},     {u"MV004", tqPaymentNetwork::Pellegrini},
    {u"MV007", tqPaymentNetwork::BluTicket},  {u"MV008", tqPaymentNetwork::Jakala},
    {u"MV009", tqPaymentNetwork::MIGLunch},   {u"MV010", tqPaymentNetwork::Sodexo},
};

std::u16string_view PaymentNetworkWord(tqPaymentNetwork aPN) {
  const auto index = static_cast<size_t>(aPN);
  // A record filled from raw bytes may hold any value; it must not read past
  // the table.
  return index < kPaymentNetworkCount ? kNetworkWords[index] : std::u16string_view();
}

std::u16string_view PaymentTransactionTypeWord(tqPaymentTransactionType aTT) {
  const auto index = static_cast<size_t>(aTT);
  return index < kPaymentTransactionTypeCount ? kTransactionTypeWords[index] : std::u16string_view();
}

tqPaymentNetwork ZelqNetworkFromKey(std::u16string_view aKey) {
  for (const auto& row : ZelqNetworkCodes) {
    if (row.Code == aKey) return row.Network;
  }
  return tqPaymentNetwork::Other;
}

}  // namespace qv
