#include "host/entry_points.h"

#include <string>
#include <utility>

#include "host/payment_registry.h"
#include "host/payment_wrapper.h"

namespace qv {

namespace {

template <class Command>
std::unique_ptr<qPaymentWrapper> Make() {
  return std::make_unique<Command>();
}

void ClearOutput(OleStr* aVariable) noexcept {
  if (aVariable != nullptr) *aVariable = nullptr;
}

// The message of the failure being handled, or the empty text when even
// that cannot be had.
std::u16string FailureMessageNoThrow() noexcept {
  try {
    return CurrentFailureMessage();
  } catch (...) {
    return std::u16string();
  }
}

OleStr StringToOleNoThrow(std::u16string_view aText) noexcept {
  try {
    return StringToOle(aText);
  } catch (...) {
    return nullptr;
  }
}

// Hands the texts to the host. Either both outputs are written or, when an
// allocation fails, the document is dropped and the error output carries the
// failure instead.
uint32_t WriteOutputs(const std::u16string& aOutput, const std::u16string& aErrorMessage, int16_t aResult,
                      OleStr* aOutputVar, OleStr* aErrorVar) noexcept {
  OleStr output = nullptr;
  OleStr error = nullptr;
  try {
    if (aOutputVar != nullptr) output = StringToOle(aOutput);
    if (aErrorVar != nullptr) error = StringToOle(aErrorMessage);
  } catch (...) {
    OleFreeString(output);
    output = nullptr;
    if (aErrorVar != nullptr) error = StringToOleNoThrow(FailureMessageNoThrow());
    aResult = -1;
  }
  if (aOutputVar != nullptr) *aOutputVar = output;
  if (aErrorVar != nullptr) *aErrorVar = error;
  return static_cast<uint16_t>(aResult);
}

}  // namespace

uint32_t RunHostCommand(qCommandFactory aMake, const char16_t* aXml, OleStr* aOutput,
                        OleStr* aErrorMessage) noexcept {
  ClearOutput(aOutput);
  ClearOutput(aErrorMessage);

  std::u16string output;
  std::u16string errorMessage;
  int16_t result = -1;
  try {
    const std::u16string xml = OleToString(aXml);
    std::unique_ptr<qPaymentWrapper> command = aMake();
    bool failed = false;
    std::u16string failure;
    try {
      command->Process(xml);
    } catch (...) {
      failed = true;
      failure = CurrentFailureMessage();
    }
    command->Format(output, errorMessage, result);
    command.reset();
    if (failed) {
      // The document stays as Format wrote it; the host learns of the
      // failure through the code and the message instead of an exception
      // it cannot survive.
      result = -1;
      errorMessage = std::move(failure);
    }
  } catch (...) {
    output.clear();
    errorMessage = FailureMessageNoThrow();
    result = -1;
  }
  return WriteOutputs(output, errorMessage, result, aOutput, aErrorMessage);
}

uint32_t HostPAY(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept {
  return RunHostCommand(&Make<qPaymentWrapper_PAY>, aXml, aOutput, aErrorMessage);
}

uint32_t HostREPRINT(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept {
  return RunHostCommand(&Make<qPaymentWrapper_REPRINT>, aXml, aOutput, aErrorMessage);
}

uint32_t HostOPEN(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept {
  return RunHostCommand(&Make<qPaymentWrapper_OPEN>, aXml, aOutput, aErrorMessage);
}

uint32_t HostGETSTATUS(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept {
  return RunHostCommand(&Make<qPaymentWrapper_GETSTATUS>, aXml, aOutput, aErrorMessage);
}

uint32_t HostCLOSE(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept {
  return RunHostCommand(&Make<qPaymentWrapper_CLOSE>, aXml, aOutput, aErrorMessage);
}

uint32_t HostVERSION(const char16_t* aDriverKey, OleStr* aVersion, OleStr* aReserved) noexcept {
  ClearOutput(aVersion);
  ClearOutput(aReserved);
  try {
    const std::u16string key = OleToString(aDriverKey);
    if (aVersion != nullptr && PaymentDrivers().count(key) != 0) {
      *aVersion = StringToOle(qPaymentDevice::GetDriverVersion());
    }
    return 0;
  } catch (...) {
    if (aReserved != nullptr) *aReserved = StringToOleNoThrow(FailureMessageNoThrow());
    return static_cast<uint32_t>(-1);
  }
}

}  // namespace qv
