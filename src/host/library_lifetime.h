// What loading and unloading the library does. Loading makes the application
// object, the device table and the driver registry, and registers the ZELQ
// driver. Unloading destroys the device table (every device still open
// terminates and unloads its vendor library and closes its log), then the
// driver registry, then the application object, in the way the kind of unload
// allows: no thread is joined under the Windows loader lock, and at process
// exit only what is still queued for the logs is written out.
// Throws: nothing. Thread: the thread that loads or unloads the library.
#pragma once

#include "platform/library_entry.h"

namespace qv {

void LibraryLoad();
void LibraryUnload(tqUnloadKind aKind);

}  // namespace qv
