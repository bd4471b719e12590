// Currency: a signed 64-bit count of ten-thousandths, as the host's amounts are
// kept. Parsed and formatted exactly, never through a double.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class Currency {
 public:
  static constexpr int64_t kScale = 10000;

  constexpr Currency() = default;
  static constexpr Currency FromScaled(int64_t aScaled) { return Currency(aScaled); }
  static constexpr Currency FromUnits(int64_t aUnits) { return Currency(aUnits * kScale); }

  constexpr int64_t Scaled() const { return fScaled; }

  friend constexpr bool operator==(Currency a, Currency b) { return a.fScaled == b.fScaled; }
  friend constexpr bool operator!=(Currency a, Currency b) { return a.fScaled != b.fScaled; }
  friend constexpr bool operator<(Currency a, Currency b) { return a.fScaled < b.fScaled; }

 private:
  constexpr explicit Currency(int64_t aScaled) : fScaled(aScaled) {}
  int64_t fScaled = 0;
};

// A decimal number as written: value = digits * 10^exponent. Digits hold no
// leading zeros; an empty digit string is zero.
struct DecimalNumber {
  bool fNegative = false;
  std::string fDigits;
  int32_t fExponent = 0;

  bool IsZero() const { return fDigits.empty(); }
};

// Parses the floating-point syntax of the request readers: optional blanks,
// an optional sign, digits with at most one aDecimalSeparator (at least one
// digit in all), an optional exponent ("E" or "e", optional sign, digits),
// optional blanks. Nothing else is accepted, thousands separators included.
bool TryParseDecimal(std::u16string_view aText, char16_t aDecimalSeparator, DecimalNumber& aNumber);

// Scales aNumber by 10^aShift and rounds it to an integer, half to even.
// Fails when the result leaves the signed 64-bit range.
bool TryScaleDecimal(const DecimalNumber& aNumber, int aShift, int64_t& aResult);

// The reader's currency syntax with "." as separator, rounded to four decimals.
bool TryStrToCurrency(std::u16string_view aText, Currency& aValue);

// General number form with "." as separator: no thousands separator, no
// trailing zeros, no separator for whole amounts ("12.5", "10", "-0.05").
std::u16string CurrencyToString(Currency aValue);

// Cents towards the vendor library: the amount times 100, the fraction of a
// cent dropped toward zero (12.345 gives 1234, -0.019 gives -1).
int64_t CurrencyToCents(Currency aValue);

}  // namespace qv
