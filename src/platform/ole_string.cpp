// The parts of the OLE string service that are the same on both platforms.
#include "platform/ole_string.h"

#include <new>

namespace qv {

std::u16string OleToString(const char16_t* aString) {
  if (aString == nullptr) return std::u16string();
  return std::u16string(aString, OleStringLength(aString));
}

OleStr StringToOle(std::u16string_view aText) {
  if (aText.empty()) return nullptr;
  if (aText.size() > UINT32_MAX) throw std::bad_alloc();
  return OleAllocString(aText.data(), static_cast<uint32_t>(aText.size()));
}

}  // namespace qv
