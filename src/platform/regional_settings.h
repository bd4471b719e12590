// The user's regional settings, for the few values that follow them (the
// numeric form of booleans in requests, amounts read from the terminal, the
// release date in the version text). Everything else is formatted the same
// way on every machine.
#pragma once

namespace qv {

// The decimal separator of the user's number format: LOCALE_SDECIMAL on
// win32, the C library's current LC_NUMERIC decimal point on posix.
char16_t RegionalDecimalSeparator();

}  // namespace qv
