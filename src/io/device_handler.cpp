#include "io/device_handler.h"

#include "core/error.h"
#include "core/text.h"
#include "io/io_handler_dll.h"
#include "receipt/qrpt_util.h"

namespace qv {

tqConnectionType qConnection::ConvertConnectionType(const std::u16string& aString) {
  const std::u16string word = LowerCase(aString);
  if (word == u"serial") return tqConnectionType::Serial;
  if (word == u"http") return tqConnectionType::HTTP;
  if (word == u"tcp") return tqConnectionType::TCP;
  if (word == u"opos") return tqConnectionType::OPOS;
  if (word == u"dll") return tqConnectionType::DLL;
  throw qError(u"Connection Type " + aString + u" is not valid");
}

tqParity qConnection::ConvertParity(const std::u16string& aString) {
  const std::u16string word = LowerCase(aString);
  if (word == u"none") return tqParity::None;
  if (word == u"odd") return tqParity::Odd;
  if (word == u"even") return tqParity::Even;
  throw qError(u"Connection Parity " + aString + u" is not valid");
}

tqHTTPAuthType qConnection::ConvertAuthType(const std::u16string& aString) {
  const std::u16string word = LowerCase(aString);
  if (word == u"basic") return tqHTTPAuthType::at_Basic;
  if (word == u"digest") return tqHTTPAuthType::at_Digest;
  return tqHTTPAuthType::at_None;
}

qDeviceHandler::qDeviceHandler() : fConnection(std::make_unique<qConnection>()) {}

qDeviceHandler::~qDeviceHandler() = default;

std::shared_ptr<const XmlDocument> qDeviceHandler::Deserialize(const std::u16string& aXml) {
  std::shared_ptr<const XmlDocument> document = ParseXmlDocument(aXml);
  const XmlNode& root = document->DocumentElement();

  fDriver = qrptUtil::GetNodeValueAsString(root, u"Driver");
  fMethod = qrptUtil::GetNodeValueAsString(root, u"Method");
  fDeviceHandle = qrptUtil::GetNodeValueAsInteger(root, u"Handle");
  fLogId = qrptUtil::GetNodeValueAsString(root, u"LogId");

  if (const XmlNode* connection = qrptUtil::FindChild(root, u"Connection")) {
    qConnection& c = *fConnection;
    c.fConnectionType = qConnection::ConvertConnectionType(qrptUtil::GetNodeValueAsString(*connection, u"Type"));
    c.SetConnectTimeOut(qrptUtil::GetNodeValueAsInteger(*connection, u"ConnectTimeout"));
    c.SetReadTimeOut(qrptUtil::GetNodeValueAsInteger(*connection, u"ReadTimeout"));
    switch (c.fConnectionType) {
      case tqConnectionType::OPOS:
        c.fDeviceName = qrptUtil::GetNodeValueAsString(*connection, u"DeviceName");
        break;
      case tqConnectionType::TCP:
      case tqConnectionType::HTTP:
        c.fAddress = qrptUtil::GetNodeValueAsString(*connection, u"Address");
        c.fPort = qrptUtil::GetNodeValueAsInteger(*connection, u"Port");
        c.fURL = qrptUtil::GetNodeValueAsString(*connection, u"URL");
        c.fAuthType = qConnection::ConvertAuthType(qrptUtil::GetNodeValueAsString(*connection, u"AuthType"));
        c.fUser = qrptUtil::GetNodeValueAsString(*connection, u"User");
        c.fPassword = qrptUtil::GetNodeValueAsString(*connection, u"Password");
        break;
      case tqConnectionType::Serial:
        c.fSerialPort = qrptUtil::GetNodeValueAsString(*connection, u"SerialPort");
        c.fSpeed = qrptUtil::GetNodeValueAsInteger(*connection, u"Speed");
        c.fDataBits = qrptUtil::GetNodeValueAsInteger(*connection, u"DataBits");
        c.fParity = qConnection::ConvertParity(qrptUtil::GetNodeValueAsString(*connection, u"Parity"));
        c.fStopBits = qrptUtil::GetNodeValueAsInteger(*connection, u"StopBits");
        break;
      case tqConnectionType::DLL:
        c.fLibraryName = qrptUtil::GetNodeValueAsString(*connection, u"LibraryName");
        break;
    }
  }

  if (const XmlNode* parameters = qrptUtil::FindChild(root, u"Parameters")) {
    // Only elements are parameters: text, comments and processing
    // instructions between them carry no name a driver could ask for.
    for (const XmlNode& child : parameters->fChildren) {
      if (!child.IsElement()) continue;
      fParameters.push_back(LowerCase(child.fName) + u"=" +
                            qrptUtil::GetNodeValueAsString(*parameters, child.fName));
    }
  }

  if (ParameterExists(u"DeviceName")) fConnection->fDeviceName = GetParameter(u"DeviceName");
  if (ParameterExists(u"ConnectTimeout")) {
    const std::u16string value = GetParameter(u"ConnectTimeout");
    int32_t timeout = 0;
    if (!TryStrToInt(value, timeout)) throw qError(FormatS(u"'%s' is not a valid integer value", value));
    fConnection->SetConnectTimeOut(timeout);
  }
  return document;
}

namespace {

// The first "name=value" line whose name matches aName ignoring case.
const std::u16string* FindParameter(const std::vector<std::u16string>& aLines, const std::u16string& aName) {
  for (const auto& line : aLines) {
    const size_t eq = line.find(u'=');
    const std::u16string_view name = std::u16string_view(line).substr(0, eq);
    if (SameText(name, aName)) return &line;
  }
  return nullptr;
}

}  // namespace

std::u16string qDeviceHandler::GetParameter(const std::u16string& aName) const {
  const std::u16string* line = FindParameter(fParameters, aName);
  if (!line) return std::u16string();
  const size_t eq = line->find(u'=');
  return eq == std::u16string::npos ? std::u16string() : line->substr(eq + 1);
}

std::unique_ptr<qIOHandler> qDeviceHandler::CreateIOHandler(const std::u16string& aLogDir) const {
  const std::u16string fileName = fDriver + u"_" + fLogId;
  std::unique_ptr<qIOHandler> handler;
  switch (fConnection->fConnectionType) {
    case tqConnectionType::DLL:
      handler = std::make_unique<qIOHandler_Dll>(*fConnection, aLogDir, fileName);
      break;
    case tqConnectionType::OPOS:
      throw qError(u"Connection type opos is not supported by this library");
    case tqConnectionType::TCP:
      throw qError(u"Connection type tcp is not supported by this library");
    case tqConnectionType::HTTP:
      throw qError(u"Connection type http is not supported by this library");
    case tqConnectionType::Serial:
      throw qError(u"Connection type serial is not supported by this library");
  }
  // Set after construction, so the handler's own construction entries are
  // never rendered in hexadecimal.
  handler->SetHexLog(LowerCase(GetParameter(u"HexLog")) == u"true");
  return handler;
}

bool qDeviceHandler::ParameterExists(const std::u16string& aName) const {
  return FindParameter(fParameters, aName) != nullptr;
}

}  // namespace qv
