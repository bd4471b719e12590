#include <unistd.h>

#include <fstream>
#include <iterator>

#include "core/text.h"
#include "platform/process_info.h"

namespace qv {

std::u16string ExecutablePath() {
  std::string buf(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0) return std::u16string();
  buf.resize(static_cast<size_t>(n));
  return FromUtf8(buf);
}

std::vector<std::u16string> CommandLineParameters() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::u16string> args;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    args.push_back(FromUtf8(std::string_view(all).substr(start, end - start)));
    start = end + 1;
  }
  if (!args.empty()) args.erase(args.begin());
  return args;
}

}  // namespace qv
