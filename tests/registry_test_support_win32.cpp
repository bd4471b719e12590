#include <windows.h>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "registry_test_support.h"

namespace qv {

namespace {

HKEY Root(tQV_RegistryRoot aRoot) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(aRoot))); }

const wchar_t* Wide(const std::u16string& aText) { return reinterpret_cast<const wchar_t*>(aText.c_str()); }

}  // namespace

void ResetTestRegistry(const std::u16string& aKeyPath) {
  const LONG rc = RegDeleteTreeW(HKEY_CURRENT_USER, Wide(aKeyPath));
  ASSERT_TRUE(rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) << rc;
}

void PutTestRegistryNumber(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath, const std::u16string& aValueName,
                           uint32_t aValue) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(Root(aRoot), Wide(aKeyPath), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const DWORD value = aValue;
  const LONG rc = RegSetValueExW(key, Wide(aValueName), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof value);
  RegCloseKey(key);
  ASSERT_EQ(rc, ERROR_SUCCESS);
}

}  // namespace qv
