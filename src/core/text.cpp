#include "core/text.h"

#include <limits>

namespace qv {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Windows-1252 code points for 0x80..0x9F; the five unassigned bytes map to
// the C1 control of the same value, as the Windows conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string ToUtf8(std::u16string_view aText) {
  std::string out;
  out.reserve(aText.size());
  for (size_t i = 0; i < aText.size(); ++i) {
    char32_t c = aText[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < aText.size() && aText[i + 1] >= 0xDC00 && aText[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (aText[i + 1] - 0xDC00);
        ++i;
      } else {
        c = kReplacement;
      }
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string FromUtf8(std::string_view aText) {
  std::u16string out;
  out.reserve(aText.size());
  const auto* s = reinterpret_cast<const unsigned char*>(aText.data());
  const size_t n = aText.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b & 0xE0) == 0xC0) {
      len = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4, cp = b & 0x07, min = 0x10000;
    } else {
      out.push_back(static_cast<char16_t>(kReplacement));
      ++i;
      continue;
    }
    int k = 1;
    for (; k < len && i + k < n && (s[i + k] & 0xC0) == 0x80; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
    if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(static_cast<char16_t>(kReplacement));
      i += k;  // skip the lead byte and the continuation bytes that belonged to it
      continue;
    }
    AppendUtf16(out, cp);
    i += len;
  }
  return out;
}

std::string ToCp1252(std::u16string_view aText) {
  std::string out;
  out.reserve(aText.size());
  for (size_t i = 0; i < aText.size(); ++i) {
    const char16_t c = aText[i];
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k) {
      if (kCp1252High[k] == c) {
        mapped = static_cast<char>(0x80 + k);
        break;
      }
    }
    // A surrogate pair is one character: one "?" for both halves.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < aText.size() && aText[i + 1] >= 0xDC00 && aText[i + 1] <= 0xDFFF) ++i;
    out.push_back(mapped);
  }
  return out;
}

std::u16string FromCp1252(std::string_view aText) {
  std::u16string out;
  out.reserve(aText.size());
  for (const char ch : aText) {
    const auto b = static_cast<unsigned char>(ch);
    out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b));
  }
  return out;
}

std::u16string LowerCase(std::u16string_view aText) {
  std::u16string out(aText);
  for (auto& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

std::u16string UpperCase(std::u16string_view aText) {
  std::u16string out(aText);
  for (auto& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  return out;
}

bool SameText(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::u16string UIntToStr(uint64_t aValue) {
  char16_t buf[24];
  int pos = 24;
  do {
    buf[--pos] = static_cast<char16_t>(u'0' + aValue % 10);
    aValue /= 10;
  } while (aValue != 0);
  return std::u16string(buf + pos, buf + 24);
}

std::u16string IntToStr(int64_t aValue) {
  if (aValue >= 0) return UIntToStr(static_cast<uint64_t>(aValue));
  // Negate in unsigned arithmetic so that the smallest value does not overflow.
  return u"-" + UIntToStr(0 - static_cast<uint64_t>(aValue));
}

bool TryStrToInt(std::u16string_view aText, int32_t& aValue) {
  size_t i = 0;
  const size_t n = aText.size();
  while (i < n && aText[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (aText[i] == u'+' || aText[i] == u'-')) {
    negative = aText[i] == u'-';
    ++i;
  }
  int base = 10;
  if (i < n && aText[i] == u'$') {
    base = 16, ++i;
  } else if (i < n && (aText[i] == u'x' || aText[i] == u'X')) {
    base = 16, ++i;
  } else if (i + 1 < n && aText[i] == u'0' && (aText[i + 1] == u'x' || aText[i + 1] == u'X')) {
    base = 16, i += 2;
  }
  if (i >= n) return false;
  const uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
  uint64_t value = 0;
  for (; i < n; ++i) {
    const char16_t c = aText[i];
    int digit;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (base == 16 && c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else if (base == 16 && c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else {
      return false;
    }
    value = value * base + digit;
    if (value > limit) return false;
  }
  aValue = static_cast<int32_t>(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
  return true;
}

int32_t StrToIntDef(std::u16string_view aText, int32_t aDefault) {
  int32_t v;
  return TryStrToInt(aText, v) ? v : aDefault;
}

std::u16string FromAscii(std::string_view aText) { return std::u16string(aText.begin(), aText.end()); }

}  // namespace qv
