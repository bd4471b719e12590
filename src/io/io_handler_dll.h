// qIOHandler_Dll: the channel of devices driven through a function library.
// It loads the library named by the connection when it is built, hands out
// the addresses of the library's exports by name, and unloads the library when
// it goes. The byte-stream operations exist only to complete the interface.
//
// Owns: the loaded library (after the base's log).
// Throws: the constructor raises qError "Unable to Load Library ..." when the
// library cannot be loaded; GetAddress raises qError "Unable to get address
// for procedure ..." for a name the library does not export.
// Thread: the host's calling thread only.
#pragma once

#include <memory>

#include "io/io_handler.h"

namespace qv {

class qDynamicLibrary;

class qIOHandler_Dll : public qIOHandler {
 public:
  qIOHandler_Dll(const qConnection& aConnection, const std::u16string& aDirectory, const std::u16string& aFileName);
  ~qIOHandler_Dll() override;

  // The export named aProcName (exact, case-sensitive; converted to the
  // ANSI code page), never null.
  void* GetAddress(const std::u16string& aProcName) const;

  bool Disconnect() override { return true; }
  void ClearBuffers() override {}
  bool Write(const std::u16string&) override { return true; }
  std::u16string ReadUpTo(const std::vector<uint8_t>&) override { return std::u16string(); }
  std::u16string ReadChars(int32_t) override { return std::u16string(); }
  std::u16string DecodeError(int32_t) override { return std::u16string(); }
  void SetParameter(const std::u16string&, const std::u16string&) override {}
  std::u16string ClassName() const override { return u"qIOHandler_Dll"; }

  uintptr_t LibraryHandle() const;

 private:
  std::unique_ptr<qDynamicLibrary> fLibrary;
};

}  // namespace qv
