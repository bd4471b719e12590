#include <dlfcn.h>
#include <sys/stat.h>

#include "core/text.h"
#include "platform/dynamic_library.h"

namespace qv {

std::unique_ptr<qDynamicLibrary> qDynamicLibrary::Load(const std::u16string& aName, uint32_t& aErrorCode,
                                                       std::u16string& aErrorText) {
  const std::string name = ToUtf8(aName);
  dlerror();
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle) return std::unique_ptr<qDynamicLibrary>(new qDynamicLibrary(handle));
  const char* error = dlerror();
  aErrorText = TrimSystemMessage(FromUtf8(error ? error : "unknown loader error"));
  // A path can be checked directly; for a bare name the loader searched, and
  // its text tells whether it found a file at all.
  struct stat st;
  const bool missing = name.find('/') != std::string::npos
                           ? stat(name.c_str(), &st) != 0
                           : aErrorText.find(u"No such file") != std::u16string::npos;
  aErrorCode = missing ? 126 : 193;
  return nullptr;
}

qDynamicLibrary::~qDynamicLibrary() { dlclose(fHandle); }

void* qDynamicLibrary::GetAddress(const std::string& aName) const { return dlsym(fHandle, aName.c_str()); }

}  // namespace qv
