// The registry service of the win32 build: the real registry through
// advapi32. Each open key is owned by a move-only handle holder and closed
// when its qRegistryKey goes.
#include <windows.h>

#include <utility>
#include <vector>

#include "core/error.h"
#include "core/text.h"
#include "platform/registry.h"

namespace qv {

namespace {

class RegistryHandle {
 public:
  RegistryHandle() = default;
  explicit RegistryHandle(HKEY aKey) : fKey(aKey) {}
  ~RegistryHandle() { Reset(); }
  RegistryHandle(RegistryHandle&& aOther) noexcept : fKey(std::exchange(aOther.fKey, nullptr)) {}
  RegistryHandle& operator=(RegistryHandle&& aOther) noexcept {
    if (this != &aOther) {
      Reset();
      fKey = std::exchange(aOther.fKey, nullptr);
    }
    return *this;
  }
  RegistryHandle(const RegistryHandle&) = delete;
  RegistryHandle& operator=(const RegistryHandle&) = delete;

  HKEY Get() const { return fKey; }

 private:
  void Reset() {
    if (fKey) RegCloseKey(fKey);
    fKey = nullptr;
  }
  HKEY fKey = nullptr;
};

const wchar_t* Wide(const std::u16string& aText) { return reinterpret_cast<const wchar_t*>(aText.c_str()); }

// The predefined handles are sign-extended 32-bit values.
HKEY RootHandle(tQV_RegistryRoot aRoot) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(aRoot)));
}

class qRegistryKeyWin32 final : public qRegistryKey {
 public:
  explicit qRegistryKeyWin32(RegistryHandle aHandle) : fHandle(std::move(aHandle)) {}

  std::u16string ReadString(const std::u16string& aValueName) override {
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(fHandle.Get(), Wide(aValueName), nullptr, &type, nullptr, &size);
    // A value that is missing, or that cannot be queried at all, reads as
    // the empty text; only a value of the wrong type is an error.
    if (rc != ERROR_SUCCESS) return std::u16string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw qError(FormatS(u"Invalid data type for '%s'", aValueName));
    // The value may grow between the two calls; ask again until it fits.
    for (;;) {
      std::vector<char16_t> buffer(size / sizeof(char16_t) + 1, u'\0');
      DWORD got = static_cast<DWORD>(buffer.size() * sizeof(char16_t));
      rc = RegQueryValueExW(fHandle.Get(), Wide(aValueName), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                            &got);
      if (rc == ERROR_MORE_DATA) {
        size = got;
        continue;
      }
      if (rc != ERROR_SUCCESS) return std::u16string();
      if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw qError(FormatS(u"Invalid data type for '%s'", aValueName));
      // Stored strings need not be terminated; the buffer has room for one
      // more NUL, and the text ends at the first one.
      const size_t units = got / sizeof(char16_t);
      std::u16string text(buffer.data(), units);
      const size_t nul = text.find(u'\0');
      if (nul != std::u16string::npos) text.resize(nul);
      return text;
    }
  }

  void WriteString(const std::u16string& aValueName, const std::u16string& aValue) override {
    const DWORD bytes = static_cast<DWORD>((aValue.size() + 1) * sizeof(char16_t));
    const LONG rc = RegSetValueExW(fHandle.Get(), Wide(aValueName), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(aValue.c_str()), bytes);
    if (rc != ERROR_SUCCESS) throw qError(FormatS(u"Failed to set data for '%s'", aValueName));
  }

 private:
  RegistryHandle fHandle;
};

}  // namespace

tQV_RegistryOpenResult OpenRegistryKeyForRead(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath) {
  tQV_RegistryOpenResult result;
  HKEY key = nullptr;
  const LONG rc = RegOpenKeyExW(RootHandle(aRoot), Wide(aKeyPath), 0, KEY_READ, &key);
  if (rc == ERROR_SUCCESS) {
    result.fStatus = tQV_RegistryOpenStatus::ros_Ok;
    result.fKey = std::make_unique<qRegistryKeyWin32>(RegistryHandle(key));
  } else if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) {
    result.fStatus = tQV_RegistryOpenStatus::ros_NotFound;
  } else {
    result.fStatus = tQV_RegistryOpenStatus::ros_Failed;
  }
  return result;
}

tQV_RegistryOpenResult CreateRegistryKeyForWrite(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath) {
  tQV_RegistryOpenResult result;
  HKEY key = nullptr;
  const LONG rc = RegCreateKeyExW(RootHandle(aRoot), Wide(aKeyPath), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  if (rc == ERROR_SUCCESS) {
    result.fStatus = tQV_RegistryOpenStatus::ros_Ok;
    result.fKey = std::make_unique<qRegistryKeyWin32>(RegistryHandle(key));
  }
  return result;
}

}  // namespace qv
