#include <gtest/gtest.h>

#include <cstdint>

#include "core/currency.h"
#include "core/date_time.h"
#include "core/error.h"
#include "core/text.h"
#include "test_support.h"

namespace qv {
namespace {

TEST(TextTest, Utf8RoundTripAndInvalidInput) {
  const std::u16string text = u"a\u00e9\u20ac\U0001F600z";
  EXPECT_EQ(ToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  // Lone surrogates never crash and become U+FFFD.
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
  // Malformed UTF-8: truncated, overlong, surrogate, stray continuation.
  EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD");
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD");
  EXPECT_EQ(FromUtf8("\x80z"), u"\uFFFDz");
}

TEST(TextTest, Cp1252) {
  EXPECT_EQ(ToCp1252(u"Caf\u00e9 \u20ac5"), "Caf\xE9 \x80" "5");
  EXPECT_EQ(FromCp1252("Caf\xE9 \x80" "5"), u"Caf\u00e9 \u20ac5");
  // Unmappable characters and lone surrogates become "?"; a pair is one "?".
  EXPECT_EQ(ToCp1252(u"\u4e2d" + std::u16string(1, char16_t(0xD800)) + u"\U0001F600"), "???");
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(ToCp1252(FromCp1252(one)), one) << b;
  }
}

TEST(TextTest, IntegerSyntax) {
  struct Case {
    const char16_t* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {u"0", true, 0},           {u"  42", true, 42},
      {u"+7", true, 7},          {u"-7", true, -7},
      {u"0x10", true, 16},       {u"0X1f", true, 31},
      {u"$FF", true, 255},       {u"x10", true, 16},
      {u"-$10", true, -16},      {u"2147483647", true, 2147483647},
      {u"-2147483648", true, INT32_MIN},
      {u"2147483648", false, 0}, {u"-2147483649", false, 0},
      {u"0x80000000", false, 0}, {u"99999999999999999999", false, 0},
      {u"12a", false, 0},        {u"1 ", false, 0},
      {u"1.0", false, 0},        {u"", false, 0},
      {u"-", false, 0},          {u"0x", false, 0},
      {u"\t1", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    int32_t v = -99;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(TextTest, NumbersAndCase) {
  EXPECT_EQ(IntToStr(INT64_MIN), u"-9223372036854775808");
  EXPECT_EQ(IntToStr(0), u"0");
  EXPECT_EQ(UIntToStr(4294967295u), u"4294967295");
  EXPECT_EQ(LowerCase(u"AbC\u00c9"), u"abc\u00c9");
  EXPECT_TRUE(SameText(u"HexLog", u"HEXLOG"));
  EXPECT_FALSE(SameText(u"HexLog", u"HexLo"));
  EXPECT_EQ(FormatS(u"'%s' is %s", u"%s"), u"'%s' is %s");
}

TEST(CurrencyTest, ParseTable) {
  struct Case {
    const char16_t* text;
    bool ok;
    int64_t scaled;
  } cases[] = {
      {u"12.50", true, 125000},
      {u"-3", true, -30000},
      {u"1e2", true, 1000000},
      {u"  +1.5E-1  ", true, 1500},
      {u".5", true, 5000},
      {u"5.", true, 50000},
      {u"1.23456", true, 12346},
      {u"1.23455", true, 12346},  // half to even
      {u"1.23465", true, 12346},
      {u"0.00005", true, 0},
      {u"0.000051", true, 1},
      {u"1e-9", true, 0},
      {u"922337203685477.5807", true, INT64_MAX},
      {u"-922337203685477.5808", true, INT64_MIN},
      {u"922337203685477.5808", false, 0},
      {u"1e15", false, 0},
      {u"1e999999999999", false, 0},
      {u"0e999999999999", true, 0},
      {u"12,50", false, 0},
      {u"1,000.00", false, 0},
      {u"1.2.3", false, 0},
      {u"abc", false, 0},
      {u".", false, 0},
      {u"1e", false, 0},
      {u"--1", false, 0},
      {u"", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    Currency v;
    EXPECT_EQ(TryStrToCurrency(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v.Scaled(), c.scaled);
    }
  }
}

TEST(CurrencyTest, FormatAndCents) {
  struct Case {
    int64_t scaled;
    const char16_t* text;
    int64_t cents;
  } cases[] = {
      {125000, u"12.5", 1250},   {100000, u"10", 1000},   {0, u"0", 0},
      {500, u"0.05", 5},         {-32500, u"-3.25", -325}, {12345000, u"1234.5", 123450},
      {123450, u"12.345", 1234}, {-190, u"-0.019", -1},    {90, u"0.009", 0},
      {INT64_MIN, u"-922337203685477.5808", INT64_MIN / 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(CurrencyToString(Currency::FromScaled(c.scaled)), c.text);
    EXPECT_EQ(CurrencyToCents(Currency::FromScaled(c.scaled)), c.cents);
  }
}

TEST(DateTimeTest, EncodeDecodeBothSidesOfEpoch) {
  struct Case {
    DateTimeParts parts;
    double value;
  } cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
      {{1899, 12, 31, 12, 0, 0, 0}, 1.5},
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},
      {{1800, 1, 1, 0, 0, 0, 0}, -36522.0},
      {{2024, 2, 29, 23, 59, 59, 0}, 45351.0 + 86399.0 / 86400.0},
      {{1, 1, 1, 0, 0, 0, 0}, -693593.0},
      {{9999, 12, 31, 0, 0, 0, 0}, 2958465.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    TDateTime v;
    ASSERT_TRUE(TryEncodeDateTime(c.parts, v));
    EXPECT_DOUBLE_EQ(v, c.value);
    const DateTimeParts back = DecodeDateTime(v);
    EXPECT_EQ(back.fYear, c.parts.fYear);
    EXPECT_EQ(back.fMonth, c.parts.fMonth);
    EXPECT_EQ(back.fDay, c.parts.fDay);
    EXPECT_EQ(back.fHour, c.parts.fHour);
    EXPECT_EQ(back.fMinute, c.parts.fMinute);
    EXPECT_EQ(back.fSecond, c.parts.fSecond);
  }
  TDateTime v;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, v));
  EXPECT_FALSE(TryEncodeDate(2024, 13, 1, v));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, v));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, v));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, v));
}

TEST(DateTimeTest, IsoFormat) {
  TDateTime v;
  ASSERT_TRUE(TryEncodeDateTime({2024, 3, 5, 14, 7, 9, 123}, v));
  EXPECT_EQ(FormatIsoDateTime(v), u"2024-03-05T14:07:09.123Z");
  EXPECT_EQ(FormatIsoDateTime(0), u"1899-12-30T00:00:00.000Z");
  EXPECT_EQ(FormatIsoDateTime(-1.25), u"1899-12-29T06:00:00.000Z");
}

TEST(ErrorTest, CarriesUtf16Message) {
  try {
    throw qError(u"caf\u00e9");
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "caf\xC3\xA9");
  }
}

}  // namespace
}  // namespace qv
