#include <clocale>
#include <ctime>

#include "core/date_time.h"
#include "core/text.h"

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

std::u16string FormatShortDate(double aDate) {
  const DateTimeParts p = DecodeDateTime(aDate);
  std::tm tm = {};
  tm.tm_year = p.fYear - 1900;
  tm.tm_mon = p.fMonth - 1;
  tm.tm_mday = p.fDay;
  char buf[64];
  const size_t n = std::strftime(buf, sizeof buf, "%x", &tm);
  return FromUtf8(std::string(buf, n));
}

}  // namespace qv
