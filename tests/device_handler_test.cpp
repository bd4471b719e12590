#include <gtest/gtest.h>

#include "core/error.h"
#include "io/device_handler.h"
#include "test_support.h"

namespace qv {
namespace {

TEST(DeviceHandlerTest, BareRootGivesDefaults) {
  qDeviceHandler h;
  h.Deserialize(u"<Request/>");
  EXPECT_EQ(h.Driver(), u"");
  EXPECT_EQ(h.Method(), u"");
  EXPECT_EQ(h.LogId(), u"");
  EXPECT_EQ(h.DeviceHandle(), 0);
  EXPECT_EQ(h.Connection().fConnectionType, tqConnectionType::OPOS);
  EXPECT_EQ(h.Connection().ConnectTimeOut(), 1000);
  EXPECT_EQ(h.Connection().ReadTimeOut(), 1000);
  EXPECT_TRUE(h.Parameters().empty());
}

TEST(DeviceHandlerTest, DllRequest) {
  qDeviceHandler h;
  auto doc = h.Deserialize(
      u"<Any><Driver>QVPA_ZELQ_10</Driver><Method>m</Method><Handle>7</Handle><LogId>Till01</LogId>"
      u"<Connection><Type>DLL</Type><LibraryName>C:\\eft\\vendor.dll</LibraryName><Port>99</Port>"
      u"<ConnectTimeout>5000</ConnectTimeout><ReadTimeout>60000</ReadTimeout></Connection>"
      u"<Parameters><ConfigFileName>C:\\eft\\cfg.ini</ConfigFileName><HexLog>true</HexLog><Empty/>"
      u"<DeviceName>X</DeviceName><HexLog>second</HexLog></Parameters></Any>");
  ASSERT_TRUE(doc);
  EXPECT_EQ(h.Driver(), u"QVPA_ZELQ_10");
  EXPECT_EQ(h.Method(), u"m");
  EXPECT_EQ(h.DeviceHandle(), 7);
  EXPECT_EQ(h.LogId(), u"Till01");
  const qConnection& c = h.Connection();
  EXPECT_EQ(c.fConnectionType, tqConnectionType::DLL);
  EXPECT_EQ(c.fLibraryName, u"C:\\eft\\vendor.dll");
  EXPECT_EQ(c.fPort, 0);  // not read for a dll connection
  EXPECT_EQ(c.ConnectTimeOut(), 5000);
  EXPECT_EQ(c.ReadTimeOut(), 60000);
  EXPECT_EQ(c.fDeviceName, u"X");  // the parameter applies whatever the type
  const std::vector<std::u16string> expected = {u"configfilename=C:\\eft\\cfg.ini", u"hexlog=true", u"empty=",
                                                u"devicename=X", u"hexlog=true"};
  EXPECT_EQ(h.Parameters(), expected);
  EXPECT_EQ(h.GetParameter(u"CONFIGFILENAME"), u"C:\\eft\\cfg.ini");
  EXPECT_EQ(h.GetParameter(u"missing"), u"");
  EXPECT_TRUE(h.ParameterExists(u"empty"));
  EXPECT_FALSE(h.ParameterExists(u"missing"));
}

TEST(DeviceHandlerTest, ConnectionTypes) {
  qDeviceHandler tcp;
  tcp.Deserialize(
      u"<R><Connection><Type>Tcp</Type><Address>10.0.0.1</Address><Port>9100</Port><URL>/x</URL>"
      u"<AuthType>DIGEST</AuthType><User>u</User><Password>p</Password><Parity>bogus</Parity>"
      u"<ConnectTimeout>0</ConnectTimeout><ReadTimeout>-5</ReadTimeout></Connection></R>");
  EXPECT_EQ(tcp.Connection().fConnectionType, tqConnectionType::TCP);
  EXPECT_EQ(tcp.Connection().fAddress, u"10.0.0.1");
  EXPECT_EQ(tcp.Connection().fPort, 9100);
  EXPECT_EQ(tcp.Connection().fAuthType, tqHTTPAuthType::at_Digest);
  EXPECT_EQ(tcp.Connection().ConnectTimeOut(), 1000);
  EXPECT_EQ(tcp.Connection().ReadTimeOut(), 1000);

  qDeviceHandler serial;
  serial.Deserialize(
      u"<R><Connection><Type>serial</Type><SerialPort>COM3</SerialPort><Speed>9600</Speed><DataBits>8</DataBits>"
      u"<Parity>EVEN</Parity><StopBits>1</StopBits></Connection></R>");
  EXPECT_EQ(serial.Connection().fSerialPort, u"COM3");
  EXPECT_EQ(serial.Connection().fSpeed, 9600);
  EXPECT_EQ(serial.Connection().fParity, tqParity::Even);

  qDeviceHandler opos;
  opos.Deserialize(u"<R><Connection><Type>OPOS</Type><DeviceName>FP1</DeviceName></Connection></R>");
  EXPECT_EQ(opos.Connection().fDeviceName, u"FP1");

  qDeviceHandler override;
  override.Deserialize(
      u"<R><Connection><Type>dll</Type><ConnectTimeout>5000</ConnectTimeout></Connection>"
      u"<Parameters><connecttimeout>3000</connecttimeout></Parameters></R>");
  EXPECT_EQ(override.Connection().ConnectTimeOut(), 3000);
}

TEST(DeviceHandlerTest, Failures) {
  struct Case {
    const char16_t* xml;
    const char16_t* message;
  } cases[] = {
      {u"<R><Connection><Type>usb</Type></Connection></R>", u"Connection Type usb is not valid"},
      {u"<R><Connection/></R>", u"Connection Type  is not valid"},
      {u"<R><Connection><Type>Serial</Type><Parity>mark</Parity></Connection></R>",
       u"Connection Parity mark is not valid"},
      {u"<R><Connection><Type>serial</Type></Connection></R>", u"Connection Parity  is not valid"},
      {u"<R><Handle>abc</Handle></R>", u"Error in processing node Handle as integer.\r\n'abc' is not a valid integer value"},
      {u"<R><Connection><Type>tcp</Type><Port>x</Port></Connection></R>",
       u"Error in processing node Port as integer.\r\n'x' is not a valid integer value"},
      {u"<R><Parameters><ConnectTimeout>abc</ConnectTimeout></Parameters></R>", u"'abc' is not a valid integer value"},
      {u"<R><Parameters><ConnectTimeout/></Parameters></R>", u"'' is not a valid integer value"},
      {u"<R><Parameters><X><Y/></X></Parameters></R>",
       u"Error in processing node X as string.\r\nElement \"X\" does not contain a single text node"},
      {u"", u"XML request is empty"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.xml));
    qDeviceHandler h;
    EXPECT_QV_ERROR(h.Deserialize(c.xml), std::u16string(c.message));
  }
}

TEST(DeviceHandlerTest, ConnectionWords) {
  EXPECT_EQ(qConnection::ConvertConnectionType(u"HTTP"), tqConnectionType::HTTP);
  EXPECT_EQ(qConnection::ConvertConnectionType(u"dLl"), tqConnectionType::DLL);
  EXPECT_EQ(qConnection::ConvertParity(u"None"), tqParity::None);
  EXPECT_EQ(qConnection::ConvertParity(u"ODD"), tqParity::Odd);
  EXPECT_EQ(qConnection::ConvertAuthType(u"Basic"), tqHTTPAuthType::at_Basic);
  EXPECT_EQ(qConnection::ConvertAuthType(u""), tqHTTPAuthType::at_None);
  EXPECT_EQ(qConnection::ConvertAuthType(u"ntlm"), tqHTTPAuthType::at_None);
  EXPECT_QV_ERROR(qConnection::ConvertConnectionType(u"Usb"), u"Connection Type Usb is not valid");
}

}  // namespace
}  // namespace qv
