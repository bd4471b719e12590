#include "core/error.h"

#include "core/text.h"

namespace qv {

qError::qError(std::u16string aMessage) : fMessage(std::move(aMessage)), fUtf8(ToUtf8(fMessage)) {}

std::u16string FormatS(std::u16string_view aPattern, std::u16string_view aValue) {
  std::u16string result;
  const auto pos = aPattern.find(u"%s");
  if (pos == std::u16string_view::npos) return std::u16string(aPattern);
  result.reserve(aPattern.size() + aValue.size());
  result.append(aPattern.substr(0, pos));
  result.append(aValue);
  result.append(aPattern.substr(pos + 2));
  return result;
}

}  // namespace qv
