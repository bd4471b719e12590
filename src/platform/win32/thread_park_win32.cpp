#include <windows.h>

#include "platform/thread_park.h"

namespace qv {

void ParkThisThreadForever() {
  // A non-alertable infinite sleep never returns; the loop only keeps the
  // compiler convinced of that.
  for (;;) Sleep(INFINITE);
}

}  // namespace qv
