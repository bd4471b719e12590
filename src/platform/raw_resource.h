// Raw-data (RCDATA) resources of the library's own module, read as text: the
// encoding comes from a byte order mark, else the ANSI code page.
// Throws: nothing. Thread: any.
#pragma once

#include <string>

namespace qv {

// False when the module carries no resource of that name.
bool LoadRawDataResource(const std::u16string& aName, std::u16string& aText);

}  // namespace qv
