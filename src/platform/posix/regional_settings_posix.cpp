#include <clocale>

#include "platform/regional_settings.h"

namespace qv {

char16_t RegionalDecimalSeparator() {
  // The host may have chosen a locale with setlocale; a multi-byte separator
  // cannot be one UTF-16 unit here, so it falls back to the point.
  const std::lconv* conv = std::localeconv();
  if (conv && conv->decimal_point && conv->decimal_point[0] != 0 && conv->decimal_point[1] == 0 &&
      static_cast<unsigned char>(conv->decimal_point[0]) < 0x80)
    return static_cast<char16_t>(conv->decimal_point[0]);
  return u'.';
}

}  // namespace qv
