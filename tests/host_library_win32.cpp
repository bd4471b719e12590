#include <windows.h>
#include <oleauto.h>

#include <stdexcept>
#include <string>

#include "host_library.h"

namespace qvtest {

namespace {

// CMake gives the build's path; under Wine the Unix root is drive Z:.
std::wstring WindowsPath(const char* aPath) {
  std::wstring path;
  if (aPath[0] == '/') path = L"Z:";
  for (const char* p = aPath; *p; ++p) path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
  return path;
}

}  // namespace

HostLibrary::HostLibrary(const char* aPath) {
  HMODULE module = LoadLibraryW(WindowsPath(aPath).c_str());
  if (module == nullptr) {
    throw std::runtime_error("LoadLibraryW failed: " + std::to_string(GetLastError()) + " " + aPath);
  }
  fHandle = module;
}

HostLibrary::~HostLibrary() { FreeLibrary(static_cast<HMODULE>(fHandle)); }

void* HostLibrary::Symbol(const char* aName) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(fHandle), aName));
}

HostStr HostLibrary::Alloc(std::u16string_view aText) const {
  return reinterpret_cast<HostStr>(
      SysAllocStringLen(reinterpret_cast<const OLECHAR*>(aText.data()), static_cast<UINT>(aText.size())));
}

void HostLibrary::Free(HostStr aString) const { SysFreeString(reinterpret_cast<BSTR>(aString)); }

uint32_t HostLibrary::Length(HostStr aString) const { return SysStringLen(reinterpret_cast<BSTR>(aString)); }

}  // namespace qvtest
