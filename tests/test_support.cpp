#include "test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/date_time.h"
#include "platform/local_time.h"

namespace qv {

std::u16string FreshTestDir(const char* aName) {
  const std::filesystem::path dir = std::filesystem::u8path(std::string(QV_TEST_OUTPUT_DIR) + "/" + aName);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir, ec);
  return FromUtf8(dir.u8string());
}

std::string ReadFileBytes(const std::u16string& aPath) {
  std::ifstream in(std::filesystem::u8path(ToUtf8(aPath)), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::u16string DocumentElement(const std::u16string& aDocument, const std::u16string& aName) {
  const std::u16string open = u"<" + aName + u">";
  const size_t start = aDocument.find(open);
  if (start == std::u16string::npos) return u"(missing)";
  const size_t end = aDocument.find(u"</" + aName + u">", start);
  return aDocument.substr(start + open.size(), end - start - open.size());
}

std::u16string TodayForLogName() {
  const DateTimeParts today = LocalTimeNow();
  std::u16string date;
  AppendPadded(date, today.fYear, 4);
  AppendPadded(date, today.fMonth, 2);
  AppendPadded(date, today.fDay, 2);
  return date;
}

}  // namespace qv
