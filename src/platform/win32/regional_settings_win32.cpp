#include <windows.h>

#include "platform/regional_settings.h"

namespace qv {

char16_t RegionalDecimalSeparator() {
  wchar_t buf[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) >= 2 && buf[1] == 0)
    return static_cast<char16_t>(buf[0]);
  return u'.';
}

}  // namespace qv
