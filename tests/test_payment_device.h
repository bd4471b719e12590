// A payment device for tests, registered under kTestDriverKey. What it does
// is chosen by the request:
//  - constructor: a FailCreate parameter makes it fail with its value;
//  - Pay, by the receipt's Reference: "fill" fills every field of the result
//    (the amount from the request), "refuse" reports a refused payment in the
//    result, "throw" fills a little and then fails, "nomem" fails with
//    std::bad_alloc; anything else leaves the presets and reports success;
//  - Reprint, by the receipt id: "throw" fails, anything else gives a
//    receipt naming the id and the print location.
#pragma once

#include <string>

#include "payment/payment_device.h"

namespace qvtest {

constexpr char16_t kTestDriverKey[] = u"QVPA_TEST_10";

class qTestPaymentDevice : public qv::qPaymentDevice {
 public:
  explicit qTestPaymentDevice(const qv::qPaymentHandler& aHandler);
  ~qTestPaymentDevice() override;

  bool Pay(const qv::qPaymentReceipt& aReceipt, qv::_int_PAY_result& aResult) override;
  bool Reserved1() override { return false; }
  bool Reprint(const std::u16string& aReceiptId, qv::TqPrintLocation aPrintLocation,
               qv::_int_REPRINT_result& aResult) override;
  bool Reserved2() override { return false; }

  // Devices alive in this module, and whether the last one destroyed was
  // still listed in the device table while its destructor ran.
  static int sLiveCount;
  static bool sListedAtDestruction;
};

void RegisterTestDriver();

}  // namespace qvtest
