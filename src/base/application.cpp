#include "base/application.h"

#include <charconv>
#include <cmath>

#include "core/error.h"
#include "base/user_message.h"
#include "core/text.h"
#include "platform/file_system.h"
#include "platform/process_info.h"
#include "platform/raw_resource.h"
#include "platform/regional_settings.h"

namespace qv {

namespace {

// A plain pointer owned through these functions, never by a static
// destructor: the library's unload code decides how the object goes.
tQV_Application* gApplication = nullptr;

bool IsAbsolutePath(const std::u16string& aPath) {
  if (!aPath.empty() && IsPathDelimiter(aPath[0])) return true;
  // A drive letter only makes a path absolute where "\" is the separator.
  return PathDelimiter() == u'\\' && aPath.size() >= 2 && aPath[1] == u':';
}

}  // namespace

tQV_Application* Application() { return gApplication; }

void CreateApplication() {
  if (!gApplication) gApplication = new tQV_Application();
}

void DestroyApplication() {
  delete gApplication;
  gApplication = nullptr;
}

void AbandonApplication() { gApplication = nullptr; }

tQV_Application::tQV_Application() {
  fWait = std::make_unique<tQV_Wait>();
  fSetup = std::make_unique<tQV_Setup>();
  fLogger = std::make_unique<tQV_LogWriter>(GetApplicationName(), JoinPath(GetApplicationDirectory(), u"LogFiles"),
                                            0, false);
  fIsBatch = !GetCommandLineParameter(u"/BATCH", true).empty();
  fIsDebug = !GetCommandLineParameter(u"/DEBUG", true).empty();
  fInfo = std::make_unique<tQV_ApplicationInfo>();
  fInfo->Load();
  fReleaseDateText = FormatShortDate(fInfo->ReleaseDate());
  std::u16string messages;
  if (LoadRawDataResource(u"MESSAGES", messages)) LoadMessages(messages);
}

tQV_Application::~tQV_Application() {
  DeleteNotifyIcon();
  fSingleInstanceMutex.reset();
  fSetup.reset();
  fLogger.reset();
  fWait.reset();
  fMessages.clear();
  fInfo.reset();
}

void tQV_Application::LoadMessages(const std::u16string& aText) {
  size_t start = 0;
  while (start <= aText.size()) {
    size_t end = aText.find(u'\n', start);
    if (end == std::u16string::npos) end = aText.size();
    std::u16string line = aText.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    const bool last = end >= aText.size();
    // A final line end does not start one more (empty) line.
    if (!(last && line.empty() && start > 0)) {
      const std::u16string key = GetField(line, 1, u':', false);
      if (!fMessages.emplace(key, GetField(line, 2, u':', false)).second) throw qError(u"Duplicates not allowed");
    }
    if (last) break;
    start = end + 1;
  }
}

std::u16string tQV_Application::GetMessage(const std::u16string& aMessageId) const { return GetMessage(aMessageId, {}); }

std::u16string tQV_Application::GetMessage(const std::u16string& aMessageId,
                                           const std::vector<std::u16string>& aValues) const {
  std::u16string text;
  auto it = fMessages.find(aMessageId + u"." + Language);
  if (it == fMessages.end()) it = fMessages.find(aMessageId + u"." + DefaultLanguage);
  text = it != fMessages.end() ? it->second : u"Message " + aMessageId + u" not found";
  std::u16string out;
  size_t next = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%' || i + 1 >= text.size()) {
      out.push_back(text[i]);
      continue;
    }
    const char16_t d = text[i + 1];
    if (d == u'%') {
      out.push_back(u'%');
    } else if (d == u's' || d == u'd') {
      if (next >= aValues.size()) throw qError(FormatS(u"Format '%s' invalid or incompatible with argument", text));
      out += aValues[next++];
    } else {
      out.push_back(text[i]);
      continue;
    }
    ++i;
  }
  return out;
}

void tQV_Application::ChangeLogDirectory(const std::u16string& aNewDir) {
  CheckPathChars(aNewDir);
  fLogger->SetDirectory(IsAbsolutePath(aNewDir) ? aNewDir
                                                : JoinPath(JoinPath(GetApplicationDirectory(), u"LogFiles"), aNewDir));
}

std::u16string tQV_Application::GetLogDirectory() const { return fLogger->Directory(); }

void tQV_Application::CreateNotifyIcon(intptr_t aWindow) {
  fIconData = tqNotifyIconData();
  fIconData.fSize = 956;
  fIconData.fWindow = aWindow;
  fIconData.fId = 1;
  fIconData.fCallbackMessage = 1024 + 100;
  fIconData.fFlags = 3;
  RegisterNotifyIcon(fIconData, true);
  fNotifyIcon = true;
}

void tQV_Application::DeleteNotifyIcon() {
  if (!fNotifyIcon) return;
  fIconData.fFlags = 0;
  RegisterNotifyIcon(fIconData, false);
  fNotifyIcon = false;
}

void tQV_Application::Log(tQV_MessageType aEntryType, const std::u16string& aMessage) {
  if (aEntryType == let_error) fLastError = aMessage;
  fLogger->Write(aEntryType, aMessage);
}

void tQV_Application::Terminate() {
  ProcessPendingMessages();
  SleepMilliseconds(500);
  PostQuitRequest();
}

void tQV_Application::SetSingleInstance(bool aValue) {
  if (aValue == fSingleInstance) return;
  fSingleInstance = aValue;
  if (aValue) {
    fSingleInstanceMutex = qNamedMutex::TryAcquire(GetApplicationName());
    if (!fSingleInstanceMutex) {
      ShowUserMessage(let_error, u"Impossible to enter single instance mode.");
      PostQuitRequest();
    }
  } else {
    fSingleInstanceMutex.reset();
  }
}

std::u16string GetApplicationDirectory() {
  const std::u16string path = ExecutablePath();
  const std::u16string name = ExtractFileName(path);
  return path.substr(0, path.size() - name.size());
}

std::u16string GetApplicationName() {
  const std::u16string name = ExtractFileName(ExecutablePath());
  const size_t dot = name.rfind(u'.');
  return dot == std::u16string::npos ? name : name.substr(0, dot);
}

std::u16string GetCommandLineParameter(const std::u16string& aName, bool aWhole) {
  return GetCommandLineParameter(CommandLineParameters(), aName, aWhole);
}

std::u16string GetCommandLineParameter(const std::vector<std::u16string>& aParameters, const std::u16string& aName,
                                       bool aWhole) {
  for (const std::u16string& param : aParameters) {
    const bool equal = SameText(param, aName);
    const bool prefixed = param.size() > aName.size() && SameText(param.substr(0, aName.size()), aName) &&
                          (param[aName.size()] == u':' || param[aName.size()] == u'=');
    if (!equal && !prefixed) continue;
    if (aWhole) return param;
    return equal ? std::u16string() : param.substr(aName.size() + 1);
  }
  return std::u16string();
}

std::u16string GetField(const std::u16string& aText, int aField, char16_t aSeparator, bool aRest) {
  if (aField < 1) return aRest ? aText : std::u16string();
  size_t start = 0;
  for (int k = 1; k < aField; ++k) {
    const size_t sep = aText.find(aSeparator, start);
    if (sep == std::u16string::npos) return std::u16string();
    start = sep + 1;
  }
  if (aRest) return aText.substr(start);
  const size_t end = aText.find(aSeparator, start);
  return aText.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
}

std::u16string FormatNumber(double aNumber, int aWidth, int aDecimals, const std::u16string& aDecimalSeparator,
                            bool aSigned) {
  char buf[512];
  std::u16string text;
  if (aDecimals <= 0 && aNumber == std::trunc(aNumber) && std::fabs(aNumber) < 9.0e15) {
    // Whole numbers (the counter key's codes) need no floating-point form.
    text = IntToStr(static_cast<int64_t>(aNumber));
  } else {
    const auto result = std::to_chars(buf, buf + sizeof(buf), aNumber, std::chars_format::fixed,
                                      aDecimals < 0 ? 0 : aDecimals);
    if (result.ec == std::errc()) text.assign(buf, result.ptr);
  }
  std::u16string replaced;
  for (const char16_t c : text) {
    if (c == u'.')
      replaced += aDecimalSeparator;
    else
      replaced.push_back(c);
  }
  size_t first = replaced.find_first_not_of(u' ');
  size_t last = replaced.find_last_not_of(u' ');
  replaced = first == std::u16string::npos ? std::u16string() : replaced.substr(first, last - first + 1);
  if (aWidth < 0) aWidth = 0;
  std::u16string filled = std::u16string(static_cast<size_t>(aWidth), u'0') + replaced;
  filled = filled.substr(filled.size() - static_cast<size_t>(aWidth));
  if (aSigned && !filled.empty()) filled[0] = aNumber < 0 ? u'-' : u'+';
  return filled;
}

}  // namespace qv
