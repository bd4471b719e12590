// The command objects behind the exported functions. One object serves one
// exported call: it parses the request into its own qPaymentHandler, does the
// command's work in Process and writes the outcome with Format.
//
// Thread: the host's calling thread. Throws: Process of OPEN, PAY and REPRINT
// catch every failure of their work into the result; CLOSE's Process lets
// its failures (qError) through; Format throws only std::bad_alloc.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "payment/payment_device.h"
#include "payment/payment_handler.h"
#include "payment/payment_results.h"

namespace qv {

class qPaymentWrapper {
 public:
  qPaymentWrapper();
  virtual ~qPaymentWrapper();
  qPaymentWrapper(const qPaymentWrapper&) = delete;
  qPaymentWrapper& operator=(const qPaymentWrapper&) = delete;

  // Puts the result record to the command's defaults (Error true).
  virtual void ResetResult() = 0;
  // The result document, the error text (not escaped) and the result code:
  // -1 when the result holds an error, else 0.
  virtual void Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) = 0;
  virtual void Process(const std::u16string& aXml) = 0;

  // The device the parsed request addresses: the open device of its handle,
  // or, without a handle and when aCreate allows, a new device of the class
  // registered under its driver key, entered in the device table under the
  // next handle. Throws qError: "Device Handle not found", "Payment Device
  // has not previously opened", "Payment Driver [key] not registered." or the
  // device constructor's own failure; the tables are unchanged on failure.
  qPaymentDevice& GetDevice(bool aCreate);

  static std::u16string EscapeXml(std::u16string_view aText);

 protected:
  std::unique_ptr<qPaymentHandler> fHandler;
};

class qPaymentWrapper_OPEN : public qPaymentWrapper {
 public:
  void ResetResult() override;
  void Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) override;
  void Process(const std::u16string& aXml) override;
  const _int_OPEN_result& Result() const { return fResult; }

 private:
  _int_OPEN_result fResult;
};

class qPaymentWrapper_PAY : public qPaymentWrapper {
 public:
  void ResetResult() override;
  void Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) override;
  void Process(const std::u16string& aXml) override;
  const _int_PAY_result& Result() const { return fResult; }

 private:
  _int_PAY_result fResult;
};

class qPaymentWrapper_REPRINT : public qPaymentWrapper {
 public:
  void ResetResult() override;
  void Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) override;
  void Process(const std::u16string& aXml) override;
  const _int_REPRINT_result& Result() const { return fResult; }

 private:
  _int_REPRINT_result fResult;
};

class qPaymentWrapper_GETSTATUS : public qPaymentWrapper {
 public:
  void ResetResult() override;
  void Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) override;
  // Reads nothing of the request and looks no device up.
  void Process(const std::u16string& aXml) override;
  const _int_GETSTATUS_result& Result() const { return fResult; }

 private:
  _int_GETSTATUS_result fResult;
};

class qPaymentWrapper_CLOSE : public qPaymentWrapper {
 public:
  void ResetResult() override;
  void Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) override;
  // Removes the addressed device from the device table, which destroys it.
  // Has no handler of its own: a failure leaves Process with the result at
  // its defaults, and the caller decides how to report it.
  void Process(const std::u16string& aXml) override;
  const _int_CLOSE_result& Result() const { return fResult; }

 private:
  _int_CLOSE_result fResult;
};

// The message of the exception being handled: a qError's own message, "Out of
// memory" for an allocation failure, the text of any other standard
// exception. Call it only inside a catch block.
std::u16string CurrentFailureMessage();

}  // namespace qv
