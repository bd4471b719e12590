// OLE strings from oleaut32, so that the host frees what the library returns
// with its own SysFreeString.
#include <windows.h>
#include <oleauto.h>

#include <new>

#include "platform/ole_string.h"

namespace qv {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "OLECHAR is a UTF-16 code unit");

OleStr OleAllocString(const char16_t* aText, uint32_t aLength) {
  BSTR result = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(aText), aLength);
  if (result == nullptr) throw std::bad_alloc();
  // oleaut32 leaves the text uninitialised without a source; ours is zeros
  // on both platforms.
  if (aText == nullptr) ZeroMemory(result, static_cast<SIZE_T>(aLength) * sizeof(OLECHAR));
  return reinterpret_cast<OleStr>(result);
}

void OleFreeString(OleStr aString) { SysFreeString(reinterpret_cast<BSTR>(aString)); }

uint32_t OleStringLength(const char16_t* aString) {
  return SysStringLen(reinterpret_cast<BSTR>(const_cast<char16_t*>(aString)));
}

}  // namespace qv
