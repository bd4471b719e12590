// tQV_Application: the one process-wide application object of the library.
// It is created when the library is loaded and destroyed when it is unloaded;
// "the application" is always the host: its executable, its directory and its
// command line. It owns the application log (LogFiles beside the host's
// executable), the settings store, the version information, the wait window,
// the message dictionary, the single-instance mutex and the notification
// icon.
//
// Throws: the constructor raises qError when the version information cannot
// be loaded or the message resource holds a duplicate key; GetMessage raises
// qError for a directive without a value; ChangeLogDirectory raises qError
// "Invalid characters in path". Thread: the thread that loaded the library
// and calls it (the host's).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/application_info.h"
#include "base/setup.h"
#include "base/wait.h"
#include "log/log_writer.h"
#include "log/message_type.h"
#include "platform/desktop.h"

namespace qv {

class tQV_Application {
 public:
  tQV_Application();
  ~tQV_Application();
  tQV_Application(const tQV_Application&) = delete;
  tQV_Application& operator=(const tQV_Application&) = delete;

  std::u16string GetMessage(const std::u16string& aMessageId) const;
  // %s and %d take the values in order, %% gives one percent sign.
  std::u16string GetMessage(const std::u16string& aMessageId, const std::vector<std::u16string>& aValues) const;
  // Fills the message dictionary from lines "key:text"; a key given twice
  // fails with "Duplicates not allowed".
  void LoadMessages(const std::u16string& aText);

  void ChangeLogDirectory(const std::u16string& aNewDir);
  std::u16string GetLogDirectory() const;
  void CreateNotifyIcon(intptr_t aWindow);
  void DeleteNotifyIcon();
  void Log(tQV_MessageType aEntryType, const std::u16string& aMessage);
  void Terminate();

  bool SingleInstance() const { return fSingleInstance; }
  void SetSingleInstance(bool aValue);

  tQV_Wait& Wait() { return *fWait; }
  tQV_Setup& Setup() { return *fSetup; }
  tQV_LogWriter& Logger() { return *fLogger; }
  const tQV_ApplicationInfo& Info() const { return *fInfo; }
  // The release date in the user's short date form as it was when the
  // application object was made.
  const std::u16string& ReleaseDateText() const { return fReleaseDateText; }
  const std::u16string& LastError() const { return fLastError; }
  bool IsBatch() const { return fIsBatch; }
  bool IsDebug() const { return fIsDebug; }
  bool NotifyIcon() const { return fNotifyIcon; }
  const tqNotifyIconData& IconData() const { return fIconData; }
  bool HideOnMinimize = false;
  std::u16string DefaultLanguage;
  std::u16string Language;

 private:
  std::unique_ptr<tQV_Setup> fSetup;
  std::unique_ptr<tQV_Wait> fWait;
  tqNotifyIconData fIconData;
  bool fNotifyIcon = false;
  std::unique_ptr<tQV_LogWriter> fLogger;
  std::u16string fLastError;
  bool fIsBatch = false;
  bool fIsDebug = false;
  bool fSingleInstance = false;
  std::unique_ptr<qNamedMutex> fSingleInstanceMutex;
  std::map<std::u16string, std::u16string> fMessages;
  std::unique_ptr<tQV_ApplicationInfo> fInfo;
  std::u16string fReleaseDateText;
};

// The process-wide instance; null before the library created it and after it
// destroyed it.
tQV_Application* Application();
// Creates and destroys the process-wide instance (library load and unload).
void CreateApplication();
void DestroyApplication();
// Forgets the instance without destroying it (process exit).
void AbandonApplication();

// The host executable's directory, with its final separator.
std::u16string GetApplicationDirectory();
// The host executable's file name without its extension.
std::u16string GetApplicationName();
// The first parameter that equals aName or starts with aName and ":" or "="
// (letter case ignored): as written when aWhole, else the text after the name
// and its separator. Empty when there is none.
std::u16string GetCommandLineParameter(const std::u16string& aName, bool aWhole);
// The same rule over a given parameter list.
std::u16string GetCommandLineParameter(const std::vector<std::u16string>& aParameters, const std::u16string& aName,
                                       bool aWhole);
// Field aField (from 1) of aText split at aSeparator; with aRest everything
// after the (aField-1)-th separator.
std::u16string GetField(const std::u16string& aText, int aField, char16_t aSeparator, bool aRest);
// aNumber in fixed notation with aDecimals decimals and aDecimalSeparator for
// the point, blanks trimmed, zero-filled and cut to its last aWidth
// characters; with aSigned the first character becomes "-" or "+".
std::u16string FormatNumber(double aNumber, int aWidth, int aDecimals, const std::u16string& aDecimalSeparator,
                            bool aSigned);

}  // namespace qv
