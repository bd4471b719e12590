// File-system services on win32, through the wide-character API.
#include <windows.h>

#include "platform/file_system.h"

namespace qv {

namespace {

const wchar_t* Wide(const std::u16string& aText) {
  return reinterpret_cast<const wchar_t*>(aText.c_str());
}

}  // namespace

char16_t PathDelimiter() { return u'\\'; }

bool IsPathDelimiter(char16_t aChar) { return aChar == u'\\' || aChar == u'/'; }

bool IsValidPathChar(char16_t aChar) {
  if (aChar < 32) return false;
  switch (aChar) {
    case u'"':
    case u'*':
    case u'<':
    case u'>':
    case u'?':
    case u'|':
      return false;
    default:
      return true;
  }
}

bool DirectoryExists(const std::u16string& aPath) {
  const DWORD attributes = GetFileAttributesW(Wide(aPath));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectory(const std::u16string& aPath) {
  return CreateDirectoryW(Wide(aPath), nullptr) != 0;
}

bool FileExists(const std::u16string& aPath) {
  const DWORD attributes = GetFileAttributesW(Wide(aPath));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int64_t FileSize(const std::u16string& aPath) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(aPath), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool RenameFile(const std::u16string& aFrom, const std::u16string& aTo) {
  // Without MOVEFILE_REPLACE_EXISTING an existing target makes it fail.
  return MoveFileExW(Wide(aFrom), Wide(aTo), 0) != 0;
}

std::unique_ptr<qAppendFile> qAppendFile::Open(const std::u16string& aPath) {
  // FILE_APPEND_DATA alone makes every write land at the end of the file;
  // FILE_SHARE_READ lets viewers read while other writers are refused.
  const HANDLE handle = CreateFileW(Wide(aPath), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::unique_ptr<qAppendFile>(new qAppendFile(reinterpret_cast<intptr_t>(handle)));
}

qAppendFile::~qAppendFile() { CloseHandle(reinterpret_cast<HANDLE>(fHandle)); }

bool qAppendFile::Append(std::string_view aBytes) {
  const HANDLE handle = reinterpret_cast<HANDLE>(fHandle);
  while (!aBytes.empty()) {
    const DWORD chunk = aBytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(aBytes.size());
    DWORD written = 0;
    if (!WriteFile(handle, aBytes.data(), chunk, &written, nullptr) || written == 0) return false;
    aBytes.remove_prefix(written);
  }
  return true;
}

}  // namespace qv
