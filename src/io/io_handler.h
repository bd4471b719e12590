// qIOHandler: the channel through which a device reaches its terminal or
// service, with the device's own log. The base keeps the log (START and STOP
// banners, data entries with an optional hexadecimal rendering, free text),
// the connect and read time-outs, an error slot that callers read after an
// operation, and a temporary read time-out.
//
// Owns: the device's tQV_LogWriter (absent when the directory or the file
// name is empty: every log operation then does nothing).
// Throws: the base raises nothing of its own; errors of the log writer pass
// through. Subclasses document their own.
// Thread: the host's calling thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/currency.h"
#include "log/message_type.h"

namespace qv {

class qConnection;
class tQV_LogWriter;

class qIOHandler {
 public:
  // aConnection may be null: both time-outs then stay 0.
  qIOHandler(const qConnection* aConnection, const std::u16string& aDirectory, const std::u16string& aFileName);
  virtual ~qIOHandler();
  qIOHandler(const qIOHandler&) = delete;
  qIOHandler& operator=(const qIOHandler&) = delete;

  // Writes the connection banner; subclasses call it first, then connect.
  virtual bool Connect();
  virtual bool Disconnect() = 0;
  virtual void ClearBuffers() = 0;
  virtual bool Write(const std::u16string& aMessage) = 0;
  // Reads until one of the given byte values arrives.
  virtual std::u16string ReadUpTo(const std::vector<uint8_t>& aChars) = 0;
  virtual std::u16string ReadChars(int32_t aCharsNum) = 0;
  virtual std::u16string DecodeError(int32_t aErrorCode) = 0;
  virtual void SetParameter(const std::u16string& aName, const std::u16string& aValue) = 0;
  // The run-time class name that the connection banner shows.
  virtual std::u16string ClassName() const = 0;

  // One data entry: title, ":", message (and " [hex]" with HexLog).
  void WriteLog(tQV_MessageType aEntryType, const std::u16string& aTitle, const std::u16string& aMessage);
  // One entry of free text.
  void Debug(tQV_MessageType aEntryType, const std::u16string& aMessage);
  void SetCustomError(int32_t aErrorCode, const std::u16string& aErrorMessage);
  void ResetCustomError();
  // Full path of the current log file; empty without a log.
  std::u16string GetLogFileName() const;
  void SetTemporaryReadTimeout(int32_t aNewTimeout);
  void ResetTemporaryReadTimeout();

  bool ErrorFound() const { return fErrorFound; }
  int32_t ErrorCode() const { return fErrorCode; }
  const std::u16string& ErrorMessage() const { return fErrorMessage; }
  bool Connected() const { return fConnected; }
  bool HexLog() const { return fHexLog; }
  void SetHexLog(bool aValue) { fHexLog = aValue; }
  int32_t ConnectTimeout() const { return fConnectTimeout; }
  void SetConnectTimeout(int32_t aValue) { fConnectTimeout = aValue; }
  int32_t ReadTimeout() const { return fReadTimeout; }
  void SetReadTimeout(int32_t aValue) { fReadTimeout = aValue; }
  const std::u16string& Version() const { return fVersion; }
  void SetVersion(const std::u16string& aValue) { fVersion = aValue; }
  // The writer itself, for the library's unload path; null without a log.
  tQV_LogWriter* Logger() const { return fLogger.get(); }

  // Each UTF-16 unit in lower-case hexadecimal, at least two digits, one
  // blank between them ("A\r" gives "41 0d").
  static std::u16string StringToHex(std::u16string_view aText);
  // Decimal with "." and only the decimals the value needs (12.5, 3, -0.05).
  static std::u16string CurrencyToString(Currency aValue);

 protected:
  bool fErrorFound = false;
  int32_t fErrorCode = 0;
  std::u16string fErrorMessage;
  bool fConnected = false;
  std::unique_ptr<tQV_LogWriter> fLogger;
  bool fHexLog = false;
  int32_t fConnectTimeout = 0;
  int32_t fReadTimeout = 0;
  int32_t fTemporaryReadTimeout = 0;
  std::u16string fVersion;
};

}  // namespace qv
