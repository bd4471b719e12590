// OLE Automation strings, the strings that cross the exported functions: a
// pointer to UTF-16 text preceded by its length in bytes as a 32-bit number
// and followed by a 16-bit NUL. A null pointer is the empty string. On win32
// they come from oleaut32 so that a host can free them with its own
// SysFreeString; on posix the library has its own allocator with the same
// layout and exports it to hosts.
//
// Any thread may call these. Throws: OleAllocString and StringToOle throw
// std::bad_alloc when the allocation fails; nothing else throws.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

using OleStr = char16_t*;

// A new string holding aLength code units copied from aText (zeros when
// aText is null), NUL-terminated.
OleStr OleAllocString(const char16_t* aText, uint32_t aLength);
void OleFreeString(OleStr aString);
// Length in code units, from the length prefix; 0 for null.
uint32_t OleStringLength(const char16_t* aString);

// The library's own copy of a host string, by its length prefix: embedded
// NULs are kept and no terminator is needed.
std::u16string OleToString(const char16_t* aString);
// A host string of aText; the empty text gives null.
OleStr StringToOle(std::u16string_view aText);

}  // namespace qv
