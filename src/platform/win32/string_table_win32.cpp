// The string table of the win32 build: the STRINGTABLE resource of the module
// that holds this code. The module is found from the address of one of our
// functions, so that inside the DLL it is the DLL and never the host's
// executable (which GetModuleHandle(nullptr) would give).
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/string_table.h"

namespace qv {

namespace {

HMODULE OwnModule() {
  HMODULE module = nullptr;
  // The reference count stays as it is: the module cannot go while its own
  // code runs.
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&LoadModuleString), &module))
    return nullptr;
  return module;
}

}  // namespace

std::u16string LoadModuleString(uint32_t aId) {
  const HMODULE module = OwnModule();
  if (!module) return std::u16string();
  wchar_t buffer[kMaxStringTableEntry + 1];
  const int length = LoadStringW(module, aId, buffer, static_cast<int>(kMaxStringTableEntry + 1));
  if (length <= 0) return std::u16string();
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length));
}

}  // namespace qv
