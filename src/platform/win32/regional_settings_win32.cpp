#include <windows.h>

#include "core/date_time.h"
#include "platform/regional_settings.h"

namespace qv {

char16_t RegionalDecimalSeparator() {
  wchar_t buf[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) >= 2 && buf[1] == 0)
    return static_cast<char16_t>(buf[0]);
  return u'.';
}

std::u16string FormatShortDate(double aDate) {
  const DateTimeParts p = DecodeDateTime(aDate);
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(p.fYear);
  st.wMonth = static_cast<WORD>(p.fMonth);
  st.wDay = static_cast<WORD>(p.fDay);
  wchar_t buf[128] = {};
  const int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, 128);
  return n > 1 ? std::u16string(reinterpret_cast<const char16_t*>(buf), n - 1) : std::u16string();
}

}  // namespace qv
