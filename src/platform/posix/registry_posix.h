// Hooks of the posix registry store that only tests use.
#pragma once

namespace qv {

// Called while a key is written, after the next version of the key file has
// been written and flushed and before it replaces the current one. Tests use
// it to stop a process at the one moment a crash could hurt. nullptr (the
// default) calls nothing. Set it before any key is written; it is not guarded.
using tQV_RegistryCommitHook = void (*)();
void SetRegistryCommitHookForTests(tQV_RegistryCommitHook aHook);

}  // namespace qv
