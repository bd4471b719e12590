// A dynamically loaded library: loaded by name, asked for exports by name,
// unloaded on destruction.
//
// Load reports a failure with the system's code and text: on win32 the
// GetLastError code and the FormatMessageW text of the system message table;
// on posix the loader's own dlerror() text with code 126 when the file does
// not exist (the code Windows gives for a missing module) and 193 for any
// other loader failure (the code Windows gives for a file that is no loadable
// library). Trailing blanks, control characters and full stops are removed
// from the text on both.
//
// Owns: the module handle. Throws: nothing. Thread: any, one at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qv {

class qDynamicLibrary {
 public:
  // nullptr on failure, with aErrorCode and aErrorText set.
  static std::unique_ptr<qDynamicLibrary> Load(const std::u16string& aName, uint32_t& aErrorCode,
                                               std::u16string& aErrorText);
  ~qDynamicLibrary();
  qDynamicLibrary(const qDynamicLibrary&) = delete;
  qDynamicLibrary& operator=(const qDynamicLibrary&) = delete;

  // The export of that exact name (8-bit text), or null.
  void* GetAddress(const std::string& aName) const;
  uintptr_t Handle() const { return reinterpret_cast<uintptr_t>(fHandle); }

 private:
  explicit qDynamicLibrary(void* aHandle) : fHandle(aHandle) {}
  void* fHandle;
};

// Removes trailing characters 0 to 32 and trailing full stops.
std::u16string TrimSystemMessage(std::u16string aText);

}  // namespace qv
