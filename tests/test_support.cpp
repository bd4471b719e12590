#include "test_support.h"

#include <filesystem>

namespace qv {

std::u16string FreshTestDir(const char* aName) {
  const std::filesystem::path dir = std::filesystem::u8path(std::string(QV_TEST_OUTPUT_DIR) + "/" + aName);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir, ec);
  return FromUtf8(dir.u8string());
}

}  // namespace qv
