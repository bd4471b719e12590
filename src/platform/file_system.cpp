// The path helpers shared by both builds; the operating-system work is in
// posix/file_system_posix.cpp and win32/file_system_win32.cpp.
#include "platform/file_system.h"

#include "core/error.h"

namespace qv {

void CheckPathChars(std::u16string_view aPath) {
  for (const char16_t c : aPath)
    if (!IsValidPathChar(c)) throw qError(u"Invalid characters in path");
}

std::u16string JoinPath(std::u16string_view aDirectory, std::u16string_view aName) {
  std::u16string path(aDirectory);
  if (!path.empty() && !IsPathDelimiter(path.back())) path += PathDelimiter();
  path += aName;
  return path;
}

std::u16string ExtractFileName(std::u16string_view aPath) {
  size_t start = aPath.size();
  while (start > 0 && !IsPathDelimiter(aPath[start - 1]) &&
         !(aPath[start - 1] == u':' && PathDelimiter() == u'\\'))
    --start;
  return std::u16string(aPath.substr(start));
}

bool ForceDirectories(const std::u16string& aPath) {
  if (aPath.empty()) return false;
  if (DirectoryExists(aPath)) return true;
  // Strip trailing separators, then make the parent first.
  size_t end = aPath.size();
  while (end > 1 && IsPathDelimiter(aPath[end - 1])) --end;
  size_t cut = end;
  while (cut > 0 && !IsPathDelimiter(aPath[cut - 1])) --cut;
  if (cut > 1) {
    std::u16string parent = aPath.substr(0, cut - 1);
    // "C:" and the root need no making; a failure below them shows up when
    // the child cannot be made.
    if (!parent.empty() && parent.back() != u':') ForceDirectories(parent);
  }
  const std::u16string self = aPath.substr(0, end);
  return MakeDirectory(self) || DirectoryExists(self);
}

bool AppendToFile(const std::u16string& aPath, std::string_view aBytes) {
  std::unique_ptr<qAppendFile> file = qAppendFile::Open(aPath);
  return file && file->Append(aBytes);
}

}  // namespace qv
