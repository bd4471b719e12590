// What each exported function does between the host's OLE strings and the
// command objects. The exported functions themselves are one-line wrappers
// around these (see exports.cpp), so the whole contract is here:
//  - the request is copied by its length prefix (embedded NULs and a missing
//    terminator are fine) and never freed or changed;
//  - on entry each non-null output variable is set to null without freeing
//    what it held: that string stays the host's;
//  - outputs are new OLE strings that the host frees; an empty text is null;
//  - nothing is ever written through a null output pointer;
//  - no exception leaves: an unexpected failure (allocation failure
//    included) becomes the result -1 with its message in the error output.
// The 16-bit result code is returned zero-extended in 32 bits, so a host
// that reads the whole register sees 65535 for -1.
//
// Thread: the host's calling thread, one call at a time.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/ole_string.h"

namespace qv {

class qPaymentWrapper;

using qCommandFactory = std::unique_ptr<qPaymentWrapper> (*)();

// Runs one command object made by aMake: Process, then Format whether or not
// Process failed. When Process fails (only CLOSE lets failures out) the
// document Format wrote is kept, the result is -1 and the failure's message
// goes to aErrorMessage.
uint32_t RunHostCommand(qCommandFactory aMake, const char16_t* aXml, OleStr* aOutput,
                        OleStr* aErrorMessage) noexcept;

uint32_t HostPAY(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept;
uint32_t HostREPRINT(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept;
uint32_t HostOPEN(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept;
uint32_t HostGETSTATUS(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept;
uint32_t HostCLOSE(const char16_t* aXml, OleStr* aOutput, OleStr* aErrorMessage) noexcept;

// The version text of the driver registered under aDriverKey (exact match)
// in aVersion, or aVersion null for an unregistered key; returns 0. The
// third variable is only cleared, except that an unexpected failure puts its
// message there and returns -1.
uint32_t HostVERSION(const char16_t* aDriverKey, OleStr* aVersion, OleStr* aReserved) noexcept;

}  // namespace qv
