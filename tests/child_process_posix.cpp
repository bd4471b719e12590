#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "child_process.h"

namespace qvtest {

int RunChild(const std::string& aProgram, const std::vector<std::string>& aArguments, int aTimeoutMs) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(aProgram.c_str()));
  for (const auto& a : aArguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    execv(aProgram.c_str(), argv.data());
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(aTimeoutMs);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void SetTestEnvironment(const std::string& aName, const std::string& aValue) {
  setenv(aName.c_str(), aValue.c_str(), 1);
}

}  // namespace qvtest
