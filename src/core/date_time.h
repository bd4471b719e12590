// TDateTime: a double counting days since 1899-12-30, the fraction being the
// time of day. Before 1899-12-30 the whole part counts backwards and the
// fraction still counts forwards from midnight (-1.25 is 1899-12-29 06:00).
#pragma once

#include <string>

namespace qv {

using TDateTime = double;

struct DateTimeParts {
  int fYear = 1899, fMonth = 12, fDay = 30;
  int fHour = 0, fMinute = 0, fSecond = 0, fMillisecond = 0;
};

bool IsValidDate(int aYear, int aMonth, int aDay);
// Year 1 to 9999; fails on any field out of range.
bool TryEncodeDate(int aYear, int aMonth, int aDay, TDateTime& aDate);
// Hour 0 to 23, minute and second 0 to 59, millisecond 0 to 999.
bool TryEncodeTime(int aHour, int aMinute, int aSecond, int aMillisecond, TDateTime& aTime);
// Joins a whole-day date and a time of day, keeping the time counting forwards
// for dates before 1899-12-30.
TDateTime ComposeDateTime(TDateTime aDate, TDateTime aTime);
// Encodes all fields at once; fails like TryEncodeDate and TryEncodeTime.
bool TryEncodeDateTime(const DateTimeParts& aParts, TDateTime& aValue);

// Decoding rounds to the nearest millisecond.
DateTimeParts DecodeDateTime(TDateTime aValue);

// "yyyy-mm-ddThh:nn:ss.zzzZ", the value written unchanged (no zone conversion).
std::u16string FormatIsoDateTime(TDateTime aValue);

// Appends aValue in decimal, filled with leading zeros to aWidth digits.
void AppendPadded(std::u16string& aOut, int aValue, int aWidth);

}  // namespace qv
