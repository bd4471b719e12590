// File-system services on posix. Paths go to the system as UTF-8.
//
// Windows refuses a second writer of a file opened with FILE_SHARE_READ. Here
// an exclusive flock on the open file stands in for that sharing mode: every
// writer that goes through qAppendFile takes it without waiting, so a second
// one fails to open and retries, as it would on Windows. Readers take no lock
// and are never refused.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/text.h"
#include "platform/file_system.h"

namespace qv {

char16_t PathDelimiter() { return u'/'; }

bool IsPathDelimiter(char16_t aChar) { return aChar == u'/'; }

bool IsValidPathChar(char16_t aChar) { return aChar != 0; }

bool DirectoryExists(const std::u16string& aPath) {
  struct stat st;
  return stat(ToUtf8(aPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const std::u16string& aPath) {
  return mkdir(ToUtf8(aPath).c_str(), 0777) == 0;
}

bool FileExists(const std::u16string& aPath) {
  struct stat st;
  return stat(ToUtf8(aPath).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

int64_t FileSize(const std::u16string& aPath) {
  struct stat st;
  if (stat(ToUtf8(aPath).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool RenameFile(const std::u16string& aFrom, const std::u16string& aTo) {
  const std::string from = ToUtf8(aFrom);
  const std::string to = ToUtf8(aTo);
  // rename() would silently replace an existing target; refuse that instead,
  // as MoveFileW does.
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without RENAME_NOREPLACE: a hard link fails on an existing
  // target just the same.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  return unlink(from.c_str()) == 0;
}

std::unique_ptr<qAppendFile> qAppendFile::Open(const std::u16string& aPath) {
  const int fd = open(ToUtf8(aPath).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<qAppendFile>(new qAppendFile(fd));
}

qAppendFile::~qAppendFile() { close(static_cast<int>(fHandle)); }

bool qAppendFile::Append(std::string_view aBytes) {
  const int fd = static_cast<int>(fHandle);
  while (!aBytes.empty()) {
    const ssize_t n = write(fd, aBytes.data(), aBytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    aBytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace qv
