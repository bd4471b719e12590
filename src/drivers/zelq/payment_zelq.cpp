#include "drivers/zelq/payment_zelq.h"

#include <algorithm>

#include "base/application.h"
#include "base/setup.h"
#include "core/error.h"
#include "core/text.h"
#include "io/io_handler_dll.h"
#include "platform/regional_settings.h"
#include "platform/registry.h"

namespace qv {

namespace {

const char16_t kCounterName[] = u"ZELQ_Counter";
const char16_t kCounterPrefix[] = u"STD";

// A receipt can never hold more lines with text than the data buffer has
// characters; past that, further empty lines would only let a misbehaving
// library make us build a text of any size.
constexpr int32_t kMaxReceiptLines = ZEFT::kDataCapacity;

int32_t StrictInteger(const std::u16string& aText) {
  int32_t value = 0;
  if (!TryStrToInt(aText, value)) throw qError(FormatS(u"'%s' is not a valid integer value", aText));
  return value;
}

}  // namespace

qPayment_ZELQ::qPayment_ZELQ(const qPaymentHandler& aHandler) : qPaymentDevice(aHandler) {
  fEFT = std::make_unique<ZEFT>(*fIOHandler, aHandler);
}

qPayment_ZELQ::~qPayment_ZELQ() { fEFT.reset(); }

std::u16string qPayment_ZELQ::Data(uint32_t aParamId) {
  std::u16string text;
  fEFT->HND_GetData(aParamId, text);
  return text;
}

bool qPayment_ZELQ::Pay(const qPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  auto fail = [&](const std::u16string& aMessage, bool aRelease) {
    aResult.Error = true;
    aResult.ErrorText = aMessage;
    if (aRelease) fEFT->HND_Delete();
    return false;
  };
  if (!fEFT->HND_Create()) return fail(u"Error in HND_Create", false);

  const int32_t merchant = StrToIntDef(aReceipt.fMerchantCode, 0);
  const int32_t store = StrToIntDef(aReceipt.fStoreCode, 0);
  const int32_t till = StrToIntDef(aReceipt.fTillCode, 0);
  const int32_t reference = StrToIntDef(aReceipt.fReference, 0);
  if (store == 0) return fail(u"Invalid Store", true);
  if (till == 0) return fail(u"Invalid Till", true);
  if (merchant == 0) return fail(u"Invalid Merchant", true);
  if (reference == 0) return fail(u"Invalid Reference", true);
  // The terminal takes amounts as 32-bit cents: a larger amount would reach
  // it wrapped round to another value.
  auto fitsCents = [](Currency aValue) {
    const int64_t cents = CurrencyToCents(aValue);
    return cents >= INT32_MIN && cents <= INT32_MAX;
  };
  if (!fitsCents(aReceipt.fAmount) || !fitsCents(aReceipt.fMaxAmount)) return fail(u"Invalid Amount", true);

  const int32_t counter = GetCounter(kCounterPrefix, merchant, store, till);
  const TqPaymentChannel channel = aReceipt.fPaymentChannel;
  const bool vouchers = channel == TqPaymentChannel::pc_MealVoucherProvider;
  int32_t code;
  if (vouchers) {
    code = fEFT->PAY_BPE_Start(merchant, store, till, counter, reference, aReceipt.fAmount, aReceipt.fMaxAmount,
                               aReceipt.fMaxItems);
  } else {
    const char group = channel == TqPaymentChannel::pc_NationalHealthService ? '1' : ' ';
    code = fEFT->PAY_Start(merchant, store, till, counter, reference, aReceipt.fAmount, group);
  }
  if (code != 0) return fail(u"Error in PAY_Start. Return Code=" + IntToStr(code), true);
  code = vouchers ? fEFT->PAY_BPE_GetResponse() : fEFT->PAY_GetResponse();
  if (code != 0) return fail(u"Error in PAY_GetResponse. Return Code=" + IntToStr(code), true);

  const std::u16string response = Data(20003);
  if (response != u"100" && response != u"099" && response != u"097") {
    const std::u16string first = Data(10002);
    const std::u16string second = Data(10003);
    return fail(response + u" - " + u" " + first + u" " + second, true);
  }

  try {
    aResult.MaskedPAN = Data(21000);
    // Read and logged on every approved payment; what they carry is replaced
    // by the terminal identification right after.
    // One statement each: the vendor sees the reads in this order.
    aResult.DeviceId = Data(11001);
    aResult.DeviceId += Data(11002);
    aResult.DeviceId += Data(11003);
    aResult.DeviceId = Data(21027);
    const std::u16string date = Data(21011);
    const std::u16string time = Data(21012);
    aResult.PaymentDateTime = ResponseDateTime(date, time);
    aResult.PaymentNumber = Data(20004);
    aResult.PaymentAmount = CentsToCurrency(Data(21015));
    aResult.PaymentCurrency = aReceipt.fCurrency;
    aResult.TraceAuditId = Data(21013);
    aResult.AuthCode = Data(21005);
    aResult.TransactionType = TransactionTypeFromCode(Data(21001));
    switch (channel) {
      case TqPaymentChannel::pc_MealVoucherProvider:
        aResult.PaymentNetwork = NetworkFromCode(channel, Data(23102));
        aResult.RemainingBalance = CentsToCurrency(Data(21022));
        aResult.SerialNumber = Data(21023);
        aResult.NumberOfItems = StrToIntDef(Data(23103), 0);
        aResult.SingleItemAmount = CentsToCurrency(Data(23104));
        break;
      case TqPaymentChannel::pc_Standard:
        aResult.PaymentNetwork = NetworkFromCode(channel, Data(21020));
        break;
      case TqPaymentChannel::pc_NationalHealthService:
        aResult.SerialNumber = Data(21023);
        aResult.PaymentNetwork = NetworkFromCode(channel, Data(21020));
        break;
    }
    aResult.ExchangeRate = Currency();
    aResult.PaymentAmountCurrency = Currency();
    aResult.RawResponse.clear();
    aResult.ReceiptText = GetReceiptText();
  } catch (...) {
    // A malformed answer ends the payment, but the transaction handle is
    // still the library's to release.
    fEFT->HND_Delete();
    throw;
  }
  fEFT->HND_Delete();
  CommitCounter(kCounterPrefix, merchant, store, till);
  return true;
}

bool qPayment_ZELQ::Reprint(const std::u16string&, TqPrintLocation, _int_REPRINT_result& aResult) {
  aResult.Error = true;
  aResult.ErrorText = u"Not supported";
  aResult.ReceiptText.clear();
  return false;
}

std::u16string qPayment_ZELQ::GetCounterKey(const std::u16string& aPrefix, int32_t aMerchant, int32_t aStore,
                                            int32_t aTill) {
  return aPrefix + u"-" + FormatNumber(aMerchant, 7, 0, u"", false) + u"-" + FormatNumber(aStore, 5, 0, u"", false) +
         u"-" + FormatNumber(aTill, 3, 0, u"", false);
}

int32_t qPayment_ZELQ::GetCounter(const std::u16string& aPrefix, int32_t aMerchant, int32_t aStore, int32_t aTill) {
  const std::u16string key = GetCounterKey(aPrefix, aMerchant, aStore, aTill);
  const int32_t stored = StrToIntDef(ReadRegistryString(kCounterName, key, rk_CurrentUser), 0);
  // The counter wraps round as a 32-bit number would.
  const int32_t number = static_cast<int32_t>(static_cast<uint32_t>(stored) + 1u);
  fEFT->DLLHandler().WriteLog(let_info, u"Counter:", IntToStr(number) + u"[" + key + u"]");
  return number;
}

void qPayment_ZELQ::CommitCounter(const std::u16string& aPrefix, int32_t aMerchant, int32_t aStore, int32_t aTill) {
  const int32_t number = GetCounter(aPrefix, aMerchant, aStore, aTill);
  const std::u16string key = GetCounterKey(aPrefix, aMerchant, aStore, aTill);
  WriteRegistryString(kCounterName, key, IntToStr(number), rk_CurrentUser);
  fEFT->DLLHandler().WriteLog(let_info, u"Commit Counter:", IntToStr(number) + u"[" + key + u"]");
}

std::u16string qPayment_ZELQ::GetReceiptText() {
  const std::u16string text = Data(20000);
  const int32_t lines = StrictInteger(Data(20001));
  const int32_t width = StrictInteger(Data(20002));
  std::u16string receipt;
  const int32_t count = std::min(lines, kMaxReceiptLines);
  for (int32_t i = 0; i < count; ++i) {
    if (width > 0) {
      const int64_t start = static_cast<int64_t>(i) * width;
      if (start < static_cast<int64_t>(text.size())) receipt += text.substr(static_cast<size_t>(start), width);
    }
    receipt += u"\r\n";
  }
  return receipt;
}

tqPaymentNetwork qPayment_ZELQ::NetworkFromCode(TqPaymentChannel aChannel, const std::u16string& aCode) {
  if (aChannel == TqPaymentChannel::pc_MealVoucherProvider) return ZelqNetworkFromKey(u"MV" + aCode);
  return ZelqNetworkFromKey(std::u16string_view(aCode).substr(0, aCode.find(u':')));
}

tqPaymentTransactionType qPayment_ZELQ::TransactionTypeFromCode(const std::u16string& aCode) {
  switch (StrToIntDef(aCode, 0)) {
    case 4: case 8: case 128: case 512: case 2048: case 8192:
      return tqPaymentTransactionType::ptt_MagStripe;
    case 16: case 32: case 64: case 256: case 32768: case 2097152:
      return tqPaymentTransactionType::ptt_Chip;
    case 1024: case 4096: case 16385:
      return tqPaymentTransactionType::ptt_ClessChip;
    default:
      return tqPaymentTransactionType::ptt_Other;
  }
}

TDateTime qPayment_ZELQ::ResponseDateTime(const std::u16string& aDate, const std::u16string& aTime) {
  auto part = [](const std::u16string& aText, size_t aStart, size_t aLength, int32_t aDefault) {
    return StrToIntDef(aStart < aText.size() ? aText.substr(aStart, aLength) : std::u16string(), aDefault);
  };
  DateTimeParts p;
  p.fYear = part(aDate, 0, 4, 1);
  p.fMonth = part(aDate, 4, 2, 1);
  p.fDay = part(aDate, 6, 2, 1);
  p.fHour = part(aTime, 0, 2, 0);
  p.fMinute = part(aTime, 2, 2, 0);
  p.fSecond = part(aTime, 4, 2, 0);
  p.fMillisecond = 0;
  TDateTime value;
  if (!TryEncodeDateTime(p, value)) {
    std::u16string shown;
    AppendPadded(shown, p.fYear, 4);
    shown += u"-";
    AppendPadded(shown, p.fMonth, 2);
    shown += u"-";
    AppendPadded(shown, p.fDay, 2);
    shown += u" ";
    AppendPadded(shown, p.fHour, 2);
    shown += u":";
    AppendPadded(shown, p.fMinute, 2);
    shown += u":";
    AppendPadded(shown, p.fSecond, 2);
    throw qError(FormatS(u"'%s' is not a valid date and time", shown));
  }
  return value;
}

Currency qPayment_ZELQ::CentsToCurrency(const std::u16string& aText) {
  DecimalNumber number;
  int64_t scaled = 0;
  if (!TryParseDecimal(aText, RegionalDecimalSeparator(), number) || !TryScaleDecimal(number, 2, scaled)) return {};
  return Currency::FromScaled(scaled);
}

}  // namespace qv
