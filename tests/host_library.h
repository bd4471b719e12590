// Loads a built payment library the way a host does (dlopen on posix,
// LoadLibraryW on win32), finds its functions by name and makes and frees
// OLE strings with the host's allocator (oleaut32 on win32, the library's
// own exports on posix). Unloads in the destructor, so each object sees a
// freshly loaded library with empty tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/export_abi.h"

namespace qvtest {

using HostStr = char16_t*;
// The exported functions as a host that reads the whole 32-bit register
// declares them, and as one that reads only the 16-bit result.
using CommandFn = uint32_t(QV_STDCALL*)(HostStr, HostStr*, HostStr*);
using CommandFn16 = int16_t(QV_STDCALL*)(HostStr, HostStr*, HostStr*);
using VersionFn = int32_t(QV_STDCALL*)(HostStr, HostStr*, HostStr*);

// What one call gave the host, copied out and freed.
struct HostCall {
  uint32_t fCode = 0;
  bool fOutputNull = true;
  std::u16string fOutput;
  bool fErrorNull = true;
  std::u16string fError;
};

class HostLibrary {
 public:
  explicit HostLibrary(const char* aPath);
  ~HostLibrary();
  HostLibrary(const HostLibrary&) = delete;
  HostLibrary& operator=(const HostLibrary&) = delete;

  // Null when the library does not export aName.
  void* Symbol(const char* aName) const;
  void* NativeHandle() const { return fHandle; }

  CommandFn Command(const char* aName) const;
  VersionFn Version() const;

  HostStr Alloc(std::u16string_view aText) const;
  void Free(HostStr aString) const;
  uint32_t Length(HostStr aString) const;
  // The host's view of a string: its length prefix, not a terminator.
  std::u16string Text(HostStr aString) const { return aString ? std::u16string(aString, Length(aString)) : u""; }

  // Calls command aName with a new string of aRequest, or with null when
  // aNullRequest, and frees everything it made.
  HostCall Call(const char* aName, std::u16string_view aRequest, bool aNullRequest = false) const;

 private:
  void* fHandle = nullptr;
  void* fAlloc = nullptr;
  void* fFree = nullptr;
  void* fLen = nullptr;
};

}  // namespace qvtest
