// The string table of the posix build. The entries are the list the win32
// resource script compiles, included from the same file, so that both builds
// report the same version information.
#include <cstdint>
#include <string>

#include "platform/string_table.h"

namespace qv {

namespace {

struct StringTableEntry {
  uint32_t fId;
  const char16_t* fText;
};

const StringTableEntry kStringTable[] = {
#define QV_VERSION_STRING(aId, aText) {aId, u"" aText},
#include "base/version_strings.inc"
#undef QV_VERSION_STRING
};

}  // namespace

std::u16string LoadModuleString(uint32_t aId) {
  for (const StringTableEntry& entry : kStringTable) {
    if (entry.fId == aId) return std::u16string(entry.fText).substr(0, kMaxStringTableEntry);
  }
  return std::u16string();
}

}  // namespace qv
