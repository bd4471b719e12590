// The user's regional settings, for the few values that follow them (the
// numeric form of booleans in requests, amounts read from the terminal, the
// release date in the version text). Everything else is formatted the same
// way on every machine.
#pragma once

#include <string>

namespace qv {

// The decimal separator of the user's number format: LOCALE_SDECIMAL on
// win32, the C library's current LC_NUMERIC decimal point on posix.
char16_t RegionalDecimalSeparator();

// A date (the whole days of aDate) in the user's short date form: the user's
// locale on win32 (GetDateFormatW, DATE_SHORTDATE); on posix the C library's
// current LC_TIME date form ("%x"), which is "mm/dd/yy" unless the host chose
// a locale.
std::u16string FormatShortDate(double aDate);

}  // namespace qv
