// Text inside the library is UTF-16 (std::u16string), as on Windows. These are
// the conversions used at the edges, and a few helpers with Delphi-like rules.
// None of them throws on bad input: invalid sequences become U+FFFD (or "?"
// towards an 8-bit code page).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view aText);
// UTF-8 to UTF-16; a malformed or overlong sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view aText);

// Windows-1252, the ANSI code page that the posix build stands in for.
// Characters without a mapping (and lone surrogates) become "?".
std::string ToCp1252(std::u16string_view aText);
std::u16string FromCp1252(std::string_view aText);

// ASCII-only case mapping: other characters are left unchanged, as the
// system's keyword comparisons expect.
std::u16string LowerCase(std::u16string_view aText);
std::u16string UpperCase(std::u16string_view aText);
bool SameText(std::u16string_view a, std::u16string_view b);

// Plain decimal rendering, "-" for negative numbers.
std::u16string IntToStr(int64_t aValue);
std::u16string UIntToStr(uint64_t aValue);

// Delphi's StrToIntDef for 32-bit integers with the integer reader's syntax:
// optional leading blanks, a sign, decimal digits or hexadecimal digits after
// "$", "x", "X", "0x" or "0X". Anything else, or a value outside the signed
// 32-bit range, fails.
bool TryStrToInt(std::u16string_view aText, int32_t& aValue);
int32_t StrToIntDef(std::u16string_view aText, int32_t aDefault);

// For literals and ASCII-only text in tests and messages.
std::u16string FromAscii(std::string_view aText);

}  // namespace qv
