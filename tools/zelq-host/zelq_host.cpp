// zelq-host: a point-of-sale host on the command line. It loads the payment
// library as a host does, builds requests from flags (or takes them from
// files), runs one or more commands in the same process (devices and their
// handles live as long as the process), and prints for each command the result
// document, the error text and the result code. Exits with 1 when a command
// returned -1, with 2 on a usage error.
//
//   zelq-host [OPTIONS] COMMAND [[OPTIONS] COMMAND ...]
//   zelq-host [OPTIONS] -          (commands line by line from standard input)
//
// See tools/zelq-host/README.md for the options.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/text.h"
#include "platform/dynamic_library.h"
#include "platform/export_abi.h"

namespace {

using HostStr = char16_t*;
using CommandFn = uint32_t(QV_STDCALL*)(HostStr, HostStr*, HostStr*);
using VersionFn = int32_t(QV_STDCALL*)(HostStr, HostStr*, HostStr*);
using AllocFn = HostStr(QV_STDCALL*)(const char16_t*, uint32_t);
using FreeFn = void(QV_STDCALL*)(HostStr);
using LenFn = uint32_t(QV_STDCALL*)(HostStr);

const char kUsage[] =
    "usage: zelq-host [OPTIONS] COMMAND [[OPTIONS] COMMAND ...]\n"
    "       an option holds for the commands after it\n"
    "       zelq-host [OPTIONS] -     (commands from standard input, one a line)\n"
    "commands: open pay reprint status close version\n"
    "options:  --dll PATH  --driver KEY  --library PATH  --config FILE  --log-id ID  --hexlog\n"
    "          --handle N  --merchant N  --store N  --till N  --reference N  --amount X  --currency C\n"
    "          --channel STD|MVP|NHS  --action PAY|REFUND  --max-amount X  --max-items N\n"
    "          --receipt-id ID  --request FILE (send FILE's text as the next command's request)\n";

[[noreturn]] void Usage(const std::string& aProblem) {
  std::cerr << "zelq-host: " << aProblem << "\n" << kUsage;
  std::exit(2);
}

std::string XmlEscape(const std::string& aText) {
  std::string out;
  for (const char c : aText) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string XmlUnescape(const std::string& aText) {
  std::string out;
  for (size_t i = 0; i < aText.size(); ++i) {
    if (aText[i] != '&') {
      out.push_back(aText[i]);
      continue;
    }
    static const std::pair<const char*, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    bool done = false;
    for (const auto& [entity, c] : kEntities) {
      if (aText.compare(i, std::strlen(entity), entity) == 0) {
        out.push_back(c);
        i += std::strlen(entity) - 1;
        done = true;
        break;
      }
    }
    if (!done) out.push_back('&');
  }
  return out;
}

std::string Element(const std::string& aDocument, const std::string& aName) {
  const std::string open = "<" + aName + ">";
  const size_t start = aDocument.find(open);
  if (start == std::string::npos) return std::string();
  const size_t end = aDocument.find("</" + aName + ">", start);
  return end == std::string::npos ? std::string() : aDocument.substr(start + open.size(), end - start - open.size());
}

class Host {
 public:
  explicit Host(const std::string& aPath) {
    uint32_t code = 0;
    std::u16string text;
    fLibrary = qv::qDynamicLibrary::Load(qv::FromUtf8(aPath), code, text);
    if (!fLibrary) {
      std::cerr << "zelq-host: cannot load " << aPath << ": " << qv::ToUtf8(text) << " [" << code << "]\n";
      std::exit(2);
    }
    // The library's own OLE string functions where it exports them (the
    // posix build), else the system's (oleaut32 on Windows).
    const qv::qDynamicLibrary* strings = fLibrary.get();
    if (!fLibrary->GetAddress("SysAllocStringLen")) {
      fOleAut = qv::qDynamicLibrary::Load(u"oleaut32.dll", code, text);
      strings = fOleAut.get();
    }
    if (!strings) Usage("no OLE string functions found");
    fAlloc = reinterpret_cast<AllocFn>(strings->GetAddress("SysAllocStringLen"));
    fFree = reinterpret_cast<FreeFn>(strings->GetAddress("SysFreeString"));
    fLen = reinterpret_cast<LenFn>(strings->GetAddress("SysStringLen"));
    if (!fAlloc || !fFree || !fLen) Usage("no OLE string functions found");
  }

  // Runs one command and prints what the host received. Answers the 16-bit
  // result code as the host reads it and the document.
  uint32_t Run(const std::string& aCommand, const std::u16string& aRequest, std::string& aDocument) {
    HostStr request = fAlloc(aRequest.data(), static_cast<uint32_t>(aRequest.size()));
    HostStr output = nullptr;
    HostStr error = nullptr;
    uint32_t code;
    if (aCommand == "VERSION") {
      auto fn = reinterpret_cast<VersionFn>(fLibrary->GetAddress("VERSION"));
      HostStr third = nullptr;
      code = static_cast<uint32_t>(fn(request, &output, &third));
      if (third) fFree(third);
    } else {
      auto fn = reinterpret_cast<CommandFn>(fLibrary->GetAddress(aCommand));
      code = fn(request, &output, &error) & 0xFFFF;
    }
    fFree(request);
    aDocument = qv::ToUtf8(Text(output));
    const std::string errorText = qv::ToUtf8(Text(error));
    fFree(output);
    fFree(error);
    std::cout << "> " << aCommand << "\n" << aDocument << "\n";
    std::cout << "error: " << errorText << "\n";
    std::cout << "code: " << (code == 0xFFFF ? -1 : static_cast<int32_t>(code)) << "\n";
    return code;
  }

 private:
  std::u16string Text(HostStr aString) const { return aString ? std::u16string(aString, fLen(aString)) : u""; }

  std::unique_ptr<qv::qDynamicLibrary> fLibrary;
  std::unique_ptr<qv::qDynamicLibrary> fOleAut;
  AllocFn fAlloc = nullptr;
  FreeFn fFree = nullptr;
  LenFn fLen = nullptr;
};

struct Settings {
  std::map<std::string, std::string> fValues;
  bool fHexLog = false;
  std::string fRequestFile;

  std::string Get(const std::string& aKey, const std::string& aDefault = "") const {
    const auto it = fValues.find(aKey);
    return it == fValues.end() ? aDefault : it->second;
  }
};

std::string Tag(const std::string& aName, const std::string& aValue) {
  return "<" + aName + ">" + XmlEscape(aValue) + "</" + aName + ">";
}

std::string BuildRequest(const std::string& aCommand, const Settings& aSettings) {
  std::string xml = "<Request>" + Tag("Driver", aSettings.Get("driver", "QVPA_ZELQ_10"));
  const std::string handle = aSettings.Get("handle");
  if (!handle.empty() && aCommand != "OPEN") xml += Tag("Handle", handle);
  if (!handle.empty() && aCommand == "OPEN" && aSettings.fValues.count("handle-set")) xml += Tag("Handle", handle);
  xml += Tag("LogId", aSettings.Get("log-id", "Till01"));
  xml += "<Connection>" + Tag("Type", "dll") + Tag("LibraryName", aSettings.Get("library", QV_DEFAULT_VENDOR_LIBRARY)) +
         "</Connection>";
  xml += "<Parameters>";
  if (!aSettings.Get("config").empty()) xml += Tag("ConfigFileName", aSettings.Get("config"));
  if (aSettings.fHexLog) xml += Tag("HexLog", "true");
  xml += "</Parameters>";
  if (aCommand == "PAY" || aCommand == "REPRINT") {
    xml += "<Payment>";
    const std::pair<const char*, const char*> fields[] = {
        {"merchant", "MerchantCode"}, {"store", "StoreCode"},     {"till", "TillCode"},
        {"reference", "Reference"},   {"amount", "Amount"},       {"currency", "Currency"},
        {"channel", "PaymentChannel"}, {"action", "Action"},      {"max-amount", "MaxAmount"},
        {"max-items", "MaxItems"},    {"receipt-id", "ReceiptId"}};
    for (const auto& [key, element] : fields)
      if (!aSettings.Get(key).empty()) xml += Tag(element, aSettings.Get(key));
    xml += "</Payment>";
  }
  return xml + "</Request>";
}

std::string ReadFile(const std::string& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  if (!in) Usage("cannot read " + aPath);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Parses options and commands from aArgs, running each command as it comes.
// Answers false when a command returned -1.
bool RunArguments(Host*& aHost, Settings& aSettings, const std::vector<std::string>& aArgs, bool& aReadStdin) {
  bool ok = true;
  static const std::map<std::string, std::string> kCommands = {{"open", "OPEN"},     {"pay", "PAY"},
                                                               {"reprint", "REPRINT"}, {"status", "GETSTATUS"},
                                                               {"close", "CLOSE"},   {"version", "VERSION"}};
  for (size_t i = 0; i < aArgs.size(); ++i) {
    const std::string& arg = aArgs[i];
    if (arg == "-") {
      aReadStdin = true;
    } else if (arg == "--hexlog") {
      aSettings.fHexLog = true;
    } else if (arg.rfind("--", 0) == 0) {
      if (i + 1 >= aArgs.size()) Usage("option " + arg + " needs a value");
      const std::string key = arg.substr(2);
      const std::string value = aArgs[++i];
      if (key == "request") {
        aSettings.fRequestFile = value;
      } else if (key == "dll") {
        if (aHost) Usage("--dll must come before the first command");
        aSettings.fValues["dll"] = value;
      } else {
        aSettings.fValues[key] = value;
        if (key == "handle") aSettings.fValues["handle-set"] = "1";
      }
    } else if (kCommands.count(arg)) {
      if (!aHost) aHost = new Host(aSettings.Get("dll", QV_DEFAULT_DRIVER_LIBRARY));
      const std::string command = kCommands.at(arg);
      std::string request;
      if (!aSettings.fRequestFile.empty()) {
        request = ReadFile(aSettings.fRequestFile);
        aSettings.fRequestFile.clear();
      } else if (command == "VERSION") {
        request = aSettings.Get("driver", "QVPA_ZELQ_10");
      } else {
        request = BuildRequest(command, aSettings);
      }
      std::string document;
      const uint32_t code = aHost->Run(command, qv::FromUtf8(request), document);
      if (code != 0) ok = false;
      if (command == "OPEN" && code == 0) aSettings.fValues["handle"] = Element(document, "Handle");
      if (command == "CLOSE" && code == 0) aSettings.fValues.erase("handle");
      if (command == "PAY") {
        const std::string receipt = XmlUnescape(Element(document, "ReceiptText"));
        if (!receipt.empty()) std::cout << "--- receipt ---\n" << receipt << "---------------\n";
        const std::string log = XmlUnescape(Element(document, "LogFileName"));
        if (!log.empty()) std::cout << "log: " << log << "\n";
      }
      std::cout << std::endl;
    } else {
      Usage("unknown argument " + arg);
    }
  }
  return ok;
}

std::vector<std::string> SplitWords(const std::string& aLine) {
  std::vector<std::string> words;
  std::istringstream in(aLine);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::cout << kUsage;
    return args.empty() ? 2 : 0;
  }
  Host* host = nullptr;
  Settings settings;
  bool readStdin = false;
  bool ok = RunArguments(host, settings, args, readStdin);
  if (readStdin) {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::vector<std::string> words = SplitWords(line);
      if (words.empty() || words[0][0] == '#') continue;
      bool ignored = false;
      ok = RunArguments(host, settings, words, ignored) && ok;
    }
  }
  // The library goes when the host does, with whatever devices are open.
  delete host;
  return ok ? 0 : 1;
}
