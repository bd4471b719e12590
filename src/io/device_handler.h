// The device part of a request: driver key, handle, log id, connection and
// free parameters. One handler lives for one request; the host's calling
// thread owns it. Deserialize throws qError with the readers' messages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/xml_dom.h"

namespace qv {

class qIOHandler;

enum class tqConnectionType { OPOS = 0, TCP = 1, HTTP = 2, Serial = 3, DLL = 4 };
enum class tqParity { None = 0, Even = 1, Odd = 2 };
enum class tqHTTPAuthType { at_None = 0, at_Basic = 1, at_Digest = 2 };

class qConnection {
 public:
  qConnection() = default;

  static tqConnectionType ConvertConnectionType(const std::u16string& aString);
  static tqParity ConvertParity(const std::u16string& aString);
  static tqHTTPAuthType ConvertAuthType(const std::u16string& aString);

  // Both time-outs stay positive: 0 or less leaves the previous value.
  int32_t ConnectTimeOut() const { return fConnectTimeout; }
  void SetConnectTimeOut(int32_t aValue) {
    if (aValue > 0) fConnectTimeout = aValue;
  }
  int32_t ReadTimeOut() const { return fReadTimeout; }
  void SetReadTimeOut(int32_t aValue) {
    if (aValue > 0) fReadTimeout = aValue;
  }

  std::u16string fAddress;
  int32_t fPort = 0;
  std::u16string fURL;
  tqHTTPAuthType fAuthType = tqHTTPAuthType::at_None;
  std::u16string fUser;
  std::u16string fPassword;
  std::u16string fSerialPort;
  int32_t fSpeed = 0;
  int32_t fDataBits = 0;
  tqParity fParity = tqParity::None;
  int32_t fStopBits = 0;
  std::u16string fDeviceName;
  std::u16string fLibraryName;
  tqConnectionType fConnectionType = tqConnectionType::OPOS;

 private:
  int32_t fConnectTimeout = 1000;
  int32_t fReadTimeout = 1000;
};

class qDeviceHandler {
 public:
  qDeviceHandler();
  virtual ~qDeviceHandler();
  qDeviceHandler(const qDeviceHandler&) = delete;
  qDeviceHandler& operator=(const qDeviceHandler&) = delete;

  // Parses the request text and fills the device part; returns the parsed
  // document for further reading. Adds to the parameter list without
  // clearing it.
  std::shared_ptr<const XmlDocument> Deserialize(const std::u16string& aXml);

  std::u16string GetParameter(const std::u16string& aName) const;
  bool ParameterExists(const std::u16string& aName) const;

  // The I/O handler for the connection, logging into aLogDir.
  std::unique_ptr<qIOHandler> CreateIOHandler(const std::u16string& aLogDir) const;

  const std::u16string& Driver() const { return fDriver; }
  const std::u16string& Method() const { return fMethod; }
  const qConnection& Connection() const { return *fConnection; }
  int32_t DeviceHandle() const { return fDeviceHandle; }
  const std::u16string& LogId() const { return fLogId; }
  // "name=value" lines, names lower-cased, in request order.
  const std::vector<std::u16string>& Parameters() const { return fParameters; }

 protected:
  std::u16string fDriver;
  std::u16string fMethod;
  std::unique_ptr<qConnection> fConnection;
  int32_t fDeviceHandle = 0;
  std::vector<std::u16string> fParameters;
  std::u16string fLogId;
};

}  // namespace qv
