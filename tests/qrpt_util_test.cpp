#include <gtest/gtest.h>

#include "core/error.h"
#include "receipt/qrpt_util.h"
#include "test_support.h"

namespace qv {
namespace {

std::shared_ptr<const XmlDocument> Doc(const std::u16string& aBody) { return ParseXmlDocument(u"<R>" + aBody + u"</R>"); }

TEST(ReadersTest, MissingChildGivesNeutralValues) {
  auto doc = Doc(u"<Other>1</Other>");
  const XmlNode& r = doc->DocumentElement();
  EXPECT_EQ(qrptUtil::GetNodeValueAsString(r, u"X"), u"");
  EXPECT_FALSE(qrptUtil::GetNodeValueAsBoolean(r, u"X"));
  EXPECT_EQ(qrptUtil::GetNodeValueAsCurrency(r, u"X"), Currency());
  EXPECT_EQ(qrptUtil::GetNodeValueAsInteger(r, u"X"), 0);
  EXPECT_EQ(qrptUtil::GetNodeValueAsDateTime(r, u"X"), 0.0);
  EXPECT_FALSE(qrptUtil::HasNode(r, u"X"));
  // The lookup is exact and case-sensitive; a prefixed name matches by its local part.
  EXPECT_FALSE(qrptUtil::HasNode(r, u"other"));
  auto ns = ParseXmlDocument(u"<R xmlns:p='urn:p'><p:Driver>D</p:Driver><Driver>E</Driver></R>");
  EXPECT_EQ(qrptUtil::GetNodeValueAsString(ns->DocumentElement(), u"Driver"), u"D");
  EXPECT_EQ(qrptUtil::GetNodeValueAsString(ns->DocumentElement(), u"p:Driver"), u"D");
}

TEST(ReadersTest, ValueTable) {
  enum Kind { Str, Bool, Cur, Int };
  struct Case {
    Kind kind;
    const char16_t* element;    // the child element as written
    const char16_t* expected;   // the value rendered as text, or the whole error message
    bool fails;
  } cases[] = {
      {Str, u"<V/>", u"", false},
      {Str, u"<V> a &amp; b </V>", u" a & b ", false},
      {Str, u"<V><![CDATA[<x>]]></V>", u"<x>", false},
      {Str, u"<V>t<!--c--></V>", u"Error in processing node V as string.\r\nElement \"V\" does not contain a single text node", true},
      {Str, u"<V><W>1</W></V>", u"Error in processing node V as string.\r\nElement \"V\" does not contain a single text node", true},
      {Bool, u"<V>TRUE</V>", u"1", false},
      {Bool, u"<V>false</V>", u"0", false},
      {Bool, u"<V>1</V>", u"1", false},
      {Bool, u"<V>-2</V>", u"1", false},
      {Bool, u"<V>0</V>", u"0", false},
      {Bool, u"<V>yes</V>", u"Error in processing node V as boolean.\r\n'yes' is not a valid boolean value", true},
      {Bool, u"<V/>", u"Error in processing node V as boolean.\r\n'' is not a valid boolean value", true},
      {Cur, u"<V/>", u"0", false},
      {Cur, u"<V>12.50</V>", u"12.5", false},
      {Cur, u"<V>1.23456</V>", u"1.2346", false},
      {Cur, u"<V>1e2</V>", u"100", false},
      {Cur, u"<V>12,50</V>", u"Error in processing node V as currency.\r\n'12,50' is not a valid floating point value", true},
      {Cur, u"<V>1,000.00</V>", u"Error in processing node V as currency.\r\n'1,000.00' is not a valid floating point value", true},
      {Cur, u"<V>922337203685477.5808</V>", u"Error in processing node V as currency.\r\n'922337203685477.5808' is not a valid floating point value", true},
      {Int, u"<V/>", u"0", false},
      {Int, u"<V>0x10</V>", u"16", false},
      {Int, u"<V>-2147483648</V>", u"-2147483648", false},
      {Int, u"<V>12a</V>", u"Error in processing node V as integer.\r\n'12a' is not a valid integer value", true},
      {Int, u"<V>1 </V>", u"Error in processing node V as integer.\r\n'1 ' is not a valid integer value", true},
      {Int, u"<V>2147483648</V>", u"Error in processing node V as integer.\r\n'2147483648' is not a valid integer value", true},
      {Int, u"<V>%s</V>", u"Error in processing node V as integer.\r\n'%s' is not a valid integer value", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.element));
    auto doc = Doc(c.element);
    const XmlNode& r = doc->DocumentElement();
    auto read = [&]() -> std::u16string {
      switch (c.kind) {
        case Str: return qrptUtil::GetNodeValueAsString(r, u"V");
        case Bool: return qrptUtil::GetNodeValueAsBoolean(r, u"V") ? u"1" : u"0";
        case Cur: return CurrencyToString(qrptUtil::GetNodeValueAsCurrency(r, u"V"));
        case Int: return IntToStr(qrptUtil::GetNodeValueAsInteger(r, u"V"));
      }
      return u"";
    };
    if (c.fails) {
      EXPECT_QV_ERROR(read(), std::u16string(c.expected));
    } else {
      EXPECT_EQ(read(), c.expected);
    }
  }
}

TEST(ReadersTest, FirstOfTwoChildrenAndAttributes) {
  auto doc = Doc(u"<V a='x'>first</V><V>second</V>");
  const XmlNode& r = doc->DocumentElement();
  EXPECT_EQ(qrptUtil::GetNodeValueAsString(r, u"V"), u"first");
  EXPECT_EQ(qrptUtil::GetAttributeValueAsString(*qrptUtil::FindChild(r, u"V"), u"a"), u"x");
  EXPECT_EQ(qrptUtil::GetAttributeValueAsString(*qrptUtil::FindChild(r, u"V"), u"b"), u"");
  // A child with children of its own is found, but has no single text value.
  auto nested = Doc(u"<V><W/></V>");
  EXPECT_TRUE(qrptUtil::HasNode(nested->DocumentElement(), u"V"));
}

TEST(ReadersTest, DateTimeTable) {
  struct Case {
    const char16_t* text;
    const char16_t* expected;  // ISO rendering, or the message after the reader's line
    bool fails;
  } cases[] = {
      {u"2024-03-01", u"2024-03-01T00:00:00.000Z", false},
      {u"2024-03-01T23:30:00+01:00", u"2024-03-01T22:30:00.000Z", false},
      {u"2024-03-01T10:00:00-05:30", u"2024-03-01T15:30:00.000Z", false},
      {u"2024-03-01T00:30:00+01:00", u"2024-02-29T23:30:00.000Z", false},
      {u"2024-03-01T10:00:00Z", u"2024-03-01T10:00:00.000Z", false},
      {u"2024-03-01T10:00:00.5", u"2024-03-01T10:00:00.500Z", false},
      {u"2024-03-01T10:00:00.05", u"2024-03-01T10:00:00.050Z", false},
      {u"2024-03-01T10:00:00.123", u"2024-03-01T10:00:00.123Z", false},
      {u"2024-03-01T10", u"2024-03-01T10:00:00.000Z", false},
      {u"-2024-03-01", u"2024-03-01T00:00:00.000Z", false},
      {u"1850-06-15T06:00:00", u"1850-06-15T06:00:00.000Z", false},
      {u"", u"Invalid date string: ", true},
      {u"202", u"Invalid date string: 202", true},
      {u"01/03/2024", u"Invalid date string: 01/03/2024", true},
      {u"2024-03", u"Invalid argument to date encode", true},
      {u"20240301", u"Invalid argument to date encode", true},
      {u"2024-13-01", u"Invalid argument to date encode", true},
      {u"2024-02-30", u"Invalid argument to date encode", true},
      {u"2024-03-01T24:00:00", u"Invalid argument to date encode", true},
      {u"2024-03-01T10:00:00.1234", u"Invalid argument to date encode", true},
      {u"2024-03-01T", u"Invalid time string: ", true},
      {u"2024-03-01Tab", u"Invalid time string: ab", true},
      {u"2024-03-01T10x", u"Invalid time string: 10x", true},
      {u"2024-03-01T10:00:00+", u"Invalid time string: 10:00:00+", true},
      {u"2024-03-01T10:00:00+01:", u"Invalid time Offset string: +01:", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    auto doc = Doc(u"<When>" + std::u16string(c.text) + u"</When>");
    const XmlNode& r = doc->DocumentElement();
    if (c.fails) {
      EXPECT_QV_ERROR(qrptUtil::GetNodeValueAsDateTime(r, u"When"),
                      u"Error in processing node When as datetime.\r\n" + std::u16string(c.expected));
      EXPECT_EQ(qrptUtil::TryGetNodeValueAsDateTime(r, u"When"), 0.0);
    } else {
      EXPECT_EQ(FormatIsoDateTime(qrptUtil::GetNodeValueAsDateTime(r, u"When")), c.expected);
    }
  }
}

TEST(DecodersTest, KeywordsAndMessages) {
  EXPECT_EQ(qrptUtil::DecodeAlignment(u"CENTER"), la_center);
  EXPECT_EQ(qrptUtil::DecodeAlignment(u"Left"), la_left);
  EXPECT_QV_ERROR(qrptUtil::DecodeAlignment(u"CENTER "), u"Alignment center  is invalid");
  EXPECT_EQ(qrptUtil::DecodeBarcodeType(u"QRCode"), bt_QRCODE);
  EXPECT_QV_ERROR(qrptUtil::DecodeBarcodeType(u"ITF"), u"BarcodeType itf is invalid");
  EXPECT_QV_ERROR(qrptUtil::DecodeBarcodeType(u"interleaved2of5"), u"BarcodeType interleaved2of5 is invalid");
  EXPECT_EQ(qrptUtil::DecodeLineType(u"GiftCardRedeem"), rlt_GitCardRedeem);
  EXPECT_EQ(qrptUtil::DecodeLineType(u"markuppercentageonsubtotal"), rlt_MarkupPercentageOnSubTotal);
  EXPECT_QV_ERROR(qrptUtil::DecodeLineType(u""), u"LineType  is invalid");
  EXPECT_EQ(qrptUtil::DecodePaymentType(u"credit"), rpt_Credit);
  EXPECT_EQ(qrptUtil::DecodePaymentType(u"CreditCard"), rpt_CreditCard);
  EXPECT_EQ(qrptUtil::DecodePaymentType(u"NHSCard"), Rpt_NHSCard);
  EXPECT_QV_ERROR(qrptUtil::DecodePaymentType(u"Bitcoin"), u"PaymentType bitcoin is invalid");
  EXPECT_EQ(qrptUtil::DecodeReceiptType(u"InvoiceSaleFromReceipt"), rt_InvoiceSaleFromReceipt);
  EXPECT_QV_ERROR(qrptUtil::DecodeReceiptType(u"x"), u"ReceiptType x is invalid");
  EXPECT_EQ(qrptUtil::DecodeReferenceType(u""), rrt_OriginalReceipt);
  EXPECT_EQ(qrptUtil::DecodeReferenceType(u"xyz"), rrt_OriginalReceipt);
  EXPECT_EQ(qrptUtil::DecodeReferenceType(u"EFTReceipt"), rrt_EFTReceipt);
  EXPECT_EQ(qrptUtil::DecodeTaxType(u"SalesTax"), tt_SalesTax);
  EXPECT_QV_ERROR(qrptUtil::DecodeTaxType(u"gst"), u"TaxType gst is invalid");
  EXPECT_EQ(qrptUtil::DecodeEJReportType(u"CreditNote"), ejrt_CreditNote);
  EXPECT_QV_ERROR(qrptUtil::DecodeEJReportType(u"x"), u"ReportType x is invalid");
  EXPECT_EQ(qrptUtil::DecodeEJReportDestination(u"MEMORY"), rd_Memory);
  EXPECT_QV_ERROR(qrptUtil::DecodeEJReportDestination(u"disk"), u"ReportDestination disk is invalid");
  EXPECT_EQ(qrptUtil::DecodeEJRequestType(u"XML"), ej_xml);
  EXPECT_QV_ERROR(qrptUtil::DecodeEJRequestType(u"json"), u"ReferenceType json is invalid");
}

TEST(DecodersTest, NormalizeText) {
  EXPECT_EQ(qrptUtil::NormalizeText(u"CAF\u00c8 \u00e0 la carte"), u"CAFE   la carte");
  EXPECT_EQ(qrptUtil::NormalizeText(u"TOTALE 12,00 \u20ac"), u"TOT. 12,00 E");
  EXPECT_EQ(qrptUtil::NormalizeText(u"Totale\tX\r\n"), u"Totale X  ");
  EXPECT_EQ(qrptUtil::NormalizeText(u"\u00c0\u00d9\u00c8\u00c9\u00d2\u00d6\u00c7\u00cf\u00cc"), u"AUEEOOCII");
  EXPECT_EQ(qrptUtil::NormalizeText(u"plain ~ text 127\x7f"), u"plain ~ text 127\x7f");
}

}  // namespace
}  // namespace qv
