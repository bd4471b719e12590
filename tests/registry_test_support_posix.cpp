#include <fcntl.h>
#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "core/text.h"
#include "platform/registry.h"
#include "registry_test_support.h"

namespace qv {

namespace {

std::string& CurrentStore() {
  static std::string store;
  return store;
}

int RemoveEntry(const char* aPath, const struct stat*, int, FTW*) { return ::remove(aPath); }

void RemoveStore() {
  if (!CurrentStore().empty()) ::nftw(CurrentStore().c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  CurrentStore().clear();
}

}  // namespace

void ResetTestRegistry(const std::u16string&) {
  // The store's name must outlive the clean-up at exit, so it is made first.
  static const bool cleanUpAtExit = (CurrentStore(), std::atexit(RemoveStore), true);
  (void)cleanUpAtExit;
  RemoveStore();
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qv-registry-test-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  CurrentStore() = pattern;
  ASSERT_EQ(::setenv("QV_REGISTRY_DIR", pattern.c_str(), 1), 0);
}

void PutTestRegistryNumber(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath, const std::u16string& aValueName,
                           uint32_t aValue) {
  // Let the store create the key and its file, then add the line by hand the
  // way someone editing the file would.
  ASSERT_TRUE(CreateRegistryKeyForWrite(aRoot, aKeyPath).fKey);
  ASSERT_EQ(aRoot, rk_CurrentUser);
  std::string path = CurrentStore() + "/HKEY_CURRENT_USER";
  std::u16string rest = aKeyPath;
  for (size_t slash; (slash = rest.find(u'\\')) != std::u16string::npos; rest.erase(0, slash + 1))
    path += "/" + ToUtf8(rest.substr(0, slash));
  path += "/" + ToUtf8(rest) + ".reg";
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0) << path;
  const std::string line = "dword " + ToUtf8(aValueName) + "=" + std::to_string(aValue) + "\n";
  ASSERT_EQ(::write(fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
  ::close(fd);
}

}  // namespace qv
