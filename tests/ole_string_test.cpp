// The library's side of the OLE string service: the layout hosts rely on and
// the conversions at the exported functions.
#include <gtest/gtest.h>

#include <cstring>

#include "core/text.h"
#include "platform/ole_string.h"

namespace qv {
namespace {

TEST(OleStringTest, LayoutHasByteLengthPrefixAndTerminator) {
  const std::u16string text(u"a\0b\u00e9", 4);
  OleStr s = StringToOle(text);
  ASSERT_NE(s, nullptr);
  uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(s) - 4, 4);
  EXPECT_EQ(prefix, 8u);
  EXPECT_EQ(OleStringLength(s), 4u);
  EXPECT_EQ(s[4], 0);
  // The copy goes by the prefix: the embedded NUL and what follows survive.
  EXPECT_EQ(OleToString(s), text);
  OleFreeString(s);
}

TEST(OleStringTest, EmptyAndNull) {
  EXPECT_EQ(StringToOle(u""), nullptr);
  EXPECT_EQ(OleToString(nullptr), u"");
  EXPECT_EQ(OleStringLength(nullptr), 0u);
  OleFreeString(nullptr);
  // A host may pass a non-null empty string; it reads as the empty text.
  OleStr empty = OleAllocString(u"", 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(OleStringLength(empty), 0u);
  EXPECT_EQ(empty[0], 0);
  EXPECT_EQ(OleToString(empty), u"");
  OleFreeString(empty);
}

TEST(OleStringTest, AllocWithoutSourceIsZeroFilled) {
  OleStr s = OleAllocString(nullptr, 3);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(OleToString(s), std::u16string(3, u'\0'));
  OleFreeString(s);
}

}  // namespace
}  // namespace qv
