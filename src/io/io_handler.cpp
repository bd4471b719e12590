#include "io/io_handler.h"

#include "core/text.h"
#include "io/device_handler.h"
#include "log/log_writer.h"

namespace qv {

qIOHandler::qIOHandler(const qConnection* aConnection, const std::u16string& aDirectory,
                       const std::u16string& aFileName) {
  if (aConnection) {
    fReadTimeout = aConnection->ReadTimeOut();
    fConnectTimeout = aConnection->ConnectTimeOut();
  }
  if (!aDirectory.empty() && !aFileName.empty()) {
    fLogger = std::make_unique<tQV_LogWriter>(aFileName, aDirectory, 0, true);
    fLogger->Write(let_info, u"*************************** START ***************************");
  }
}

qIOHandler::~qIOHandler() {
  if (fLogger) fLogger->Write(let_info, u"*************************** STOP ****************************");
  // The writer writes out what is still queued when it goes.
}

bool qIOHandler::Connect() {
  Debug(let_info, u"*************************************************************");
  Debug(let_info, ClassName());
  Debug(let_info, fVersion);
  Debug(let_info, u"ConnectTimeout=" + IntToStr(fConnectTimeout));
  Debug(let_info, u"ReadTimeout=" + IntToStr(fReadTimeout));
  return true;
}

void qIOHandler::WriteLog(tQV_MessageType aEntryType, const std::u16string& aTitle, const std::u16string& aMessage) {
  if (!fLogger) return;
  std::u16string entry;
  entry.reserve(aTitle.size() + 1 + aMessage.size() + (fHexLog ? 3 + aMessage.size() * 5 : 0));
  entry.append(aTitle).append(1, u':').append(aMessage);
  if (fHexLog) entry.append(u" [").append(StringToHex(aMessage)).append(1, u']');
  fLogger->Write(aEntryType, entry);
}

void qIOHandler::Debug(tQV_MessageType aEntryType, const std::u16string& aMessage) {
  if (fLogger) fLogger->Write(aEntryType, aMessage);
}

void qIOHandler::SetCustomError(int32_t aErrorCode, const std::u16string& aErrorMessage) {
  fErrorFound = true;
  fErrorCode = aErrorCode;
  fErrorMessage = aErrorMessage;
}

void qIOHandler::ResetCustomError() {
  fErrorFound = false;
  fErrorCode = 0;
  fErrorMessage.clear();
}

std::u16string qIOHandler::GetLogFileName() const { return fLogger ? fLogger->FileName() : std::u16string(); }

void qIOHandler::SetTemporaryReadTimeout(int32_t aNewTimeout) {
  if (fLogger)
    fLogger->Write(let_info, u"Set Read Timeout to " + IntToStr(aNewTimeout) + u"ms from " + IntToStr(fReadTimeout) +
                                 u" ms");
  if (aNewTimeout > 0) {
    fTemporaryReadTimeout = fReadTimeout;
    fReadTimeout = aNewTimeout;
  }
}

void qIOHandler::ResetTemporaryReadTimeout() {
  if (fLogger) fLogger->Write(let_info, u"Reset Timeout to " + IntToStr(fTemporaryReadTimeout) + u" ms");
  if (fTemporaryReadTimeout != 0) fReadTimeout = fTemporaryReadTimeout;
}

std::u16string qIOHandler::StringToHex(std::u16string_view aText) {
  static const char16_t kDigits[] = u"0123456789abcdef";
  std::u16string out;
  out.reserve(aText.size() * 3);
  for (const char16_t c : aText) {
    if (!out.empty()) out.push_back(u' ');
    if (c > 0xFFF) out.push_back(kDigits[c >> 12]);
    if (c > 0xFF) out.push_back(kDigits[(c >> 8) & 0xF]);
    out.push_back(kDigits[(c >> 4) & 0xF]);
    out.push_back(kDigits[c & 0xF]);
  }
  return out;
}

std::u16string qIOHandler::CurrencyToString(Currency aValue) { return qv::CurrencyToString(aValue); }

}  // namespace qv
