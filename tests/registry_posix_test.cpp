// The file store behind the registry on posix: its file format, what it does
// with files it cannot read, crashes and concurrent writers.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/setup.h"
#include "base/user_message.h"
#include "core/error.h"
#include "core/text.h"
#include "platform/posix/registry_posix.h"
#include "platform/registry.h"
#include "registry_test_support.h"
#include "test_support.h"

namespace qv {
namespace {

const std::u16string kKeyPath = u"Software\\Quorvel\\QvTest_Posix";

std::string Store() { return std::getenv("QV_REGISTRY_DIR"); }
std::string KeyFolder() { return Store() + "/HKEY_CURRENT_USER/Software/Quorvel"; }
std::string KeyFile() { return KeyFolder() + "/QvTest_Posix.reg"; }

std::string ReadFile(const std::string& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& aPath, const std::string& aData) {
  std::ofstream out(aPath, std::ios::binary | std::ios::trunc);
  out << aData;
}

bool Exists(const std::string& aPath) {
  struct stat st;
  return ::lstat(aPath.c_str(), &st) == 0;
}

void WriteValue(const std::u16string& aName, const std::u16string& aValue) {
  tQV_RegistryOpenResult opened = CreateRegistryKeyForWrite(rk_CurrentUser, kKeyPath);
  ASSERT_TRUE(opened.fKey);
  opened.fKey->WriteString(aName, aValue);
}

std::u16string ReadValue(const std::u16string& aName) {
  tQV_RegistryOpenResult opened = OpenRegistryKeyForRead(rk_CurrentUser, kKeyPath);
  return opened.fKey ? opened.fKey->ReadString(aName) : u"<not opened>";
}

// Waits for a child and answers its exit code, or 128 + the signal.
int WaitChild(pid_t aPid) {
  int status = 0;
  if (::waitpid(aPid, &status, 0) != aPid) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

class RegistryPosixTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetTestRegistry(kKeyPath); }
  void TearDown() override { SetRegistryCommitHookForTests(nullptr); }
};

TEST_F(RegistryPosixTest, KeyFileLayoutAndFormat) {
  WriteValue(u"Plain", u"1");
  WriteValue(u"a=b\\c", u"x=y\r\n\\z\t\u00e9" + std::u16string(1, char16_t(0xDC00)));
  WriteValue(u"PLAIN", u"2");  // replaces "Plain", whose spelling stays
  EXPECT_EQ(ReadFile(KeyFile()),
            "qvpa-registry 1\n"
            "sz Plain=2\n"
            "sz a\\=b\\\\c=x=y\\r\\n\\\\z\\u0009\xC3\xA9\\uDC00\n");
  // Our own files sit beside the key file under names no key can take.
  EXPECT_TRUE(Exists(KeyFolder() + "/.qvtest_posix.reg.lock"));
  EXPECT_FALSE(Exists(KeyFolder() + "/.qvtest_posix.reg.tmp"));
}

TEST_F(RegistryPosixTest, StoreFolderDefaultsToTheUsersConfigFolder) {
  const std::string store = Store();
  const char* oldHome = std::getenv("HOME");
  const std::string home = oldHome ? oldHome : "";
  ::unsetenv("QV_REGISTRY_DIR");
  ::setenv("XDG_CONFIG_HOME", (store + "/xdg").c_str(), 1);
  WriteValue(u"Where", u"xdg");
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", (store + "/home").c_str(), 1);
  WriteValue(u"Where", u"home");
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("QV_REGISTRY_DIR", store.c_str(), 1);
  const std::string tail = "/HKEY_CURRENT_USER/Software/Quorvel/QvTest_Posix.reg";
  EXPECT_NE(ReadFile(store + "/xdg/qvpa-registry" + tail).find("sz Where=xdg\n"), std::string::npos);
  EXPECT_NE(ReadFile(store + "/home/.config/qvpa-registry" + tail).find("sz Where=home\n"), std::string::npos);
}

TEST_F(RegistryPosixTest, KeyNamesNeverLeaveTheStore) {
  for (const char16_t* name : {u"..", u".", u"../..", u"..\\.."}) {
    SCOPED_TRACE(ToUtf8(name));
    tQV_RegistryOpenResult opened = CreateRegistryKeyForWrite(rk_CurrentUser, u"Software\\" + std::u16string(name));
    ASSERT_TRUE(opened.fKey);
    opened.fKey->WriteString(u"Name", name);
  }
  EXPECT_FALSE(Exists(Store() + "/HKEY_CURRENT_USER/...reg"));
  EXPECT_FALSE(Exists(Store() + "/HKEY_CURRENT_USER.reg"));
  EXPECT_TRUE(Exists(Store() + "/HKEY_CURRENT_USER/Software/%002E..reg"));
  EXPECT_TRUE(Exists(Store() + "/HKEY_CURRENT_USER/Software/%002E.reg"));
  EXPECT_TRUE(Exists(Store() + "/HKEY_CURRENT_USER/Software/%002E.%002F...reg"));
  EXPECT_TRUE(Exists(Store() + "/HKEY_CURRENT_USER/Software/%002E./%002E..reg"));
  // An empty key name inside the path is refused, a trailing "\" ignored.
  EXPECT_EQ(CreateRegistryKeyForWrite(rk_CurrentUser, u"Software\\\\X").fStatus, tQV_RegistryOpenStatus::ros_Failed);
  EXPECT_EQ(CreateRegistryKeyForWrite(rk_CurrentUser, u"\\Software").fStatus, tQV_RegistryOpenStatus::ros_Failed);
  EXPECT_EQ(CreateRegistryKeyForWrite(rk_CurrentUser, u"").fStatus, tQV_RegistryOpenStatus::ros_Failed);
  ASSERT_EQ(CreateRegistryKeyForWrite(rk_CurrentUser, u"Software\\Trailing\\").fStatus,
            tQV_RegistryOpenStatus::ros_Ok);
  EXPECT_TRUE(Exists(Store() + "/HKEY_CURRENT_USER/Software/Trailing.reg"));
}

TEST_F(RegistryPosixTest, FileThatCannotBeParsedIsNeitherReadNorOverwritten) {
  struct Case {
    const char* label;
    std::string content;
  } cases[] = {
      {"other header", "qvpa-registry 2\nsz A=1\n"},
      {"no header", "sz A=1\n"},
      {"no final line feed", "qvpa-registry 1\nsz A=1"},
      {"no type", "qvpa-registry 1\nA=1\n"},
      {"no equals sign", "qvpa-registry 1\nsz A\n"},
      {"unknown escape", "qvpa-registry 1\nsz A=\\q\n"},
      {"short code unit", "qvpa-registry 1\nsz A=\\u12\n"},
      {"escape at the end", "qvpa-registry 1\nsz A=\\\n"},
      {"raw carriage return", "qvpa-registry 1\nsz A=1\r\n"},
      {"invalid UTF-8", "qvpa-registry 1\nsz A=\xC3\x28\n"},
      {"same name twice", "qvpa-registry 1\nsz A=1\nsz a=2\n"},
      {"upper-case type", "qvpa-registry 1\nSZ A=1\n"},
  };
  std::vector<std::u16string> messages;
  const tQV_UserMessageSink previous = SetUserMessageSinkForTests(
      [&](tQV_MessageType, const std::u16string& aMessage) { messages.push_back(aMessage); });
  ASSERT_EQ(::mkdir((Store() + "/HKEY_CURRENT_USER").c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((Store() + "/HKEY_CURRENT_USER/Software").c_str(), 0700), 0);
  ASSERT_EQ(::mkdir(KeyFolder().c_str(), 0700), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    WriteFile(KeyFile(), c.content);
    EXPECT_EQ(OpenRegistryKeyForRead(rk_CurrentUser, kKeyPath).fStatus, tQV_RegistryOpenStatus::ros_Failed);
    EXPECT_EQ(CreateRegistryKeyForWrite(rk_CurrentUser, kKeyPath).fStatus, tQV_RegistryOpenStatus::ros_Failed);
    EXPECT_EQ(ReadRegistryString(u"QvTest_Posix", u"A", rk_CurrentUser), u"");
    messages.clear();
    EXPECT_TRUE(WriteRegistryString(u"QvTest_Posix", u"A", u"3", rk_CurrentUser));
    EXPECT_EQ(messages, std::vector<std::u16string>{u"Unable to save into registry Software\\Quorvel\\QvTest_Posix"});
    EXPECT_EQ(ReadFile(KeyFile()), c.content);
  }
  SetUserMessageSinkForTests(previous);
}

TEST_F(RegistryPosixTest, HandWrittenFileIsReadAndItsOtherValuesKept) {
  ASSERT_TRUE(CreateRegistryKeyForWrite(rk_CurrentUser, kKeyPath).fKey);
  WriteFile(KeyFile(), "");  // an empty file is a key without values
  EXPECT_EQ(ReadValue(u"A"), u"");
  WriteFile(KeyFile(),
            "qvpa-registry 1\n"
            "dword Count=42\n"
            "expand_sz Path=%HOME%\\\\x\ttab\n"
            "binary Blob=\\u0000\\u00FF\n");
  EXPECT_EQ(ReadValue(u"path"), u"%HOME%\\x\ttab");
  WriteValue(u"New", u"1");
  EXPECT_EQ(ReadFile(KeyFile()),
            "qvpa-registry 1\n"
            "dword Count=42\n"
            "expand_sz Path=%HOME%\\\\x\\u0009tab\n"
            "binary Blob=\\u0000\xC3\xBF\n"
            "sz New=1\n");
  EXPECT_QV_ERROR(ReadValue(u"Blob"), u"Invalid data type for 'Blob'");
}

TEST_F(RegistryPosixTest, KeyThatCannotBeCreatedIsReportedEvenForRoot) {
  // A regular file where a key folder should be stops the creation whatever
  // the permissions; the tests may run as root.
  ASSERT_EQ(::mkdir((Store() + "/HKEY_CURRENT_USER").c_str(), 0700), 0);
  WriteFile(Store() + "/HKEY_CURRENT_USER/Software", "not a folder");
  EXPECT_EQ(CreateRegistryKeyForWrite(rk_CurrentUser, kKeyPath).fStatus, tQV_RegistryOpenStatus::ros_Failed);
  EXPECT_EQ(OpenRegistryKeyForRead(rk_CurrentUser, kKeyPath).fStatus, tQV_RegistryOpenStatus::ros_NotFound);

  std::vector<std::pair<tQV_MessageType, std::u16string>> messages;
  const tQV_UserMessageSink previous = SetUserMessageSinkForTests(
      [&](tQV_MessageType aType, const std::u16string& aMessage) { messages.emplace_back(aType, aMessage); });
  EXPECT_TRUE(WriteRegistryString(u"ZELQ_Counter", u"STD-0001234-00012-003", u"1", rk_CurrentUser));
  SetUserMessageSinkForTests(previous);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, let_error);
  EXPECT_EQ(messages[0].second, u"Unable to save into registry Software\\Quorvel\\ZELQ_Counter");
  EXPECT_EQ(ReadFile(Store() + "/HKEY_CURRENT_USER/Software"), "not a folder");
}

TEST_F(RegistryPosixTest, CrashBeforeTheRenameKeepsTheOldValue) {
  WriteValue(u"Counter", u"41");
  WriteValue(u"Other", u"kept");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SetRegistryCommitHookForTests([] { ::raise(SIGKILL); });
    tQV_RegistryOpenResult opened = CreateRegistryKeyForWrite(rk_CurrentUser, kKeyPath);
    if (opened.fKey) opened.fKey->WriteString(u"Counter", u"42");
    ::_exit(1);  // only reached when the hook was never called
  }
  ASSERT_EQ(WaitChild(child), 128 + SIGKILL);
  // The new version was complete beside the key file when the process died.
  EXPECT_NE(ReadFile(KeyFolder() + "/.qvtest_posix.reg.tmp").find("sz Counter=42\n"), std::string::npos);
  EXPECT_EQ(ReadValue(u"Counter"), u"41");
  EXPECT_EQ(ReadValue(u"Other"), u"kept");
  // The dead process's lock went with it: the next writer goes on.
  WriteValue(u"Counter", u"42");
  EXPECT_EQ(ReadValue(u"Counter"), u"42");
  EXPECT_EQ(ReadValue(u"Other"), u"kept");
}

TEST_F(RegistryPosixTest, ConcurrentWritersLoseNothing) {
  // Two processes, each writing its own value through separate opens (the
  // way WriteRegistryString does) and incrementing a shared value while it
  // holds the key open. A lost update shows in either count.
  constexpr int kRounds = 100;
  pid_t children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = ::fork();
    ASSERT_GE(children[i], 0);
    if (children[i] == 0) {
      int code = 0;
      try {
        const std::u16string own = u"Child" + IntToStr(i);
        for (int round = 1; round <= kRounds && code == 0; ++round) {
          WriteRegistryString(u"QvTest_Posix", own, IntToStr(round), rk_CurrentUser);
          tQV_RegistryOpenResult opened = CreateRegistryKeyForWrite(rk_CurrentUser, kKeyPath);
          if (!opened.fKey) {
            code = 2;
            break;
          }
          const int32_t shared = StrToIntDef(opened.fKey->ReadString(u"Shared"), 0);
          opened.fKey->WriteString(u"Shared", IntToStr(shared + 1));
        }
      } catch (...) {
        code = 3;
      }
      ::_exit(code);
    }
  }
  for (pid_t child : children) EXPECT_EQ(WaitChild(child), 0);
  EXPECT_EQ(ReadValue(u"Child0"), IntToStr(kRounds));
  EXPECT_EQ(ReadValue(u"Child1"), IntToStr(kRounds));
  EXPECT_EQ(ReadValue(u"Shared"), IntToStr(2 * kRounds));
}

}  // namespace
}  // namespace qv
