// Text in the system's ANSI code page, for the vendor library and the names
// of library exports: the active code page on win32, Windows-1252 on posix.
// Unmappable characters become "?"; nothing throws. Thread: any.
#pragma once

#include <string>
#include <string_view>

namespace qv {

std::string ToAnsi(std::u16string_view aText);
std::u16string FromAnsi(std::string_view aText);

}  // namespace qv
