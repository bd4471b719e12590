// The library's exported functions. Each is a thin wrapper: the contract
// with the host (strings, result code, no exception leaving) lives in
// entry_points.cpp. The return type is 32 bits on purpose: the 16-bit result
// code must reach a host that reads the whole register with the upper half
// zero, whatever a compiler leaves there for a 16-bit return type.
#include <cstdint>

#include "host/entry_points.h"
#include "host/library_lifetime.h"
#include "platform/export_abi.h"

namespace {

// Hands the library's load and unload work to the platform's entry point.
const bool kLifecycleInstalled = (qv::InstallLibraryLifecycle(&qv::LibraryLoad, &qv::LibraryUnload), true);

}  // namespace

extern "C" {

QV_EXPORT uint32_t QV_STDCALL PAY(char16_t* aXml, char16_t** aOutput, char16_t** aErrorMessage) {
  return qv::HostPAY(aXml, aOutput, aErrorMessage);
}

QV_EXPORT uint32_t QV_STDCALL REPRINT(char16_t* aXml, char16_t** aOutput, char16_t** aErrorMessage) {
  return qv::HostREPRINT(aXml, aOutput, aErrorMessage);
}

QV_EXPORT uint32_t QV_STDCALL OPEN(char16_t* aXml, char16_t** aOutput, char16_t** aErrorMessage) {
  return qv::HostOPEN(aXml, aOutput, aErrorMessage);
}

QV_EXPORT uint32_t QV_STDCALL GETSTATUS(char16_t* aXml, char16_t** aOutput, char16_t** aErrorMessage) {
  return qv::HostGETSTATUS(aXml, aOutput, aErrorMessage);
}

QV_EXPORT uint32_t QV_STDCALL CLOSE(char16_t* aXml, char16_t** aOutput, char16_t** aErrorMessage) {
  return qv::HostCLOSE(aXml, aOutput, aErrorMessage);
}

QV_EXPORT int32_t QV_STDCALL VERSION(char16_t* aDriverKey, char16_t** aVersion, char16_t** aReserved) {
  return static_cast<int32_t>(qv::HostVERSION(aDriverKey, aVersion, aReserved));
}

}  // extern "C"
