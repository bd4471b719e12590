#include <windows.h>

#include <stdlib.h>

#include "child_process.h"

namespace qvtest {

int RunChild(const std::string& aProgram, const std::vector<std::string>& aArguments, int aTimeoutMs) {
  std::string command = "\"" + aProgram + "\"";
  for (const auto& a : aArguments) command += " \"" + a + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  CloseHandle(pi.hThread);
  int result = -1;
  if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(aTimeoutMs)) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    result = static_cast<int>(code);
  } else {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hProcess);
  return result;
}

void SetTestEnvironment(const std::string& aName, const std::string& aValue) {
  // Both the process environment and the C runtime's copy, which a library
  // reading getenv consults.
  SetEnvironmentVariableA(aName.c_str(), aValue.c_str());
  _putenv_s(aName.c_str(), aValue.c_str());
}

}  // namespace qvtest
