#include <unistd.h>

#include "platform/thread_park.h"

namespace qv {

void ParkThisThreadForever() {
  // pause() only returns after a signal handler ran on this thread; go
  // straight back to sleep then.
  for (;;) pause();
}

}  // namespace qv
