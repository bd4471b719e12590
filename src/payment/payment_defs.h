// The payment vocabulary: the card network and the card entry mode that a
// payment result names, the words the PAY result document writes for them,
// and the terminal's network code table. Plain data and pure functions: any
// thread may use them, nothing here throws except on allocation failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// One byte each, in this order: hosts and the result records rely on the
// ordinal values.
enum class tqPaymentNetwork : uint8_t {
  Bank = 0,
  Cheque,
  Visa,
  Amex,
  Mastercard,
  JCB,
  CUP,
  Diners,
  Maestro,
  NHS,
  Edenred,
  Day,
  Sodexo,
  Pellegrini,
  BluTicket,
  Jakala,
  MIGLunch,
  AliPay,
  Discover,
  Doku,
  DragonPay,
  MolPay,
  VPay,
  AmazonPay,
  ApplePay,
  SamsungPay,
  Paypal,
  Yandex,
  Other
};
constexpr int kPaymentNetworkCount = static_cast<int>(tqPaymentNetwork::Other) + 1;

enum class tqPaymentTransactionType : uint8_t {
  ptt_Chip = 0,
  ptt_MagStripe,
  ptt_Manual,
  ptt_Cless,
  ptt_ClessMagStripe,
  ptt_ClessChip,
  ptt_RFID,
  ptt_Other
};
constexpr int kPaymentTransactionTypeCount = static_cast<int>(tqPaymentTransactionType::ptt_Other) + 1;

// The document word of a network or an entry mode. Values that hosts have no
// word for (the wallets and newer schemes, RFID) give the empty text, and so
// does a value outside the enumeration.
std::u16string_view PaymentNetworkWord(tqPaymentNetwork aPN);
std::u16string_view PaymentTransactionTypeWord(tqPaymentTransactionType aTT);

// One row of a terminal's network code table.
struct TqPaymentsNetworkDecode {
  std::u16string_view Code;
  tqPaymentNetwork Network;
};

// The ZELQ terminal's network codes, searched from the top.
extern const TqPaymentsNetworkDecode ZelqNetworkCodes[16];

// The network of the first ZelqNetworkCodes row whose code equals aKey
// exactly (case and blanks count); Other when no row matches.
tqPaymentNetwork ZelqNetworkFromKey(std::u16string_view aKey);

}  // namespace qv
