#include <windows.h>

#include "platform/local_time.h"

namespace qv {

DateTimeParts LocalTimeNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  DateTimeParts parts;
  parts.fYear = now.wYear;
  parts.fMonth = now.wMonth;
  parts.fDay = now.wDay;
  parts.fHour = now.wHour;
  parts.fMinute = now.wMinute;
  parts.fSecond = now.wSecond;
  parts.fMillisecond = now.wMilliseconds;
  return parts;
}

}  // namespace qv
