// Soak: many payments on one handle (100 000 unless a count is given); the
// resident memory, the open files and the threads of the process are printed
// every tenth of the way and must stay flat.
//   build/linux/bench/pay_soak [COUNT]
#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "pay_host.h"

namespace {

long Entries(const char* aDir) {
  long n = 0;
  if (DIR* d = opendir(aDir)) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') ++n;
    closedir(d);
  }
  return n;
}

long ResidentKiB() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 100000;
  char pattern[] = "/tmp/qv-pay-soak-XXXXXX";
  qvbench::PayHost host(mkdtemp(pattern));
  auto* open = host.Alloc(host.OpenRequest());
  if (host.Call(host.Open(), open) != 0) return 1;
  host.Free(open);
  auto* request = host.Alloc(qvbench::PayHost::PayRequest());
  std::printf("%10s %12s %10s %8s\n", "payments", "rss_kib", "open_fds", "threads");
  for (long i = 0; i <= count; ++i) {
    if (i % (count / 10 > 0 ? count / 10 : 1) == 0) {
      std::printf("%10ld %12ld %10ld %8ld\n", i, ResidentKiB(), Entries("/proc/self/fd"), Entries("/proc/self/task"));
      std::fflush(stdout);
    }
    if (i < count && host.Call(host.Pay(), request) != 0) {
      std::fprintf(stderr, "payment %ld failed\n", i);
      return 1;
    }
  }
  host.Free(request);
  return 0;
}
