// The DLL's entry point. Compiled into the product library itself (not the
// static library), so that this DllMain replaces the runtime's default one.
#include <windows.h>

#include "platform/library_entry.h"

namespace qv {

namespace {

tqLibraryLoadHook gLoad = nullptr;
tqLibraryUnloadHook gUnload = nullptr;

}  // namespace

void InstallLibraryLifecycle(tqLibraryLoadHook aLoad, tqLibraryUnloadHook aUnload) {
  // Static initialisers run before DllMain sees DLL_PROCESS_ATTACH.
  gLoad = aLoad;
  gUnload = aUnload;
}

}  // namespace qv

extern "C" BOOL WINAPI DllMain(HINSTANCE aInstance, DWORD aReason, LPVOID aReserved) {
  if (aReason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(aInstance);
    if (qv::gLoad) qv::gLoad();
  } else if (aReason == DLL_PROCESS_DETACH) {
    // A non-null reserved pointer means the process is ending.
    if (qv::gUnload) qv::gUnload(aReserved ? qv::tqUnloadKind::uk_ProcessExit : qv::tqUnloadKind::uk_LoaderLocked);
  }
  return TRUE;
}
