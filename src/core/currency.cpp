#include "core/currency.h"

#include <limits>

namespace qv {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

bool TryParseDecimal(std::u16string_view aText, char16_t aDecimalSeparator, DecimalNumber& aNumber) {
  DecimalNumber result;
  size_t i = 0;
  const size_t n = aText.size();
  while (i < n && aText[i] == u' ') ++i;
  if (i < n && (aText[i] == u'+' || aText[i] == u'-')) {
    result.fNegative = aText[i] == u'-';
    ++i;
  }
  bool anyDigit = false;
  bool separatorSeen = false;
  int64_t fractionDigits = 0;
  for (; i < n; ++i) {
    const char16_t c = aText[i];
    if (IsDigit(c)) {
      anyDigit = true;
      if (!(result.fDigits.empty() && c == u'0')) result.fDigits.push_back(static_cast<char>(c));
      if (separatorSeen) ++fractionDigits;
    } else if (c == aDecimalSeparator && !separatorSeen) {
      separatorSeen = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return false;
  int64_t exponent = 0;
  if (i < n && (aText[i] == u'e' || aText[i] == u'E')) {
    ++i;
    bool expNegative = false;
    if (i < n && (aText[i] == u'+' || aText[i] == u'-')) {
      expNegative = aText[i] == u'-';
      ++i;
    }
    if (i >= n || !IsDigit(aText[i])) return false;
    for (; i < n && IsDigit(aText[i]); ++i) {
      // Saturate: any exponent this large makes the value overflow or vanish.
      if (exponent < 100000000) exponent = exponent * 10 + (aText[i] - u'0');
    }
    if (expNegative) exponent = -exponent;
  }
  while (i < n && aText[i] == u' ') ++i;
  if (i != n) return false;
  // Leading zeros were never stored; fraction digits lower the exponent.
  exponent -= fractionDigits;
  if (result.fDigits.empty()) {
    exponent = 0;
    result.fNegative = false;
  }
  if (exponent > 1000000000) exponent = 1000000000;
  if (exponent < -1000000000) exponent = -1000000000;
  result.fExponent = static_cast<int32_t>(exponent);
  aNumber = std::move(result);
  return true;
}

bool TryScaleDecimal(const DecimalNumber& aNumber, int aShift, int64_t& aResult) {
  if (aNumber.IsZero()) {
    aResult = 0;
    return true;
  }
  const int64_t e = static_cast<int64_t>(aNumber.fExponent) + aShift;
  const std::string& d = aNumber.fDigits;
  const int64_t len = static_cast<int64_t>(d.size());
  // Digits that form the integer part after scaling: the first len + e.
  const int64_t intLen = len + e;
  uint64_t value = 0;
  const uint64_t limit = aNumber.fNegative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull;
  auto push = [&](int digit) {
    if (value > (limit - digit) / 10) return false;
    value = value * 10 + digit;
    return true;
  };
  if (intLen > 0) {
    if (intLen > 20) return false;
    for (int64_t k = 0; k < intLen; ++k) {
      const int digit = k < len ? d[k] - '0' : 0;
      if (!push(digit)) return false;
    }
  }
  if (intLen < len) {
    // Round what is dropped half to even. When intLen is negative the first
    // dropped digit is an implied zero and the value lies below one half.
    int firstDigit = 0;
    bool rest = false;
    if (intLen >= 0) {
      firstDigit = d[intLen] - '0';
      for (int64_t k = intLen + 1; k < len; ++k)
        if (d[k] != '0') rest = true;
    }
    const bool up = firstDigit > 5 || (firstDigit == 5 && (rest || (value & 1)));
    if (up) {
      if (value >= limit) return false;
      ++value;
    }
  }
  aResult = aNumber.fNegative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
  return true;
}

bool TryStrToCurrency(std::u16string_view aText, Currency& aValue) {
  DecimalNumber number;
  int64_t scaled;
  if (!TryParseDecimal(aText, u'.', number) || !TryScaleDecimal(number, 4, scaled)) return false;
  aValue = Currency::FromScaled(scaled);
  return true;
}

std::u16string CurrencyToString(Currency aValue) {
  const int64_t v = aValue.Scaled();
  const uint64_t abs = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  std::u16string out;
  if (v < 0) out.push_back(u'-');
  const std::string whole = std::to_string(abs / Currency::kScale);
  out.append(whole.begin(), whole.end());
  uint64_t frac = abs % Currency::kScale;
  if (frac != 0) {
    char16_t digits[4];
    for (int k = 3; k >= 0; --k) {
      digits[k] = static_cast<char16_t>(u'0' + frac % 10);
      frac /= 10;
    }
    int used = 4;
    while (digits[used - 1] == u'0') --used;
    out.push_back(u'.');
    out.append(digits, digits + used);
  }
  return out;
}

int64_t CurrencyToCents(Currency aValue) { return aValue.Scaled() / 100; }

}  // namespace qv
