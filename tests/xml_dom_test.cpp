#include <gtest/gtest.h>

#include "core/error.h"
#include "platform/xml_dom.h"
#include "test_support.h"

namespace qv {
namespace {

const XmlNode& Root(const std::shared_ptr<const XmlDocument>& aDoc) { return aDoc->DocumentElement(); }

TEST(XmlDomTest, TreeShape) {
  auto doc = ParseXmlDocument(
      u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<!-- before -->\r\n"
      u"<r:Req xmlns:r=\"urn:x\" a=\"1 &amp; 2\">\r\n  <A>x &lt; &#x20AC;&#65;</A>\r\n  <B><![CDATA[<raw>]]></B>\r\n"
      u"  <C>t<!--c--></C><?pi data?>\r\n  <D/>\r\n  <E>   </E>\r\n</r:Req>\r\n<!-- after -->");
  const XmlNode& root = Root(doc);
  EXPECT_EQ(root.fName, u"r:Req");
  EXPECT_EQ(root.LocalName(), u"Req");
  ASSERT_EQ(root.fAttributes.size(), 2u);
  // The parsers may list namespace declarations in another place.
  const auto& a = root.fAttributes[0].first == u"a" ? root.fAttributes[0] : root.fAttributes[1];
  EXPECT_EQ(a.second, u"1 & 2");
  // White-space-only text is dropped: A, B, C, the PI, D, E.
  ASSERT_EQ(root.fChildren.size(), 6u);
  EXPECT_EQ(root.fChildren[0].fChildren.at(0).fValue, u"x < \u20acA");
  EXPECT_EQ(root.fChildren[1].fChildren.at(0).fKind, XmlNodeKind::CData);
  EXPECT_EQ(root.fChildren[1].fChildren.at(0).fValue, u"<raw>");
  ASSERT_EQ(root.fChildren[2].fChildren.size(), 2u);
  EXPECT_EQ(root.fChildren[2].fChildren[1].fKind, XmlNodeKind::Comment);
  EXPECT_EQ(root.fChildren[3].fKind, XmlNodeKind::ProcessingInstruction);
  EXPECT_TRUE(root.fChildren[4].fChildren.empty());
  EXPECT_TRUE(root.fChildren[5].fChildren.empty());
}

TEST(XmlDomTest, TextIsReadAsItStands) {
  auto doc = ParseXmlDocument(u"<R><H>1 </H><M>a\r\nb</M></R>");
  EXPECT_EQ(Root(doc).fChildren[0].fChildren.at(0).fValue, u"1 ");
  // Line ends are normalised as XML requires.
  EXPECT_EQ(Root(doc).fChildren[1].fChildren.at(0).fValue, u"a\nb");
}

TEST(XmlDomTest, RejectedTexts) {
  const std::u16string deep = std::u16string(257 * 3, u' ');
  struct Case {
    std::u16string text;
    std::u16string message;  // empty: any message with the well-formedness prefix
  } cases[] = {
      {u"", u"XML request is empty"},
      {u"  \r\n\t", u"XML request is empty"},
      {u"<!-- only a comment -->", u"XML request has no root element"},
      {u"<!DOCTYPE R><R/>", u"XML request contains a DOCTYPE declaration, which is not allowed"},
      {u"<!DOCTYPE R [<!ENTITY a \"aaaa\">]><R>&a;</R>",
       u"XML request contains a DOCTYPE declaration, which is not allowed"},
      {u"<R>&ext;</R>", u""},
      {u"<R>&#0;</R>", u""},
      {u"<R>&#xD800;</R>", u""},
      {u"<R><A></R>", u""},
      {u"<R></R><S/>", u""},
      {u"<R/>tail", u""},
      {u"lead<R/>", u""},
      {u"<R a='1' a='2'/>", u""},
      {u"<R a=1/>", u""},
      {u"<R>a < b</R>", u""},
      {u"<R>\x01</R>", u""},
      {u"<R>" + std::u16string(1, char16_t(0xD800)) + u"</R>", u""},
      {u"<R><![CDATA[x</R>", u""},
      {u"<R><!-- x</R>", u""},
      {u"<R", u""},
      {u"<R><?xml version='1.0'?></R>", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    try {
      ParseXmlDocument(c.text);
      ADD_FAILURE() << "accepted";
    } catch (const qError& e) {
      if (c.message.empty())
        EXPECT_EQ(e.Message().rfind(u"XML request is not well-formed", 0), 0u) << ToUtf8(e.Message());
      else
        EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(XmlDomTest, NestingLimit) {
  auto nested = [](int depth, bool selfClosingLeaf) {
    std::u16string s;
    for (int i = 0; i < depth - (selfClosingLeaf ? 1 : 0); ++i) s += u"<a>";
    if (selfClosingLeaf) s += u"<a/>";
    for (int i = 0; i < depth - (selfClosingLeaf ? 1 : 0); ++i) s += u"</a>";
    return s;
  };
  EXPECT_NO_THROW(ParseXmlDocument(nested(256, false)));
  EXPECT_NO_THROW(ParseXmlDocument(nested(256, true)));
  EXPECT_QV_ERROR(ParseXmlDocument(nested(257, false)), u"XML request nests elements deeper than 256 levels");
  EXPECT_QV_ERROR(ParseXmlDocument(nested(257, true)), u"XML request nests elements deeper than 256 levels");
  // Far deeper than any stack would bear if the check came after parsing.
  EXPECT_QV_ERROR(ParseXmlDocument(nested(100000, false)), u"XML request nests elements deeper than 256 levels");
}

TEST(XmlDomTest, SizeLimit) {
  const std::u16string frame = u"<R><V></V></R>";
  std::u16string atLimit = u"<R><V>" + std::u16string(kMaxXmlLength - frame.size(), u'x') + u"</V></R>";
  ASSERT_EQ(atLimit.size(), kMaxXmlLength);
  auto doc = ParseXmlDocument(atLimit);
  EXPECT_EQ(Root(doc).fChildren.at(0).fChildren.at(0).fValue.size(), kMaxXmlLength - frame.size());
  const std::u16string tenMegabytes = u"<R><V>" + std::u16string(5 * 1024 * 1024, u'x') + u"</V></R>";
  EXPECT_QV_ERROR(ParseXmlDocument(tenMegabytes), u"XML request is larger than 1048576 characters");
}

}  // namespace
}  // namespace qv
