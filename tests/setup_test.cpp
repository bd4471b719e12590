#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/setup.h"
#include "base/user_message.h"
#include "core/error.h"
#include "core/text.h"
#include "platform/registry.h"
#include "registry_test_support.h"
#include "test_support.h"

namespace qv {
namespace {

TEST(SetupTest, NamesAreFoundWithoutRegardToCaseAndKeepTheirFirstSpelling) {
  tQV_Setup setup;
  setup.SetValue(u"Port", tQV_Value(std::u16string(u"COM3")));
  EXPECT_EQ(setup.GetValue(u"PORT"), tQV_Value(std::u16string(u"COM3")));

  setup.SetValue(u"PORT", tQV_Value(int64_t{4}));
  setup.SetValue(u"Speed", tQV_Value(9600.5));
  ASSERT_EQ(setup.List().size(), 2u);
  EXPECT_EQ(setup.List()[0].Name(), u"Port");
  EXPECT_EQ(setup.List()[0].Value(), tQV_Value(int64_t{4}));
  EXPECT_EQ(setup.List()[1].Name(), u"Speed");
}

TEST(SetupTest, DefineAndUnknownNamesGiveTheEmptyValue) {
  tQV_Setup setup;
  EXPECT_TRUE(std::holds_alternative<std::monostate>(setup.GetValue(u"Never")));
  EXPECT_TRUE(setup.List().empty());

  setup.SetValue(u"Flag", tQV_Value(true));
  setup.Define(u"FLAG");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(setup.GetValue(u"flag")));
  ASSERT_EQ(setup.List().size(), 1u);
  EXPECT_EQ(setup.List()[0].Name(), u"Flag");

  setup.Define(u"New");
  ASSERT_EQ(setup.List().size(), 2u);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(setup.List()[1].Value()));
}

TEST(SetupTest, GetValueAnswersACopy) {
  tQV_Setup setup;
  setup.SetValue(u"Name", tQV_Value(std::u16string(u"before")));
  tQV_Value copy = setup.GetValue(u"Name");
  std::get<std::u16string>(copy) = u"changed";
  EXPECT_EQ(setup.GetValue(u"Name"), tQV_Value(std::u16string(u"before")));
}

// The registry operations, with the reports that reach the user collected.
class SetupRegistryTest : public ::testing::Test {
 protected:
  static constexpr const char16_t* kName = u"QvTest_Setup\\Counter";

  void SetUp() override {
    ResetTestRegistry(u"Software\\Quorvel\\QvTest_Setup");
    fPrevious = SetUserMessageSinkForTests(
        [this](tQV_MessageType aType, const std::u16string& aMessage) { fMessages.emplace_back(aType, aMessage); });
  }
  void TearDown() override { SetUserMessageSinkForTests(std::move(fPrevious)); }

  std::vector<std::pair<tQV_MessageType, std::u16string>> fMessages;
  tQV_UserMessageSink fPrevious;
};

TEST_F(SetupRegistryTest, ReadOfAMissingKeyIsEmptyAndCreatesNothing) {
  EXPECT_EQ(ReadRegistryString(kName, u"STD-0001234-00012-003", rk_CurrentUser), u"");
  EXPECT_EQ(OpenRegistryKeyForRead(rk_CurrentUser, u"Software\\Quorvel\\QvTest_Setup").fStatus,
            tQV_RegistryOpenStatus::ros_NotFound);
  EXPECT_TRUE(fMessages.empty());
}

TEST_F(SetupRegistryTest, WriteCreatesTheKeyUnderTheMakersKey) {
  EXPECT_TRUE(WriteRegistryString(kName, u"STD-0000007-00008-009", u"7", rk_CurrentUser));
  EXPECT_EQ(ReadRegistryString(kName, u"STD-0000007-00008-009", rk_CurrentUser), u"7");
  EXPECT_EQ(ReadRegistryString(kName, u"STD-0000001-00001-001", rk_CurrentUser), u"");
  EXPECT_TRUE(WriteRegistryString(kName, u"STD-0000007-00008-009", u"8", rk_CurrentUser));

  tQV_RegistryOpenResult opened = OpenRegistryKeyForRead(rk_CurrentUser, u"Software\\Quorvel\\QvTest_Setup\\Counter");
  ASSERT_TRUE(opened.fKey);
  EXPECT_EQ(opened.fKey->ReadString(u"STD-0000007-00008-009"), u"8");
  EXPECT_TRUE(fMessages.empty());
}

TEST_F(SetupRegistryTest, NonStringValueIsAnError) {
  PutTestRegistryNumber(rk_CurrentUser, u"Software\\Quorvel\\QvTest_Setup\\Counter", u"Number", 1);
  EXPECT_QV_ERROR(ReadRegistryString(kName, u"Number", rk_CurrentUser), u"Invalid data type for 'Number'");
}

TEST_F(SetupRegistryTest, KeyThatCannotBeCreatedIsReportedAndAnsweredTrue) {
  EXPECT_TRUE(WriteRegistryString(kName, u"Value", u"1", kInvalidTestRoot));
  ASSERT_EQ(fMessages.size(), 1u);
  EXPECT_EQ(fMessages[0].first, let_error);
  EXPECT_EQ(ToUtf8(fMessages[0].second), "Unable to save into registry Software\\Quorvel\\QvTest_Setup\\Counter");
  // Nothing was written anywhere, and reading the same root is quiet.
  EXPECT_EQ(ReadRegistryString(kName, u"Value", kInvalidTestRoot), u"");
  EXPECT_EQ(ReadRegistryString(kName, u"Value", rk_CurrentUser), u"");
  EXPECT_EQ(fMessages.size(), 1u);
}

}  // namespace
}  // namespace qv
