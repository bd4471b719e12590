// The shared object's load and unload: the hooks run from static
// initialisation and destruction, which dlopen/dlclose and program start and
// exit drive. Compiled into the product library itself.
#include "platform/library_entry.h"

namespace qv {

namespace {

struct qLibraryLifecycle {
  tqLibraryUnloadHook fUnload = nullptr;
  ~qLibraryLifecycle() {
    if (fUnload) fUnload(tqUnloadKind::uk_Ordinary);
  }
};

qLibraryLifecycle gLifecycle;

}  // namespace

void InstallLibraryLifecycle(tqLibraryLoadHook aLoad, tqLibraryUnloadHook aUnload) {
  if (aLoad) aLoad();
  gLifecycle.fUnload = aUnload;
}

}  // namespace qv
