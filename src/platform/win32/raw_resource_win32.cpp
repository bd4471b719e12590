#include <windows.h>

#include "platform/raw_resource.h"

namespace qv {

bool LoadRawDataResource(const std::u16string& aName, std::u16string& aText) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&LoadRawDataResource), &module))
    return false;
  HRSRC info = FindResourceW(module, reinterpret_cast<LPCWSTR>(aName.c_str()), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!info) return false;
  HGLOBAL data = LoadResource(module, info);
  const DWORD size = SizeofResource(module, info);
  const auto* bytes = static_cast<const unsigned char*>(data ? LockResource(data) : nullptr);
  if (!bytes) return false;
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    aText.assign(reinterpret_cast<const char16_t*>(bytes + 2), (size - 2) / 2);
    return true;
  }
  UINT codePage = CP_ACP;
  DWORD skip = 0;
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) codePage = CP_UTF8, skip = 3;
  const int n = MultiByteToWideChar(codePage, 0, reinterpret_cast<LPCSTR>(bytes + skip), size - skip, nullptr, 0);
  std::wstring wide(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, reinterpret_cast<LPCSTR>(bytes + skip), size - skip, wide.data(), n);
  aText.assign(wide.begin(), wide.end());
  return true;
}

}  // namespace qv
