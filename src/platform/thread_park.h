// Parking a thread for good.
//
// While a library is being unloaded a thread of ours must not be joined (the
// loader lock is held and the thread could never finish exiting), yet it must
// not touch any object of ours again either. Such a thread is parked: it
// blocks in the operating system and never comes back into our code.
//
// Thread: the calling thread parks itself. Throws: nothing; never returns.
#pragma once

namespace qv {

[[noreturn]] void ParkThisThreadForever();

}  // namespace qv
