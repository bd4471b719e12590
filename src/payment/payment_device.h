// The abstract payment device that every payment driver derives from. The
// device table owns the devices; a device is used from the host's calling
// thread only. Constructors and the driver operations throw qError; Pub_Pay
// and Pub_Reprint let the driver's failures through unchanged, for the
// command objects to catch.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "io/io_handler.h"
#include "payment/payment_handler.h"
#include "payment/payment_results.h"

namespace qv {

class qPaymentDevice {
 public:
  // Built from the request that opens the device: the I/O handler that the
  // request's connection describes, logging into LogFiles/Payment beside the
  // host's executable.
  explicit qPaymentDevice(const qPaymentHandler& aHandler);
  virtual ~qPaymentDevice();
  qPaymentDevice(const qPaymentDevice&) = delete;
  qPaymentDevice& operator=(const qPaymentDevice&) = delete;

  // The device's handle in the device table; 0 until the table gives one.
  int32_t Handle() const { return fHandle; }
  void SetHandle(int32_t aValue) { fHandle = aValue; }

  // Runs one payment and fills aResult; reports a refused or failed payment
  // through Error and ErrorText. The Boolean answer is not used.
  virtual bool Pay(const qPaymentReceipt& aReceipt, _int_PAY_result& aResult) = 0;
  // Kept for the layout of the driver interface; nothing calls it and every
  // driver answers false.
  virtual bool Reserved1() = 0;
  virtual bool Reprint(const std::u16string& aReceiptId, TqPrintLocation aPrintLocation,
                       _int_REPRINT_result& aResult) = 0;
  // As Reserved1.
  virtual bool Reserved2() = 0;

  // What the commands call: presets the result and runs the driver's
  // operation on the receipt of aHandler.
  _int_PAY_result Pub_Pay(const qPaymentHandler& aHandler);
  _int_REPRINT_result Pub_Reprint(const qPaymentHandler& aHandler);

  // The version text that VERSION answers; the same for every driver.
  static std::u16string GetDriverVersion();
  // The directory of the devices' logs: LogFiles/Payment beside the host's
  // executable (aApplicationDirectory ends with its separator).
  static std::u16string LogDirectory(const std::u16string& aApplicationDirectory);

  qIOHandler& IOHandler() const { return *fIOHandler; }

 protected:
  int32_t fHandle = 0;
  std::unique_ptr<qIOHandler> fIOHandler;
};

// How the driver registry builds a device of a registered class: a factory
// for one subclass, made with Of<T>() so that it can never be empty.
class qPaymentClass {
 public:
  using Factory = std::unique_ptr<qPaymentDevice> (*)(const qPaymentHandler&);

  template <class T>
  static qPaymentClass Of() {
    return qPaymentClass([](const qPaymentHandler& aHandler) -> std::unique_ptr<qPaymentDevice> {
      return std::make_unique<T>(aHandler);
    });
  }

  std::unique_ptr<qPaymentDevice> Create(const qPaymentHandler& aHandler) const { return fCreate(aHandler); }

 private:
  explicit qPaymentClass(Factory aCreate) : fCreate(aCreate) {}
  Factory fCreate;
};

}  // namespace qv
