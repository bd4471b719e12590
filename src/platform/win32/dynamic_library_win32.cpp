#include <windows.h>

#include "platform/dynamic_library.h"

namespace qv {

std::unique_ptr<qDynamicLibrary> qDynamicLibrary::Load(const std::u16string& aName, uint32_t& aErrorCode,
                                                       std::u16string& aErrorText) {
  HMODULE module = LoadLibraryW(reinterpret_cast<LPCWSTR>(aName.c_str()));
  if (module) return std::unique_ptr<qDynamicLibrary>(new qDynamicLibrary(reinterpret_cast<void*>(module)));
  aErrorCode = GetLastError();
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, aErrorCode, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  aErrorText.clear();
  if (n > 0 && buffer) aErrorText.assign(reinterpret_cast<const char16_t*>(buffer), n);
  if (buffer) LocalFree(buffer);
  aErrorText = TrimSystemMessage(std::move(aErrorText));
  return nullptr;
}

qDynamicLibrary::~qDynamicLibrary() { FreeLibrary(reinterpret_cast<HMODULE>(fHandle)); }

void* qDynamicLibrary::GetAddress(const std::string& aName) const {
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(fHandle), aName.c_str()));
}

}  // namespace qv
