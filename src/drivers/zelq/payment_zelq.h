// qPayment_ZELQ: the payment driver of the ZELQ terminal. A device of this
// class owns a ZEFT binding to the vendor's library; its Pay runs one payment
// on the standard, national-health-service or meal-voucher path, keeps the
// transaction counter per merchant, store and till in the registry, and turns
// an approved answer into the PAY result with its receipt text.
//
// Owns: the ZEFT binding, destroyed before the base frees the I/O handler so
// that the library is terminated before it is unloaded.
// Throws: the constructor raises the I/O handler's and the binding's errors;
// Pay raises qError for a response date and time or a receipt size the
// terminal sent malformed. Refusals and vendor errors are results, not errors.
// Thread: the host's calling thread; one payment at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "drivers/zelq/zeft.h"
#include "payment/payment_device.h"

namespace qv {

class qPayment_ZELQ : public qPaymentDevice {
 public:
  explicit qPayment_ZELQ(const qPaymentHandler& aHandler);
  ~qPayment_ZELQ() override;

  bool Pay(const qPaymentReceipt& aReceipt, _int_PAY_result& aResult) override;
  bool Reserved1() override { return false; }
  bool Reprint(const std::u16string& aReceiptId, TqPrintLocation aPrintLocation,
               _int_REPRINT_result& aResult) override;
  bool Reserved2() override { return false; }

  static std::u16string GetCounterKey(const std::u16string& aPrefix, int32_t aMerchant, int32_t aStore,
                                      int32_t aTill);
  int32_t GetCounter(const std::u16string& aPrefix, int32_t aMerchant, int32_t aStore, int32_t aTill);
  void CommitCounter(const std::u16string& aPrefix, int32_t aMerchant, int32_t aStore, int32_t aTill);

  std::u16string GetReceiptText();
  static tqPaymentNetwork NetworkFromCode(TqPaymentChannel aChannel, const std::u16string& aCode);
  static tqPaymentTransactionType TransactionTypeFromCode(const std::u16string& aCode);
  // The date YYYYMMDD and time HHMMSS texts of the terminal as one moment.
  static TDateTime ResponseDateTime(const std::u16string& aDate, const std::u16string& aTime);
  // Cents as the terminal writes them, in the user's number format; 0 when
  // the text is not a number.
  static Currency CentsToCurrency(const std::u16string& aText);

  ZEFT& EFT() { return *fEFT; }

 private:
  std::u16string Data(uint32_t aParamId);

  std::unique_ptr<ZEFT> fEFT;
};

}  // namespace qv
