// The registry service of the posix build: a file per key.
//
// Where. The store is the folder named by QV_REGISTRY_DIR when that is set
// and not empty, else "qvpa-registry" in $XDG_CONFIG_HOME (when it is an
// absolute path), else in ~/.config. Inside it a folder per root
// (HKEY_CURRENT_USER, ...) and a folder per key name of the path mirror the
// registry, and the values of a key live in a file named after its last key
// name plus ".reg" (a key that has only ever been a parent of others has its
// folder and no file):
//   <store>/HKEY_CURRENT_USER/Software/Quorvel/ZELQ_Counter.reg
// Key names are looked up without regard to ASCII letter case, as the
// registry does; a new name keeps the spelling it was first given. In a file
// name, "/", "%", control characters and lone surrogates are written as "%"
// and four upper-case hexadecimal digits of the UTF-16 code unit; so is a
// leading "." (no key can reach "." or ".." or our own dot files) and the
// last "." of a name ending in ".reg" (no key folder can take the name of a
// key file). Other characters are UTF-8. An empty key name inside the path is
// refused; a trailing "\" is ignored.
//
// The key file, UTF-8:
//   qvpa-registry 1
//   <type> <name>=<data>
//   ...
// one line per value, each ending in LF, in the order the values were first
// written. <type> is "sz" for a string (REG_SZ) or "expand_sz"; any other
// word of lower-case letters, digits and "_" ("dword", "binary", ...) is a
// value of another type that reads as a type error and is kept as it is when
// the file is rewritten. In <name> and <data> a backslash starts an escape:
// "\\" backslash, "\=" equals sign, "\r" CR, "\n" LF, "\uXXXX" any UTF-16
// code unit (written for other control characters and lone surrogates). The
// name ends at the first "=" that is not escaped; the data is everything
// after it. An empty file is a key without values.
//
// A file that cannot be parsed (another header, a line without " " or "=",
// a bad escape, a raw control character other than TAB, invalid UTF-8, two
// values whose names differ only in letter case, no final LF) counts as a key
// that cannot be opened: reading answers ros_Failed and so the empty text,
// and writing answers ros_Failed, which the caller reports, and leaves the
// file as it is for someone to look at. We never overwrite what we cannot read.
//
// Writing. A key opened for writing holds an exclusive flock on its lock file
// ".<name>.reg.lock" (the name in lower case, so that spellings that differ in
// case share it) from the open to the close. Under the lock the file is read,
// changed in memory and written whole to ".<name>.reg.tmp", flushed with
// fsync, renamed over the key file, and the folder is flushed. A crash at any
// point leaves either the old or the new file, never a torn one, and the lock
// dies with the process. Two processes never lose each other's values: the
// second waits for the first's lock and then reads what the first wrote.
// Reading takes no lock: a rename replaces the file in one step.
#include "platform/posix/registry_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/text.h"
#include "platform/registry.h"

namespace qv {

namespace {

tQV_RegistryCommitHook gCommitHook = nullptr;

constexpr const char* kHeader = "qvpa-registry 1";
// A key file beyond this size is not one of ours.
constexpr size_t kMaxKeyFileSize = 16 * 1024 * 1024;

// ---- File descriptors ----------------------------------------------------

class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int aFd) : fFd(aFd) {}
  ~FileDescriptor() { Reset(); }
  FileDescriptor(FileDescriptor&& aOther) noexcept : fFd(std::exchange(aOther.fFd, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& aOther) noexcept {
    if (this != &aOther) {
      Reset();
      fFd = std::exchange(aOther.fFd, -1);
    }
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int Get() const { return fFd; }
  bool Valid() const { return fFd >= 0; }
  // Closes now and tells whether the close reported an error.
  bool Close() {
    const int fd = std::exchange(fFd, -1);
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  void Reset() {
    if (fFd >= 0) ::close(fFd);
    fFd = -1;
  }
  int fFd = -1;
};

bool WriteAll(int aFd, const std::string& aData) {
  size_t done = 0;
  while (done < aData.size()) {
    const ssize_t n = ::write(aFd, aData.data() + done, aData.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

enum class ReadStatus { Ok, Missing, Failed };

ReadStatus ReadWholeFile(const std::string& aPath, std::string& aData) {
  FileDescriptor fd(::open(aPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Failed;
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return ReadStatus::Failed;
  aData.clear();
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ReadStatus::Failed;
    }
    if (n == 0) break;
    aData.append(buffer, static_cast<size_t>(n));
    if (aData.size() > kMaxKeyFileSize) return ReadStatus::Failed;
  }
  return ReadStatus::Ok;
}

// ---- Names ---------------------------------------------------------------

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendHex4(std::string& aOut, char16_t aUnit) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) aOut += kDigits[(aUnit >> shift) & 0xF];
}

// Appends aText as UTF-8, writing the code units for which aEscape answers
// true (and every lone surrogate) through aWriteEscaped.
template <typename Escape, typename WriteEscaped>
void AppendEncoded(std::string& aOut, std::u16string_view aText, Escape aEscape, WriteEscaped aWriteEscaped) {
  for (size_t i = 0; i < aText.size(); ++i) {
    const char16_t c = aText[i];
    if (IsHighSurrogate(c) && i + 1 < aText.size() && IsLowSurrogate(aText[i + 1])) {
      aOut += ToUtf8(aText.substr(i, 2));
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || aEscape(c)) {
      aWriteEscaped(aOut, c);
    } else {
      aOut += ToUtf8(aText.substr(i, 1));
    }
  }
}

bool EndsWithRegIgnoringCase(std::u16string_view aName) {
  return aName.size() >= 4 && SameText(aName.substr(aName.size() - 4), u".reg");
}

// The file name of one key name.
std::string EncodeKeyFileComponent(std::u16string_view aKeyName) {
  std::string out;
  const size_t lastDot = EndsWithRegIgnoringCase(aKeyName) ? aKeyName.size() - 4 : std::u16string_view::npos;
  for (size_t i = 0; i < aKeyName.size(); ++i) {
    const char16_t c = aKeyName[i];
    const bool pair = IsHighSurrogate(c) && i + 1 < aKeyName.size() && IsLowSurrogate(aKeyName[i + 1]);
    if (pair) {
      out += ToUtf8(aKeyName.substr(i, 2));
      ++i;
      continue;
    }
    const bool escape = IsHighSurrogate(c) || IsLowSurrogate(c) || c < 0x20 || c == 0x7F || c == u'/' ||
                        c == u'%' || (c == u'.' && (i == 0 || i == lastDot));
    if (escape) {
      out += '%';
      AppendHex4(out, c);
    } else {
      out += ToUtf8(aKeyName.substr(i, 1));
    }
  }
  return out;
}

std::string AsciiLower(std::string aText) {
  for (char& c : aText)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return aText;
}

const char* RootFolderName(tQV_RegistryRoot aRoot) {
  switch (aRoot) {
    case rk_ClassesRoot: return "HKEY_CLASSES_ROOT";
    case rk_CurrentUser: return "HKEY_CURRENT_USER";
    case rk_LocalMachine: return "HKEY_LOCAL_MACHINE";
    case rk_Users: return "HKEY_USERS";
    case rk_CurrentConfig: return "HKEY_CURRENT_CONFIG";
    case rk_DynData: return "HKEY_DYN_DATA";
    default: return nullptr;
  }
}

std::string StoreFolder() {
  const char* explicitDir = std::getenv("QV_REGISTRY_DIR");
  if (explicitDir && *explicitDir) return explicitDir;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/qvpa-registry";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config/qvpa-registry";
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
    return std::string(pw->pw_dir) + "/.config/qvpa-registry";
  return std::string();
}

// Splits a key path at "\"; false for an empty path or an empty key name
// before the end.
bool SplitKeyPath(const std::u16string& aKeyPath, std::vector<std::u16string>& aNames) {
  aNames.clear();
  std::u16string current;
  for (char16_t c : aKeyPath) {
    if (c == u'\\') {
      if (current.empty()) return false;
      aNames.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) aNames.push_back(std::move(current));
  return !aNames.empty();
}

bool IsDirectory(const std::string& aPath) {
  struct stat st;
  return ::stat(aPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of aFolder that spells aName, looked up exactly and then without
// regard to ASCII case; aName itself when there is none.
std::string ResolveEntry(const std::string& aFolder, const std::string& aName) {
  struct stat st;
  if (::lstat((aFolder + "/" + aName).c_str(), &st) == 0) return aName;
  DIR* dir = ::opendir(aFolder.c_str());
  if (!dir) return aName;
  std::string found = aName;
  while (const dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, aName.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

bool MakeFolder(const std::string& aPath) {
  if (::mkdir(aPath.c_str(), 0700) == 0) return true;
  return errno == EEXIST && IsDirectory(aPath);
}

bool MakeFolders(const std::string& aPath) {
  if (aPath.empty()) return false;
  for (size_t slash = aPath.find('/', 1); slash != std::string::npos; slash = aPath.find('/', slash + 1)) {
    if (!MakeFolder(aPath.substr(0, slash))) return false;
  }
  return MakeFolder(aPath);
}

struct KeyLocation {
  std::string fFolder;    // the folder that holds the key file
  std::string fKeyName;   // the key's own name as a file name, as given
  std::string fFileName;  // the key file's name, fKeyName + ".reg"
};

// Finds the folder of a key, creating the folders on the way when aCreate.
// ros_NotFound when a folder is missing and may not be created.
tQV_RegistryOpenStatus LocateKey(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath, bool aCreate,
                                 KeyLocation& aLocation) {
  const char* rootName = RootFolderName(aRoot);
  std::vector<std::u16string> names;
  const std::string store = StoreFolder();
  if (!rootName || !SplitKeyPath(aKeyPath, names) || store.empty()) return tQV_RegistryOpenStatus::ros_Failed;
  std::string folder = store + "/" + rootName;
  if (aCreate) {
    if (!MakeFolders(folder)) return tQV_RegistryOpenStatus::ros_Failed;
  } else if (!IsDirectory(folder)) {
    return tQV_RegistryOpenStatus::ros_NotFound;
  }
  for (size_t i = 0; i + 1 < names.size(); ++i) {
    folder += "/" + ResolveEntry(folder, EncodeKeyFileComponent(names[i]));
    if (aCreate) {
      if (!MakeFolder(folder)) return tQV_RegistryOpenStatus::ros_Failed;
    } else if (!IsDirectory(folder)) {
      return tQV_RegistryOpenStatus::ros_NotFound;
    }
  }
  aLocation.fFolder = folder;
  aLocation.fKeyName = EncodeKeyFileComponent(names.back());
  aLocation.fFileName = aLocation.fKeyName + ".reg";
  return tQV_RegistryOpenStatus::ros_Ok;
}

// ---- The key file --------------------------------------------------------

struct StoredValue {
  std::string fType;
  std::u16string fName;
  std::u16string fData;
};

bool IsStringType(const std::string& aType) { return aType == "sz" || aType == "expand_sz"; }

void AppendEscaped(std::string& aOut, std::u16string_view aText, bool aIsName) {
  AppendEncoded(
      aOut, aText, [&](char16_t c) { return c < 0x20 || c == 0x7F || c == u'\\' || (aIsName && c == u'='); },
      [](std::string& aOut2, char16_t c) {
        switch (c) {
          case u'\\': aOut2 += "\\\\"; break;
          case u'=': aOut2 += "\\="; break;
          case u'\r': aOut2 += "\\r"; break;
          case u'\n': aOut2 += "\\n"; break;
          default:
            aOut2 += "\\u";
            AppendHex4(aOut2, c);
        }
      });
}

std::string FormatKeyFile(const std::vector<StoredValue>& aValues) {
  std::string out = kHeader;
  out += '\n';
  for (const StoredValue& value : aValues) {
    out += value.fType;
    out += ' ';
    AppendEscaped(out, value.fName, true);
    out += '=';
    AppendEscaped(out, value.fData, false);
    out += '\n';
  }
  return out;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// Reads an escaped text from aLine at aPos up to an unescaped aStop (or the
// end when aStop is 0); false on a bad escape or a raw control character.
bool ParseEscaped(std::u16string_view aLine, size_t& aPos, char16_t aStop, std::u16string& aOut) {
  aOut.clear();
  while (aPos < aLine.size()) {
    const char16_t c = aLine[aPos];
    if (aStop && c == aStop) return true;
    if (c != u'\\') {
      if ((c < 0x20 && c != u'\t') || c == 0x7F) return false;
      aOut += c;
      ++aPos;
      continue;
    }
    if (aPos + 1 >= aLine.size()) return false;
    const char16_t e = aLine[aPos + 1];
    aPos += 2;
    switch (e) {
      case u'\\': aOut += u'\\'; break;
      case u'=': aOut += u'='; break;
      case u'r': aOut += u'\r'; break;
      case u'n': aOut += u'\n'; break;
      case u'u': {
        if (aPos + 4 > aLine.size()) return false;
        int unit = 0;
        for (int k = 0; k < 4; ++k) {
          const int d = HexDigit(aLine[aPos + k]);
          if (d < 0) return false;
          unit = unit * 16 + d;
        }
        aOut += static_cast<char16_t>(unit);
        aPos += 4;
        break;
      }
      default: return false;
    }
  }
  return aStop == 0;
}

bool ParseKeyFile(const std::string& aData, std::vector<StoredValue>& aValues) {
  aValues.clear();
  if (aData.empty()) return true;
  if (aData.back() != '\n') return false;
  // Invalid UTF-8 would come back changed from the round trip.
  const std::u16string text = FromUtf8(aData);
  if (ToUtf8(text) != aData) return false;
  std::u16string_view rest(text);
  rest.remove_suffix(1);
  bool header = true;
  for (;;) {
    const size_t end = rest.find(u'\n');
    const std::u16string_view line = rest.substr(0, end);
    if (header) {
      if (line != FromAscii(kHeader)) return false;
      header = false;
    } else {
      const size_t space = line.find(u' ');
      if (space == 0 || space == std::u16string_view::npos) return false;
      StoredValue value;
      for (char16_t c : line.substr(0, space)) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_')) return false;
        value.fType += static_cast<char>(c);
      }
      size_t pos = space + 1;
      if (!ParseEscaped(line, pos, u'=', value.fName)) return false;
      ++pos;  // the "="
      if (!ParseEscaped(line, pos, 0, value.fData)) return false;
      for (const StoredValue& other : aValues)
        if (SameText(other.fName, value.fName)) return false;
      aValues.push_back(std::move(value));
    }
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return true;
}

std::u16string ReadStringFrom(const std::vector<StoredValue>& aValues, const std::u16string& aValueName) {
  for (const StoredValue& value : aValues) {
    if (!SameText(value.fName, aValueName)) continue;
    if (!IsStringType(value.fType)) throw qError(FormatS(u"Invalid data type for '%s'", aValueName));
    const size_t nul = value.fData.find(u'\0');
    return nul == std::u16string::npos ? value.fData : value.fData.substr(0, nul);
  }
  return std::u16string();
}

// Writes the next version of a key file beside it and renames it over.
bool CommitKeyFile(const std::string& aFolder, const std::string& aFileName, const std::string& aTempName,
                   const std::string& aContent) {
  const std::string temp = aFolder + "/" + aTempName;
  FileDescriptor fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644));
  if (!fd.Valid()) return false;
  const bool written = WriteAll(fd.Get(), aContent) && ::fsync(fd.Get()) == 0;
  if (!fd.Close() || !written) {
    ::unlink(temp.c_str());
    return false;
  }
  if (gCommitHook) gCommitHook();
  if (::rename(temp.c_str(), (aFolder + "/" + aFileName).c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // The rename itself is made durable by flushing the folder; a failure here
  // does not undo a rename that other processes already see.
  FileDescriptor dir(::open(aFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Valid()) ::fsync(dir.Get());
  return true;
}

// ---- Keys ----------------------------------------------------------------

class qRegistryKeyPosix final : public qRegistryKey {
 public:
  // A key opened for reading: a snapshot of the values, taken at the open.
  explicit qRegistryKeyPosix(std::vector<StoredValue> aValues) : fValues(std::move(aValues)) {}

  // A key opened for writing: the values as read under the lock, which this
  // object holds until it goes.
  qRegistryKeyPosix(std::vector<StoredValue> aValues, FileDescriptor aLock, KeyLocation aLocation,
                    std::string aTempName)
      : fValues(std::move(aValues)),
        fLock(std::move(aLock)),
        fLocation(std::move(aLocation)),
        fTempName(std::move(aTempName)) {}

  std::u16string ReadString(const std::u16string& aValueName) override { return ReadStringFrom(fValues, aValueName); }

  void WriteString(const std::u16string& aValueName, const std::u16string& aValue) override {
    if (!fLock.Valid()) throw qError(FormatS(u"Failed to set data for '%s'", aValueName));
    std::vector<StoredValue> next = fValues;
    bool replaced = false;
    for (StoredValue& value : next) {
      if (SameText(value.fName, aValueName)) {
        // The value keeps the spelling its name was first given.
        value.fType = "sz";
        value.fData = aValue;
        replaced = true;
        break;
      }
    }
    if (!replaced) next.push_back(StoredValue{"sz", aValueName, aValue});
    if (!CommitKeyFile(fLocation.fFolder, fLocation.fFileName, fTempName, FormatKeyFile(next)))
      throw qError(FormatS(u"Failed to set data for '%s'", aValueName));
    fValues = std::move(next);
  }

 private:
  std::vector<StoredValue> fValues;
  FileDescriptor fLock;
  KeyLocation fLocation;
  std::string fTempName;
};

}  // namespace

void SetRegistryCommitHookForTests(tQV_RegistryCommitHook aHook) { gCommitHook = aHook; }

tQV_RegistryOpenResult OpenRegistryKeyForRead(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath) {
  tQV_RegistryOpenResult result;
  KeyLocation location;
  result.fStatus = LocateKey(aRoot, aKeyPath, false, location);
  if (result.fStatus != tQV_RegistryOpenStatus::ros_Ok) return result;
  const std::string path = location.fFolder + "/" + ResolveEntry(location.fFolder, location.fFileName);
  std::string data;
  std::vector<StoredValue> values;
  switch (ReadWholeFile(path, data)) {
    case ReadStatus::Missing:
      // A key that was only created as the parent of others has a folder
      // and no file: it exists and holds no values.
      if (!IsDirectory(location.fFolder + "/" + ResolveEntry(location.fFolder, location.fKeyName))) {
        result.fStatus = tQV_RegistryOpenStatus::ros_NotFound;
        return result;
      }
      break;
    case ReadStatus::Failed: result.fStatus = tQV_RegistryOpenStatus::ros_Failed; return result;
    case ReadStatus::Ok: break;
  }
  if (!ParseKeyFile(data, values)) {
    result.fStatus = tQV_RegistryOpenStatus::ros_Failed;
    return result;
  }
  result.fKey = std::make_unique<qRegistryKeyPosix>(std::move(values));
  return result;
}

tQV_RegistryOpenResult CreateRegistryKeyForWrite(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath) {
  tQV_RegistryOpenResult result;
  KeyLocation location;
  if (LocateKey(aRoot, aKeyPath, true, location) != tQV_RegistryOpenStatus::ros_Ok) return result;
  // Every spelling of the key name shares one lock file, and the key file is
  // looked up again once the lock is held, so that two processes that spell
  // the name differently still serialise on one file.
  const std::string lowered = AsciiLower(location.fFileName);
  FileDescriptor lock(
      ::open((location.fFolder + "/." + lowered + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
  if (!lock.Valid()) return result;
  while (::flock(lock.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) return result;
  }
  location.fFileName = ResolveEntry(location.fFolder, location.fFileName);
  const std::string tempName = "." + lowered + ".tmp";
  std::string data;
  std::vector<StoredValue> values;
  switch (ReadWholeFile(location.fFolder + "/" + location.fFileName, data)) {
    case ReadStatus::Failed: return result;
    case ReadStatus::Missing:
      // Creating the key makes it exist even before a value is written.
      if (!CommitKeyFile(location.fFolder, location.fFileName, tempName, FormatKeyFile(values))) return result;
      break;
    case ReadStatus::Ok:
      if (!ParseKeyFile(data, values)) return result;
      break;
  }
  result.fStatus = tQV_RegistryOpenStatus::ros_Ok;
  result.fKey = std::make_unique<qRegistryKeyPosix>(std::move(values), std::move(lock), std::move(location), tempName);
  return result;
}

}  // namespace qv
