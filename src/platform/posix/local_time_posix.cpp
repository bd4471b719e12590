#include <time.h>

#include "platform/local_time.h"

namespace qv {

DateTimeParts LocalTimeNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  DateTimeParts parts;
  parts.fYear = local.tm_year + 1900;
  parts.fMonth = local.tm_mon + 1;
  parts.fDay = local.tm_mday;
  parts.fHour = local.tm_hour;
  parts.fMinute = local.tm_min;
  // A leap second (60) would not fit the time-stamp layout.
  parts.fSecond = local.tm_sec > 59 ? 59 : local.tm_sec;
  parts.fMillisecond = static_cast<int>(now.tv_nsec / 1000000);
  return parts;
}

}  // namespace qv
