#include <windows.h>

#include "platform/ansi.h"

namespace qv {

std::string ToAnsi(std::u16string_view aText) {
  if (aText.empty()) return std::string();
  const auto* wide = reinterpret_cast<const wchar_t*>(aText.data());
  const int size = static_cast<int>(aText.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide, size, out.data(), n, nullptr, nullptr);
  return out;
}

std::u16string FromAnsi(std::string_view aText) {
  if (aText.empty()) return std::u16string();
  const int size = static_cast<int>(aText.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, aText.data(), size, nullptr, 0);
  std::wstring out(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, aText.data(), size, out.data(), n);
  return std::u16string(out.begin(), out.end());
}

}  // namespace qv
