// A host that opens devices, queues many log lines through payments, and then
// either unloads the library with its devices still open or exits without
// CLOSE. The unload test runs it as a child process and checks the logs.
// Usage: unload_host LIBRARY SAMPLE_LIBRARY LOG_ID freelibrary|exit
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/text.h"
#include "host_library.h"

namespace {

constexpr int kDevices = 3;
constexpr int kPaymentsPerDevice = 200;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: unload_host LIBRARY SAMPLE_LIBRARY LOG_ID freelibrary|exit\n");
    return 2;
  }
  const std::u16string sample = qv::FromUtf8(argv[2]);
  const std::u16string logId = qv::FromUtf8(argv[3]);
  const bool exitWithoutClose = std::strcmp(argv[4], "exit") == 0;

  auto* library = new qvtest::HostLibrary(argv[1]);
  for (int d = 1; d <= kDevices; ++d) {
    const std::u16string open = u"<R><Driver>QVPA_TEST_10</Driver><LogId>" + logId + u"-" + qv::IntToStr(d) +
                                u"</LogId><Connection><Type>dll</Type><LibraryName>" + sample +
                                u"</LibraryName></Connection></R>";
    if (library->Call("OPEN", open).fCode != 0) return 3;
  }
  for (int p = 0; p < kPaymentsPerDevice; ++p) {
    for (int d = 1; d <= kDevices; ++d) {
      const std::u16string pay = u"<R><Handle>" + qv::IntToStr(d) + u"</Handle><Payment><Reference>" +
                                 qv::IntToStr(p + 1) + u"</Reference></Payment></R>";
      if (library->Call("PAY", pay).fCode != 0) return 4;
    }
  }
  if (exitWithoutClose) std::exit(0);  // the library is still loaded, its devices open
  delete library;                      // unloads with the devices open
  return 0;
}
