#include <gtest/gtest.h>

#include "core/text.h"
#include "host/payment_wrapper.h"
#include "host/result_documents.h"

namespace qv {
namespace {

TEST(ResultDocumentsTest, EscapeXml) {
  struct Case {
    const char16_t* text;
    const char16_t* escaped;
  } cases[] = {
      {u"", u""},
      {u"plain text 123", u"plain text 123"},
      {u"a < b & 'c'", u"a &lt; b &amp; &apos;c&apos;"},
      {u"\"q\" > x", u"&quot;q&quot; &gt; x"},
      // An entity in the input is escaped once, not left alone or doubled.
      {u"&amp;&lt;", u"&amp;amp;&amp;lt;"},
      // Control and non-ASCII characters pass unchanged.
      {u"\t\r\n\u00e9\u20ac\U0001F600", u"\t\r\n\u00e9\u20ac\U0001F600"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(ToUtf8(qPaymentWrapper::EscapeXml(c.text)), ToUtf8(c.escaped));
  }
}

TEST(ResultDocumentsTest, OpenDocumentHasFourLinesAndNoTrailingLineEnd) {
  _int_OPEN_result result;
  result.Handle = -7;
  result.Error = true;
  result.ErrorText = u"x<y";
  result.LogFileName = u"C:\\Logs\\a&b.log";
  EXPECT_EQ(ToUtf8(FormatOpenDocument(result)),
            "<Handle>-7</Handle>\r\n<Error>True</Error>\r\n<ErrorText>x&lt;y</ErrorText>\r\n"
            "<LogFileName>C:\\Logs\\a&amp;b.log</LogFileName>");
}

TEST(ResultDocumentsTest, PayAmountsAndDateTimes) {
  struct Case {
    int64_t scaled;
    const char* amount;
  } cases[] = {{125000, "12.5"}, {100000, "10"}, {0, "0"}, {500, "0.05"}, {-32500, "-3.25"},
               {12345000, "1234.5"}, {1, "0.0001"}, {-1, "-0.0001"}, {INT64_MIN, "-922337203685477.5808"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.amount);
    _int_PAY_result result;
    result.PaymentAmount = Currency::FromScaled(c.scaled);
    result.RemainingBalance = Currency::FromScaled(c.scaled);
    const std::string doc = ToUtf8(FormatPayDocument(result));
    EXPECT_NE(doc.find(std::string("<PaymentAmount>") + c.amount + "</PaymentAmount>"), std::string::npos);
    EXPECT_NE(doc.find(std::string("<RemainingBalance>") + c.amount + "</RemainingBalance>"), std::string::npos);
  }
  // Date-times are written as they are, before and after the zero date.
  _int_PAY_result result;
  result.PaymentDateTime = -1.25;
  EXPECT_NE(ToUtf8(FormatPayDocument(result)).find("<PaymentDateTime>1899-12-29T06:00:00.000Z</PaymentDateTime>"),
            std::string::npos);
}

TEST(ResultDocumentsTest, GetStatusCodeFollowsTheErrorFlag) {
  qPaymentWrapper_GETSTATUS status;
  std::u16string output = u"stale";
  std::u16string error = u"stale";
  int16_t code = 5;
  status.ResetResult();
  status.Format(output, error, code);
  EXPECT_EQ(code, -1);  // the reset default is an error
  EXPECT_NE(output.find(u"<Error>True</Error>"), std::u16string::npos);
  EXPECT_EQ(error, u"");
  status.Process(u"");
  status.Format(output, error, code);
  EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace qv
