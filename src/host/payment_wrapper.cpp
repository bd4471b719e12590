#include "host/payment_wrapper.h"

#include <exception>
#include <new>
#include <utility>

#include "core/error.h"
#include "core/text.h"
#include "host/payment_registry.h"
#include "host/result_documents.h"

namespace qv {

namespace {

template <class Record>
int16_t ResultCode(const Record& aResult) {
  return aResult.Error ? -1 : 0;
}

}  // namespace

std::u16string CurrentFailureMessage() {
  try {
    throw;
  } catch (const qError& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
    return u"Out of memory";
  } catch (const std::exception& e) {
    return FromUtf8(e.what());
  } catch (...) {
    return u"Unexpected failure";
  }
}

qPaymentWrapper::qPaymentWrapper() : fHandler(std::make_unique<qPaymentHandler>()) {}

qPaymentWrapper::~qPaymentWrapper() = default;

std::u16string qPaymentWrapper::EscapeXml(std::u16string_view aText) { return qv::EscapeXml(aText); }

qPaymentDevice& qPaymentWrapper::GetDevice(bool aCreate) {
  const int32_t handle = fHandler->DeviceHandle();
  if (handle > 0) {
    // The request's driver key is not compared with the device's class.
    if (qPaymentDevice* device = PaymentDevices().Find(handle)) return *device;
    throw qError(u"Device Handle not found");
  }
  if (!aCreate) throw qError(u"Payment Device has not previously opened");

  const std::u16string& key = fHandler->Driver();
  const auto it = PaymentDrivers().find(key);
  if (it == PaymentDrivers().end()) throw qError(u"Payment Driver [" + key + u"] not registered.");

  // A constructor that fails leaves the table and the handle counter as they
  // were, so the next device gets the handle this one would have had.
  std::unique_ptr<qPaymentDevice> device = it->second.Create(*fHandler);
  const int32_t next = LastDeviceHandle() + 1;
  device->SetHandle(next);
  qPaymentDevice& entered = *device;
  PaymentDevices().Add(next, std::move(device));
  LastDeviceHandle() = next;
  return entered;
}

// OPEN -----------------------------------------------------------------------

void qPaymentWrapper_OPEN::ResetResult() {
  fResult = _int_OPEN_result();
  fResult.Error = true;
}

void qPaymentWrapper_OPEN::Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) {
  aOutput = FormatOpenDocument(fResult);
  aErrorMessage = fResult.ErrorText;
  aResult = ResultCode(fResult);
}

void qPaymentWrapper_OPEN::Process(const std::u16string& aXml) {
  ResetResult();
  try {
    fHandler->Deserialize(aXml, dt_Open);
    fResult.Handle = GetDevice(true).Handle();
    fResult.Error = false;
  } catch (...) {
    fResult.Error = true;
    fResult.ErrorText = CurrentFailureMessage();
  }
}

// PAY ------------------------------------------------------------------------

void qPaymentWrapper_PAY::ResetResult() {
  fResult = _int_PAY_result();
  fResult.Error = true;
  fResult.TransactionType = tqPaymentTransactionType::ptt_Other;
  fResult.PaymentNetwork = tqPaymentNetwork::Other;
}

void qPaymentWrapper_PAY::Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) {
  aOutput = FormatPayDocument(fResult);
  aErrorMessage = fResult.ErrorText;
  aResult = ResultCode(fResult);
}

void qPaymentWrapper_PAY::Process(const std::u16string& aXml) {
  ResetResult();
  try {
    fHandler->Deserialize(aXml, dt_Pay);
    qPaymentDevice& device = GetDevice(true);
    _int_PAY_result working = device.Pub_Pay(*fHandler);
    // A move cannot fail half-way, so fResult is either the defaults or the
    // device's whole record, never a mixture.
    fResult = std::move(working);
  } catch (...) {
    // Whatever the device had filled before the failure is dropped.
    fResult.ErrorText = CurrentFailureMessage();
  }
}

// REPRINT --------------------------------------------------------------------

void qPaymentWrapper_REPRINT::ResetResult() {
  fResult = _int_REPRINT_result();
  fResult.Error = true;
}

void qPaymentWrapper_REPRINT::Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) {
  aOutput = FormatReprintDocument(fResult);
  aErrorMessage = fResult.ErrorText;
  aResult = ResultCode(fResult);
}

void qPaymentWrapper_REPRINT::Process(const std::u16string& aXml) {
  ResetResult();
  try {
    fHandler->Deserialize(aXml, dt_PayReprint);
    qPaymentDevice& device = GetDevice(true);
    _int_REPRINT_result working = device.Pub_Reprint(*fHandler);
    fResult = std::move(working);
  } catch (...) {
    fResult.ErrorText = CurrentFailureMessage();
  }
}

// GETSTATUS ------------------------------------------------------------------

void qPaymentWrapper_GETSTATUS::ResetResult() {
  fResult = _int_GETSTATUS_result();
  fResult.Error = true;
}

void qPaymentWrapper_GETSTATUS::Format(std::u16string& aOutput, std::u16string& aErrorMessage,
                                       int16_t& aResult) {
  aOutput = FormatGetStatusDocument(fResult);
  aErrorMessage = fResult.ErrorText;
  aResult = ResultCode(fResult);
}

void qPaymentWrapper_GETSTATUS::Process(const std::u16string& aXml) {
  ResetResult();
  fResult.Error = false;
}

// CLOSE ----------------------------------------------------------------------

void qPaymentWrapper_CLOSE::ResetResult() {
  fResult = _int_CLOSE_result();
  fResult.Error = true;
}

void qPaymentWrapper_CLOSE::Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) {
  aOutput = FormatCloseDocument(fResult);
  aErrorMessage = fResult.ErrorText;
  aResult = ResultCode(fResult);
}

void qPaymentWrapper_CLOSE::Process(const std::u16string& aXml) {
  ResetResult();
  fHandler->Deserialize(aXml, 0);
  qPaymentDevice& device = GetDevice(false);
  PaymentDevices().Remove(device.Handle());
  fResult.Error = false;
}

}  // namespace qv
