// The wall clock in the machine's local time zone, to the millisecond.
//
// Thread: any thread. Throws: nothing.
#pragma once

#include "core/date_time.h"

namespace qv {

DateTimeParts LocalTimeNow();

}  // namespace qv
