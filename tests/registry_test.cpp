// The registry service against the real registry (win32, under Wine) and the
// file store (posix).
#include <gtest/gtest.h>

#include <string>

#include "core/error.h"
#include "core/text.h"
#include "platform/registry.h"
#include "registry_test_support.h"
#include "test_support.h"

namespace qv {
namespace {

const std::u16string kBase = u"Software\\Quorvel\\QvTest_Registry";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetTestRegistry(kBase); }

  static void Write(const std::u16string& aPath, const std::u16string& aName, const std::u16string& aValue) {
    tQV_RegistryOpenResult opened = CreateRegistryKeyForWrite(rk_CurrentUser, aPath);
    ASSERT_EQ(opened.fStatus, tQV_RegistryOpenStatus::ros_Ok);
    ASSERT_TRUE(opened.fKey);
    opened.fKey->WriteString(aName, aValue);
  }

  static std::u16string Read(const std::u16string& aPath, const std::u16string& aName) {
    tQV_RegistryOpenResult opened = OpenRegistryKeyForRead(rk_CurrentUser, aPath);
    EXPECT_EQ(opened.fStatus, tQV_RegistryOpenStatus::ros_Ok);
    return opened.fKey ? opened.fKey->ReadString(aName) : u"<not opened>";
  }
};

TEST_F(RegistryTest, MissingKeyIsNotFoundAndStaysMissing) {
  for (const std::u16string& path : {kBase + u"\\Missing", kBase + u"\\Missing\\Deeper"}) {
    SCOPED_TRACE(ToUtf8(path));
    const tQV_RegistryOpenResult opened = OpenRegistryKeyForRead(rk_CurrentUser, path);
    EXPECT_EQ(opened.fStatus, tQV_RegistryOpenStatus::ros_NotFound);
    EXPECT_FALSE(opened.fKey);
  }
  // Looking did not create anything on the way.
  EXPECT_EQ(OpenRegistryKeyForRead(rk_CurrentUser, kBase).fStatus, tQV_RegistryOpenStatus::ros_NotFound);
}

TEST_F(RegistryTest, CreateMakesKeyAndParentsBeforeAnyValue) {
  const std::u16string path = kBase + u"\\A\\B\\C";
  ASSERT_EQ(CreateRegistryKeyForWrite(rk_CurrentUser, path).fStatus, tQV_RegistryOpenStatus::ros_Ok);
  for (const std::u16string& existing : {kBase + u"\\A", kBase + u"\\A\\B", path}) {
    SCOPED_TRACE(ToUtf8(existing));
    tQV_RegistryOpenResult opened = OpenRegistryKeyForRead(rk_CurrentUser, existing);
    ASSERT_EQ(opened.fStatus, tQV_RegistryOpenStatus::ros_Ok);
    EXPECT_EQ(opened.fKey->ReadString(u"Anything"), u"");
  }
}

TEST_F(RegistryTest, OddTextRoundTrips) {
  const std::u16string lone(1, char16_t(0xD800));
  struct Case {
    const char* label;
    std::u16string name;
    std::u16string value;
  } cases[] = {
      {"empty value", u"Empty", u""},
      {"plain", u"Plain", u"12345"},
      {"equals signs", u"a=b", u"x=y==z="},
      {"line breaks", u"Lines", u"one\r\ntwo\nthree\r"},
      {"backslashes", u"Back\\slash", u"C:\\dir\\\\file\\"},
      {"escape look-alikes", u"Looks", u"\\n\\r\\u0041\\= %2F"},
      {"tab and controls", u"Ctl", u"a\tb\x01" u"c\x7f"},
      {"non-ASCII", u"\u00dcn\u00efc\u00f8de", u"\u00e9\u20ac\u4e2d\U0001F600"},
      {"lone surrogate", u"Lone" + lone, u"x" + lone + u"y"},
      {"long", u"Long", std::u16string(5000, u'q')},
  };
  for (const Case& c : cases) Write(kBase + u"\\Odd", c.name, c.value);
  // Every value is still there after all the others were written.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Read(kBase + u"\\Odd", c.name), c.value);
  }
}

TEST_F(RegistryTest, NamesAreFoundWithoutRegardToCase) {
  Write(kBase + u"\\CaseKey", u"Counter", u"1");
  Write(kBase + u"\\CASEKEY", u"COUNTER", u"2");
  EXPECT_EQ(Read(kBase + u"\\casekey", u"counter"), u"2");
  EXPECT_EQ(Read(kBase + u"\\CaseKey", u"Missing"), u"");
}

TEST_F(RegistryTest, KeyNamesWithSpecialCharactersStayApart) {
  // Names that a file store could confuse with each other or with its own
  // files: each must remain a key of its own.
  const std::u16string names[] = {u"Sub", u"Sub.reg", u".hidden", u"a/b", u"a%2Fb", u"50%", u"x.y"};
  for (const std::u16string& name : names) Write(kBase + u"\\" + name, u"Name", name);
  Write(kBase + u"\\Sub.reg\\Child", u"Name", u"child");
  for (const std::u16string& name : names) {
    SCOPED_TRACE(ToUtf8(name));
    EXPECT_EQ(Read(kBase + u"\\" + name, u"Name"), name);
  }
  EXPECT_EQ(Read(kBase + u"\\Sub.reg\\Child", u"Name"), u"child");
}

TEST_F(RegistryTest, NonStringValueIsATypeError) {
  const std::u16string path = kBase + u"\\Typed";
  PutTestRegistryNumber(rk_CurrentUser, path, u"Number", 42);
  tQV_RegistryOpenResult opened = OpenRegistryKeyForRead(rk_CurrentUser, path);
  ASSERT_TRUE(opened.fKey);
  EXPECT_QV_ERROR(opened.fKey->ReadString(u"Number"), u"Invalid data type for 'Number'");
  EXPECT_QV_ERROR(opened.fKey->ReadString(u"NUMBER"), u"Invalid data type for 'NUMBER'");

  // Writing a string over it replaces the number.
  Write(path, u"Number", u"now text");
  EXPECT_EQ(Read(path, u"Number"), u"now text");
}

TEST_F(RegistryTest, InvalidRootCannotBeOpenedOrCreated) {
  EXPECT_EQ(CreateRegistryKeyForWrite(kInvalidTestRoot, kBase).fStatus, tQV_RegistryOpenStatus::ros_Failed);
  const tQV_RegistryOpenResult read = OpenRegistryKeyForRead(kInvalidTestRoot, kBase);
  EXPECT_NE(read.fStatus, tQV_RegistryOpenStatus::ros_Ok);
  EXPECT_FALSE(read.fKey);
}

}  // namespace
}  // namespace qv
