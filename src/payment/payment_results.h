// The result records of the five commands. A payment driver fills the PAY and
// REPRINT records; the command objects keep one record each and turn it into
// the host's result document. A value-initialised record has every field zero,
// empty or false; the commands put their own defaults on top.
#pragma once

#include <cstdint>
#include <string>

#include "core/currency.h"
#include "core/date_time.h"
#include "payment/payment_defs.h"

namespace qv {

struct _int_OPEN_result {
  int32_t Handle = 0;
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};

struct _int_PAY_result {
  std::u16string DeviceId;
  TDateTime PaymentDateTime = 0;
  std::u16string PaymentNumber;
  Currency PaymentAmount;
  std::u16string PaymentCurrency;
  std::u16string MaskedPAN;
  std::u16string SerialNumber;
  tqPaymentTransactionType TransactionType = tqPaymentTransactionType::ptt_Chip;
  tqPaymentNetwork PaymentNetwork = tqPaymentNetwork::Bank;
  std::u16string AuthCode;
  std::u16string TraceAuditId;
  Currency ExchangeRate;
  Currency PaymentAmountCurrency;
  std::u16string PaymentCurrencyCurrency;
  Currency TippedAmount;
  Currency RemainingBalance;
  int32_t NumberOfItems = 0;
  Currency SingleItemAmount;
  bool SignatureRequested = false;
  std::u16string CustomerCountryCode;
  std::u16string ReceiptText;
  std::u16string CashierReceiptText;
  // The terminal's raw answer, for the driver's own use; hosts never see it.
  std::u16string RawResponse;
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;

  // The document words of the vocabulary; they use nothing of the record.
  static std::u16string DecodeNetwork(tqPaymentNetwork aPN) { return std::u16string(PaymentNetworkWord(aPN)); }
  static std::u16string DecodeTransactionType(tqPaymentTransactionType aTT) {
    return std::u16string(PaymentTransactionTypeWord(aTT));
  }
};

struct _int_REPRINT_result {
  std::u16string ReceiptText;
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};

// A printer-style status that no payment driver fills; GETSTATUS reports it
// as it stands after the reset.
struct _int_GETSTATUS_result {
  bool DayOpened = false;
  TDateTime DateTime = 0;
  bool PaperEnd = false;
  bool PaperNearEnd = false;
  bool CoverOpen = false;
  bool FiscalReceiptOpen = false;
  bool ReceiptOpen = false;
  bool TrainingMode = false;
  std::u16string FirmwareVersion;
  std::u16string SerialNumber;
  std::u16string FiscalMode;
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};

struct _int_CLOSE_result {
  bool Error = false;
  std::u16string ErrorText;
  std::u16string LogFileName;
};

}  // namespace qv
