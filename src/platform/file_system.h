// File-system services: directories, existence and size of files, renaming,
// and appending to a file that other programs may read but not write while
// we hold it. Paths are UTF-16 text as everywhere in the library; each
// platform converts them at its own edge.
//
// Thread: every function may be called from any thread; none keeps state.
// Throws: only CheckPathChars (qError). The other operations answer false or
// -1 on failure, because their callers (the log thread above all) retry or
// give up silently and must never unwind.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qv {

// The platform's own path separator: "\" on win32, "/" on posix.
char16_t PathDelimiter();
// True for every character the platform takes as a separator ("\" and "/"
// on win32, "/" on posix).
bool IsPathDelimiter(char16_t aChar);
// False for a character no path may contain on this platform (NUL on posix;
// control characters and " * < > ? | on win32).
bool IsValidPathChar(char16_t aChar);

// Fails with "Invalid characters in path" when aPath holds a character that
// IsValidPathChar refuses.
void CheckPathChars(std::u16string_view aPath);

// aDirectory and aName with one separator between them; an empty directory
// gives the bare name, and a directory already ending in a separator gets no
// second one.
std::u16string JoinPath(std::u16string_view aDirectory, std::u16string_view aName);
// The part of aPath after its last separator (or drive colon on win32).
std::u16string ExtractFileName(std::u16string_view aPath);

bool DirectoryExists(const std::u16string& aPath);
// Creates the one directory aPath; its parent must exist.
bool MakeDirectory(const std::u16string& aPath);
// Creates aPath and every missing parent. True when the directory exists
// afterwards.
bool ForceDirectories(const std::u16string& aPath);
bool FileExists(const std::u16string& aPath);
// Size in bytes, or -1 when the file does not exist or cannot be read.
int64_t FileSize(const std::u16string& aPath);
// Renames aFrom to aTo. Fails, rather than replacing it, when aTo exists, so
// that a name clash can never destroy a file.
bool RenameFile(const std::u16string& aFrom, const std::u16string& aTo);

// A file opened for appending, created when missing. While it is open other
// programs may read the file, but nobody else may open it for writing
// (win32: sharing mode FILE_SHARE_READ; posix: an exclusive advisory lock
// that every writer going through this class takes). Owns its handle.
class qAppendFile {
 public:
  // nullptr when the file cannot be created or opened, or another writer
  // holds it.
  static std::unique_ptr<qAppendFile> Open(const std::u16string& aPath);
  ~qAppendFile();
  qAppendFile(const qAppendFile&) = delete;
  qAppendFile& operator=(const qAppendFile&) = delete;

  // Writes all of aBytes at the end of the file and hands them to the
  // operating system; false when any part could not be written.
  bool Append(std::string_view aBytes);

 private:
  explicit qAppendFile(intptr_t aHandle) : fHandle(aHandle) {}
  intptr_t fHandle;
};

// Opens aPath with qAppendFile, appends aBytes and closes it again.
bool AppendToFile(const std::u16string& aPath, std::string_view aBytes);

}  // namespace qv
