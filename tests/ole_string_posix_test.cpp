// The string allocator that the posix library exports to its hosts.
#include <gtest/gtest.h>

#include <cstdint>

extern "C" {
char16_t* SysAllocStringLen(const char16_t* aText, unsigned int aLength);
char16_t* SysAllocString(const char16_t* aText);
void SysFreeString(char16_t* aString);
unsigned int SysStringLen(char16_t* aString);
}

namespace {

TEST(OleStringPosixTest, ExportedAllocator) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);

  char16_t* s = SysAllocString(u"abc");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 3u);
  EXPECT_EQ(std::u16string(s), u"abc");
  SysFreeString(s);

  // Lengths whose byte count does not fit the 32-bit prefix are refused
  // instead of wrapping around to a short block.
  EXPECT_EQ(SysAllocStringLen(u"x", 0x80000000u), nullptr);
  EXPECT_EQ(SysAllocStringLen(nullptr, UINT32_MAX), nullptr);
}

}  // namespace
