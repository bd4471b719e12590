#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include "host_library.h"

namespace qvtest {

namespace {

using AllocFn = HostStr (*)(const char16_t*, unsigned int);
using FreeFn = void (*)(HostStr);
using LenFn = unsigned int (*)(HostStr);

}  // namespace

HostLibrary::HostLibrary(const char* aPath) {
  fHandle = dlopen(aPath, RTLD_NOW | RTLD_LOCAL);
  if (fHandle == nullptr) throw std::runtime_error(std::string("dlopen failed: ") + dlerror());
  // A posix host takes the string allocator from the library itself.
  fAlloc = Symbol("SysAllocStringLen");
  fFree = Symbol("SysFreeString");
  fLen = Symbol("SysStringLen");
  if (!fAlloc || !fFree || !fLen) throw std::runtime_error("string allocator not exported");
}

HostLibrary::~HostLibrary() { dlclose(fHandle); }

void* HostLibrary::Symbol(const char* aName) const { return dlsym(fHandle, aName); }

HostStr HostLibrary::Alloc(std::u16string_view aText) const {
  return reinterpret_cast<AllocFn>(fAlloc)(aText.data(), static_cast<unsigned int>(aText.size()));
}

void HostLibrary::Free(HostStr aString) const { reinterpret_cast<FreeFn>(fFree)(aString); }

uint32_t HostLibrary::Length(HostStr aString) const { return reinterpret_cast<LenFn>(fLen)(aString); }

}  // namespace qvtest
