// Facts about the host process: the program that loaded the library, not the
// library itself.
// Throws: nothing. Thread: any.
#pragma once

#include <string>
#include <vector>

namespace qv {

// Full path of the host's executable file; empty if the system cannot say.
std::u16string ExecutablePath();
// The host's command-line parameters, without the program path itself.
std::vector<std::u16string> CommandLineParameters();

}  // namespace qv
