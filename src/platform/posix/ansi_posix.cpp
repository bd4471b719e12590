#include "core/text.h"
#include "platform/ansi.h"

namespace qv {

std::string ToAnsi(std::u16string_view aText) { return ToCp1252(aText); }

std::u16string FromAnsi(std::string_view aText) { return FromCp1252(aText); }

}  // namespace qv
