// Runs a program as a child process and waits for it, for tests that need a
// process of their own (unloading a library, ending a process).
#pragma once

#include <string>
#include <vector>

namespace qvtest {

// The child's exit code, or -1 when it did not end within aTimeoutMs (it is
// killed then) or could not be started.
int RunChild(const std::string& aProgram, const std::vector<std::string>& aArguments, int aTimeoutMs);

// Sets an environment variable of this process, where a library loaded into
// it also sees it.
void SetTestEnvironment(const std::string& aName, const std::string& aValue);

}  // namespace qvtest
