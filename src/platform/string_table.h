// The library's own string table. On win32 it is the STRINGTABLE resource of
// the module that holds this code (the DLL, or a test program that links the
// code statically); on posix it is the same list compiled in.
//
// Throws: nothing. Thread: any.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

// The longest entry text handed out, in UTF-16 code units; longer entries are
// cut.
constexpr size_t kMaxStringTableEntry = 1024;

// The text of the entry aId, or the empty text when the table has none.
std::u16string LoadModuleString(uint32_t aId);

}  // namespace qv
