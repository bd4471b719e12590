// zeft-sim: a stand-in for the terminal vendor's EFT library. It exports the
// nine ZEFT_* entry points (stdcall on win32) and plays the scenario written in
// the configuration file passed to ZEFT_Init. The scenario format is described
// in tools/zeft-sim/README.md. The scenario is read again at every
// ZEFT_HND_Create, so a test may change the answers between two payments.
//
// Every call is appended to the trace file named by the scenario, one line a
// call, with its arguments and its result.
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#if defined(_WIN32)
#define ZEFT_API extern "C" __declspec(dllexport)
#define ZEFT_CALL __stdcall
#else
#define ZEFT_API extern "C" __attribute__((visibility("default")))
#define ZEFT_CALL
#endif

namespace {

// What one channel (or all) answers.
struct Answers {
  std::map<std::string, std::string> fValues;           // init, handle, delete, start, response, delay
  std::map<uint32_t, std::string> fFields;              // field <id> = text
  std::map<uint32_t, int32_t> fSizes;                   // size <id> = reported size
  std::map<uint32_t, int32_t> fDataCodes;               // getdata <id> = return code
};

struct Scenario {
  Answers fCommon;
  Answers fPay;  // [PAY]: transactions started with ZEFT_PAY_Start
  Answers fBpe;  // [BPE]: transactions started with ZEFT_PAY_BPE_Start
  std::string fTrace;
};

#if defined(_WIN32)
long long ModifiedNanoseconds(const struct stat&) { return 0; }
#else
long long ModifiedNanoseconds(const struct stat& aStat) { return aStat.st_mtim.tv_nsec; }
#endif

std::mutex gLock;
std::string gConfigPath;
Scenario gScenario;
bool gBpe = false;  // the current transaction was started on the meal-voucher path

std::string Trim(const std::string& aText) {
  const size_t first = aText.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  const size_t last = aText.find_last_not_of(" \t\r");
  return aText.substr(first, last - first + 1);
}

// Field values may hold any byte; "\n", "\r", "\t", "\\" and "\xHH" escapes
// allow line ends and NULs in them.
std::string Unescape(const std::string& aText) {
  std::string out;
  for (size_t i = 0; i < aText.size(); ++i) {
    if (aText[i] != '\\' || i + 1 >= aText.size()) {
      out.push_back(aText[i]);
      continue;
    }
    const char c = aText[++i];
    if (c == 'n') out.push_back('\n');
    else if (c == 'r') out.push_back('\r');
    else if (c == 't') out.push_back('\t');
    else if (c == 's') out.push_back(' ');
    else if (c == 'x' && i + 2 < aText.size()) {
      out.push_back(static_cast<char>(std::stoi(aText.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else out.push_back(c);
  }
  return out;
}

std::string Directory(const std::string& aPath) {
  const size_t slash = aPath.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : aPath.substr(0, slash + 1);
}

bool IsAbsolute(const std::string& aPath) {
  return !aPath.empty() && (aPath[0] == '/' || aPath[0] == '\\' || (aPath.size() > 1 && aPath[1] == ':'));
}

// The scenario file's size and change time when it was last read.
struct FileStamp {
  long long fSize = -1;
  long long fChanged = -1;
  bool operator==(const FileStamp& a) const { return fSize == a.fSize && fChanged == a.fChanged; }
};
FileStamp gLoadedStamp;

FileStamp Stamp(const std::string& aPath) {
  FileStamp stamp;
  struct stat st;
  if (::stat(aPath.c_str(), &st) == 0) {
    stamp.fSize = static_cast<long long>(st.st_size);
    stamp.fChanged = static_cast<long long>(st.st_mtime) * 1000000000LL + ModifiedNanoseconds(st);
  }
  return stamp;
}

void LoadScenario() {
  gLoadedStamp = Stamp(gConfigPath);
  Scenario scenario;
  std::ifstream in(gConfigPath, std::ios::binary);
  std::string line;
  Answers* section = &scenario.fCommon;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line == "[PAY]") { section = &scenario.fPay; continue; }
    if (line == "[BPE]") { section = &scenario.fBpe; continue; }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = line.substr(eq + 1);
    const size_t space = key.find(' ');
    const std::string word = key.substr(0, space);
    try {
      if (space != std::string::npos) {
        const uint32_t id = static_cast<uint32_t>(std::stoul(Trim(key.substr(space + 1))));
        // A field keeps its blanks after the first one that follows "=".
        const std::string text = Unescape(!value.empty() && value[0] == ' ' ? value.substr(1) : value);
        if (word == "field") section->fFields[id] = text;
        else if (word == "size") section->fSizes[id] = std::stoi(Trim(value));
        else if (word == "getdata") section->fDataCodes[id] = std::stoi(Trim(value));
      } else if (key == "trace") {
        const std::string path = Trim(value);
        scenario.fTrace = IsAbsolute(path) ? path : Directory(gConfigPath) + path;
      } else {
        section->fValues[key] = Trim(value);
      }
    } catch (...) {
      // A line that does not parse is ignored, as a real library ignores
      // settings it does not know.
    }
  }
  gScenario = scenario;
}

const Answers& Channel() { return gBpe ? gScenario.fBpe : gScenario.fPay; }

std::string Value(const char* aKey, const char* aDefault) {
  auto it = Channel().fValues.find(aKey);
  if (it != Channel().fValues.end()) return it->second;
  it = gScenario.fCommon.fValues.find(aKey);
  return it != gScenario.fCommon.fValues.end() ? it->second : aDefault;
}

long long Number(const char* aKey, long long aDefault) {
  try {
    return std::stoll(Value(aKey, std::to_string(aDefault).c_str()));
  } catch (...) {
    return aDefault;
  }
}

template <typename T>
bool Lookup(const std::map<uint32_t, T> Answers::*aMap, uint32_t aId, T& aOut) {
  const Answers* const order[] = {&Channel(), &gScenario.fCommon};
  for (const Answers* a : order) {
    auto it = (a->*aMap).find(aId);
    if (it != (a->*aMap).end()) {
      aOut = it->second;
      return true;
    }
  }
  return false;
}

// The trace file: the scenario's, else (before a scenario was read, in a
// library variant without ZEFT_Init) the one the environment names.
std::string TracePath() {
  if (!gScenario.fTrace.empty()) return gScenario.fTrace;
  const char* fromEnvironment = std::getenv("ZEFT_SIM_TRACE");
  return fromEnvironment ? fromEnvironment : "";
}

// Appends the line aMake() builds; the line is built only when there is a
// trace to write it to.
template <typename Make>
void Trace(Make aMake) {
  const std::string path = TracePath();
  if (path.empty()) return;
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << aMake() << "\n";
}

std::string Printable(const std::string& aText) {
  std::string out;
  for (const unsigned char c : aText) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c < 32) { char buf[8]; std::snprintf(buf, sizeof buf, "\\x%02x", c); out += buf; }
    else out.push_back(static_cast<char>(c));
  }
  return out;
}

void Delay() {
  const long long ms = Number("delay", 0);
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The answer of both response calls, after the scenario's delay. The lock is
// not held while waiting.
int32_t Respond(const char* aName, uint32_t aHandle, int32_t aTimeout) {
  int32_t result;
  {
    std::lock_guard<std::mutex> lock(gLock);
    result = static_cast<int32_t>(Number("response", 0));
  }
  Delay();
  std::lock_guard<std::mutex> lock(gLock);
  Trace([&] {
    return std::string(aName) + " handle=" + std::to_string(aHandle) + " timeout=" + std::to_string(aTimeout) +
           " -> " + std::to_string(result);
  });
  return result;
}

// One issuer entry as the caller lays it out: 20 bytes on 32-bit Windows
// (the name is a 4-byte address); on a 64-bit host the address takes its
// natural 8 bytes and alignment.
struct IssuerEntry {
  int32_t fCode;
  const char* fName;
  int32_t fNameLength;
  int32_t fMaxAmount;
  int32_t fMaxItems;
};
static_assert(sizeof(void*) != 4 || sizeof(IssuerEntry) == 20, "the vendor's issuer entry is 20 bytes");

}  // namespace

#if !defined(ZEFT_SIM_WITHOUT_INIT)
ZEFT_API int32_t ZEFT_CALL ZEFT_Init(const char* aConfigFileName) {
  std::lock_guard<std::mutex> lock(gLock);
  gConfigPath = aConfigFileName ? aConfigFileName : "";
  gBpe = false;
  LoadScenario();
  const std::string answer = Value("init", "true");
  const bool ok = answer == "true" || answer == "1";
  Trace([&] { return "ZEFT_Init config=" + gConfigPath + " -> " + (ok ? "1" : "0"); });
  return ok ? 1 : 0;
}
#endif

ZEFT_API void ZEFT_CALL ZEFT_Terminate() {
  std::lock_guard<std::mutex> lock(gLock);
  Trace([] { return std::string("ZEFT_Terminate"); });
}

ZEFT_API uint32_t ZEFT_CALL ZEFT_HND_Create() {
  std::lock_guard<std::mutex> lock(gLock);
  // Read the scenario again only when the file changed since the last read.
  if (!gConfigPath.empty() && !(Stamp(gConfigPath) == gLoadedStamp)) LoadScenario();
  gBpe = false;
  const uint32_t handle = static_cast<uint32_t>(Number("handle", 1));
  Trace([&] { return "ZEFT_HND_Create -> " + std::to_string(handle); });
  return handle;
}

ZEFT_API uint32_t ZEFT_CALL ZEFT_HND_Delete(uint32_t aHandle) {
  std::lock_guard<std::mutex> lock(gLock);
  const uint32_t result = static_cast<uint32_t>(Number("delete", 1));
  Trace([&] { return "ZEFT_HND_Delete handle=" + std::to_string(aHandle) + " -> " + std::to_string(result); });
  return result;
}

ZEFT_API int32_t ZEFT_CALL ZEFT_PAY_Start(uint32_t aHandle, int32_t aEse, int32_t aStab, int32_t aCash,
                                          int32_t aCounter, int32_t aBill_Number, int32_t aAmount, char aGroup_Type) {
  std::lock_guard<std::mutex> lock(gLock);
  gBpe = false;
  const int32_t result = static_cast<int32_t>(Number("start", 0));
  Trace([&] {
  std::ostringstream line;
  line << "ZEFT_PAY_Start handle=" << aHandle << " ese=" << aEse << " stab=" << aStab << " cash=" << aCash
       << " counter=" << aCounter << " bill=" << aBill_Number << " amount=" << aAmount << " group='" << aGroup_Type
       << "' -> " << result;
  return line.str();
  });
  return result;
}

ZEFT_API int32_t ZEFT_CALL ZEFT_PAY_GetResponse(uint32_t aHandle, int32_t aTimeout) {
  return Respond("ZEFT_PAY_GetResponse", aHandle, aTimeout);
}

ZEFT_API int32_t ZEFT_CALL ZEFT_HND_GetData(uint32_t aHandle, uint32_t aParamId, char* aData, int32_t* aSize) {
  std::lock_guard<std::mutex> lock(gLock);
  std::string text;
  Lookup(&Answers::fFields, aParamId, text);
  int32_t code = 0;
  Lookup(&Answers::fDataCodes, aParamId, code);
  const int32_t capacity = aSize ? *aSize : 0;
  size_t n = text.size();
  if (capacity >= 0 && n > static_cast<size_t>(capacity)) n = static_cast<size_t>(capacity);
  if (aData && n > 0) std::memcpy(aData, text.data(), n);
  if (aData && n < static_cast<size_t>(capacity > 0 ? capacity : 0)) aData[n] = '\0';
  int32_t reported = static_cast<int32_t>(n);
  Lookup(&Answers::fSizes, aParamId, reported);
  if (aSize) *aSize = reported;
  Trace([&] {
    return "ZEFT_HND_GetData handle=" + std::to_string(aHandle) + " id=" + std::to_string(aParamId) +
        " capacity=" + std::to_string(capacity) + " -> " + std::to_string(code) + " size=" + std::to_string(reported) +
        " data=" + Printable(text.substr(0, n));
  });
  return code;
}

ZEFT_API int32_t ZEFT_CALL ZEFT_PAY_BPE_Start(uint32_t aHandle, int32_t aEse, int32_t aStab, int32_t aCash,
                                              int32_t aCounter, int32_t aBill_Number, int32_t aAmount,
                                              const void* aIssuerVector, int32_t aIssuerVectorSize,
                                              const char* aCashTrId) {
  std::lock_guard<std::mutex> lock(gLock);
  gBpe = true;
  const int32_t result = static_cast<int32_t>(Number("start", 0));
  Trace([&] {
  std::ostringstream line;
  line << "ZEFT_PAY_BPE_Start handle=" << aHandle << " ese=" << aEse << " stab=" << aStab << " cash=" << aCash
       << " counter=" << aCounter << " bill=" << aBill_Number << " amount=" << aAmount
       << " issuers=" << aIssuerVectorSize;
  const auto* entries = static_cast<const IssuerEntry*>(aIssuerVector);
  for (int32_t i = 0; entries && i < aIssuerVectorSize && i < 16; ++i) {
    const IssuerEntry& e = entries[i];
    const std::string p = " issuer" + std::to_string(i) + ".";
    line << p << "code=" << e.fCode << p << "name=" << (e.fName ? e.fName : "(null)") << p
         << "namelen=" << e.fNameLength << p << "maxamount=" << e.fMaxAmount << p << "maxitems=" << e.fMaxItems;
  }
  line << " cashtrid=" << (aCashTrId ? aCashTrId : "(null)") << " -> " << result;
  return line.str();
  });
  return result;
}

#if !defined(ZEFT_SIM_WITHOUT_BPE_RESPONSE)
ZEFT_API int32_t ZEFT_CALL ZEFT_PAY_BPE_GetResponse(uint32_t aHandle, int32_t aTimeout) {
  return Respond("ZEFT_PAY_BPE_GetResponse", aHandle, aTimeout);
}
#endif
