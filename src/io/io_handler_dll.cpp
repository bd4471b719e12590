#include "io/io_handler_dll.h"

#include "core/error.h"
#include "core/text.h"
#include "io/device_handler.h"
#include "platform/ansi.h"
#include "platform/dynamic_library.h"

namespace qv {

qIOHandler_Dll::qIOHandler_Dll(const qConnection& aConnection, const std::u16string& aDirectory,
                               const std::u16string& aFileName)
    : qIOHandler(&aConnection, aDirectory, aFileName) {
  const std::u16string& name = aConnection.fLibraryName;
  WriteLog(let_info, u"qIOHandler_Dll.Create", u"Loading DLL " + name);
  uint32_t code = 0;
  std::u16string text;
  fLibrary = qDynamicLibrary::Load(name, code, text);
  if (!fLibrary) throw qError(u"Unable to Load Library " + name + u". " + text + u" [" + UIntToStr(code) + u"]");
  WriteLog(let_info, u"qIOHandler_Dll.Create", u"DLL Loaded successfully");
}

qIOHandler_Dll::~qIOHandler_Dll() {
  if (!fLibrary) return;
  WriteLog(let_info, u"qIOHandler_Dll.Destroy", u"Unloading DLL");
  fLibrary.reset();
  WriteLog(let_info, u"qIOHandler_Dll.Destroy", u"DLL Unloaded Successfully");
}

void* qIOHandler_Dll::GetAddress(const std::u16string& aProcName) const {
  void* address = fLibrary->GetAddress(ToAnsi(aProcName));
  if (!address) throw qError(u"Unable to get address for procedure " + aProcName);
  return address;
}

uintptr_t qIOHandler_Dll::LibraryHandle() const { return fLibrary ? fLibrary->Handle() : 0; }

}  // namespace qv
