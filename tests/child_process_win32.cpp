#include <windows.h>

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

}  // namespace qvtest
