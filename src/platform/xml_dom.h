// The XML DOM service. A request text is checked against our XML policy, parsed
// by the platform's parser (pugixml on posix, MSXML 6 on win32) and copied into
// this small tree, so that every reader above sees the same nodes on both
// builds. The tree is immutable once parsed and may be shared between holders.
//
// Thread: a parsed document is used by one thread at a time.
// Throws: qError from ParseXmlDocument; nothing else here throws.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv {

enum class XmlNodeKind { Element, Text, CData, Comment, ProcessingInstruction };

struct XmlNode {
  XmlNodeKind fKind = XmlNodeKind::Element;
  // Qualified name for an element, target for a processing instruction,
  // empty for the other kinds.
  std::u16string fName;
  // Text of a text, CDATA, comment or processing-instruction node, entities
  // resolved; empty for an element.
  std::u16string fValue;
  std::vector<std::pair<std::u16string, std::u16string>> fAttributes;
  std::vector<XmlNode> fChildren;

  bool IsElement() const { return fKind == XmlNodeKind::Element; }
  // The part of the qualified name after its prefix, or the whole name.
  std::u16string_view LocalName() const;
};

class XmlDocument {
 public:
  explicit XmlDocument(XmlNode aRoot) : fRoot(std::move(aRoot)) {}
  const XmlNode& DocumentElement() const { return fRoot; }

 private:
  XmlNode fRoot;
};

// The deepest element nesting a request may have.
constexpr int kMaxXmlDepth = 256;
// The longest request text, in UTF-16 code units. Real requests are a few
// kilobytes; the limit keeps both parsers (Wine's MSXML refuses text nodes of
// ten million bytes) and the host's memory out of reach of a runaway caller.
constexpr size_t kMaxXmlLength = 1024 * 1024;

// Parses a request text. The text is UTF-16 whatever an XML declaration says.
// Text nodes of white space only are dropped; comments and processing
// instructions stay. Fails with a message for an empty or blank text, a text
// without a root element, a text longer than kMaxXmlLength, a DOCTYPE, nesting
// deeper than kMaxXmlDepth and any
// text that is not well-formed.
std::shared_ptr<const XmlDocument> ParseXmlDocument(std::u16string_view aText);

// Our XML policy, enforced before the platform parser sees the text so that
// both builds (and every MSXML) agree. Returns the text to parse: the same
// text without a leading byte order mark and XML declaration, whose encoding
// name must not change how the UTF-16 text is read. Throws qError.
std::u16string_view CheckXmlPolicy(std::u16string_view aText);

// The platform parser, given a text that passed CheckXmlPolicy.
XmlNode ParseXmlWithPlatformParser(std::u16string_view aText);

}  // namespace qv
