// The product library's load and unload hooks. The platform calls them from
// the library's entry point: DllMain on win32, the shared object's static
// initialisation and destruction on posix.
//
// How the library goes matters to whoever owns threads:
// - uk_Ordinary: other threads are alive and may be joined (posix dlclose and
//   exit).
// - uk_LoaderLocked: win32 FreeLibrary; other threads are alive but the
//   loader lock is held, so waiting for a thread to end deadlocks.
// - uk_ProcessExit: win32 process exit; the other threads are already gone
//   and may have died holding locks.
#pragma once

namespace qv {

enum class tqUnloadKind { uk_Ordinary, uk_LoaderLocked, uk_ProcessExit };

using tqLibraryLoadHook = void (*)();
using tqLibraryUnloadHook = void (*)(tqUnloadKind);

// Called once, from a static initialiser of the product library. The load
// hook runs when the library has been loaded, the unload hook when it goes.
// Neither may throw.
void InstallLibraryLifecycle(tqLibraryLoadHook aLoad, tqLibraryUnloadHook aUnload);

}  // namespace qv
