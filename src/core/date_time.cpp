#include "core/date_time.h"

#include <cmath>
#include <cstdint>

namespace qv {

namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

}  // namespace

bool IsValidDate(int aYear, int aMonth, int aDay) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (aYear < 1 || aYear > 9999 || aMonth < 1 || aMonth > 12 || aDay < 1) return false;
  const bool leap = (aYear % 4 == 0 && aYear % 100 != 0) || aYear % 400 == 0;
  const int days = kDays[aMonth - 1] + (aMonth == 2 && leap ? 1 : 0);
  return aDay <= days;
}

bool TryEncodeDate(int aYear, int aMonth, int aDay, TDateTime& aDate) {
  if (!IsValidDate(aYear, aMonth, aDay)) return false;
  aDate = static_cast<double>(DaysFromCivil(aYear, aMonth, aDay) - kEpochDays);
  return true;
}

bool TryEncodeTime(int aHour, int aMinute, int aSecond, int aMillisecond, TDateTime& aTime) {
  if (aHour < 0 || aHour > 23 || aMinute < 0 || aMinute > 59 || aSecond < 0 || aSecond > 59 || aMillisecond < 0 ||
      aMillisecond > 999)
    return false;
  const int64_t ms = ((aHour * 60LL + aMinute) * 60 + aSecond) * 1000 + aMillisecond;
  aTime = static_cast<double>(ms) / kMsPerDay;
  return true;
}

TDateTime ComposeDateTime(TDateTime aDate, TDateTime aTime) { return aDate < 0 ? aDate - aTime : aDate + aTime; }

bool TryEncodeDateTime(const DateTimeParts& aParts, TDateTime& aValue) {
  TDateTime date, time;
  if (!TryEncodeDate(aParts.fYear, aParts.fMonth, aParts.fDay, date) ||
      !TryEncodeTime(aParts.fHour, aParts.fMinute, aParts.fSecond, aParts.fMillisecond, time))
    return false;
  aValue = ComposeDateTime(date, time);
  return true;
}

DateTimeParts DecodeDateTime(TDateTime aValue) {
  DateTimeParts parts;
  if (!std::isfinite(aValue) || std::fabs(aValue) > 3.0e6) return parts;
  const int64_t total = std::llround(aValue * kMsPerDay);
  const int64_t days = total / kMsPerDay;  // truncates toward zero
  const int64_t ms = (total < 0 ? -total : total) % kMsPerDay;
  CivilFromDays(days + kEpochDays, parts.fYear, parts.fMonth, parts.fDay);
  parts.fHour = static_cast<int>(ms / 3600000);
  parts.fMinute = static_cast<int>(ms / 60000 % 60);
  parts.fSecond = static_cast<int>(ms / 1000 % 60);
  parts.fMillisecond = static_cast<int>(ms % 1000);
  return parts;
}

void AppendPadded(std::u16string& aOut, int aValue, int aWidth) {
  char16_t buf[16];
  int pos = 16;
  unsigned v = aValue < 0 ? 0u - static_cast<unsigned>(aValue) : static_cast<unsigned>(aValue);
  do {
    buf[--pos] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0 && pos > 0);
  while (16 - pos < aWidth && pos > 0) buf[--pos] = u'0';
  if (aValue < 0) aOut.push_back(u'-');
  aOut.append(buf + pos, buf + 16);
}

std::u16string FormatIsoDateTime(TDateTime aValue) {
  const DateTimeParts p = DecodeDateTime(aValue);
  std::u16string out;
  out.reserve(24);
  AppendPadded(out, p.fYear, 4);
  out.push_back(u'-');
  AppendPadded(out, p.fMonth, 2);
  out.push_back(u'-');
  AppendPadded(out, p.fDay, 2);
  out.push_back(u'T');
  AppendPadded(out, p.fHour, 2);
  out.push_back(u':');
  AppendPadded(out, p.fMinute, 2);
  out.push_back(u':');
  AppendPadded(out, p.fSecond, 2);
  out.push_back(u'.');
  AppendPadded(out, p.fMillisecond, 3);
  out.push_back(u'Z');
  return out;
}

}  // namespace qv
