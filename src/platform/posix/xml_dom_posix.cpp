// The XML parser of the posix build: pugixml. The text has already passed our
// policy check, so pugixml's leniency (several roots, unknown entities) never
// reaches a reader.
#include <pugixml.hpp>

#include "core/error.h"
#include "core/text.h"
#include "platform/xml_dom.h"

namespace qv {

namespace {

XmlNode Convert(const pugi::xml_node& aNode) {
  XmlNode node;
  switch (aNode.type()) {
    case pugi::node_element:
      node.fKind = XmlNodeKind::Element;
      node.fName = FromUtf8(aNode.name());
      for (const auto& attr : aNode.attributes())
        node.fAttributes.emplace_back(FromUtf8(attr.name()), FromUtf8(attr.value()));
      for (const auto& child : aNode.children()) {
        const auto type = child.type();
        if (type == pugi::node_element || type == pugi::node_pcdata || type == pugi::node_cdata ||
            type == pugi::node_comment || type == pugi::node_pi)
          node.fChildren.push_back(Convert(child));
      }
      break;
    case pugi::node_pcdata:
      node.fKind = XmlNodeKind::Text;
      node.fValue = FromUtf8(aNode.value());
      break;
    case pugi::node_cdata:
      node.fKind = XmlNodeKind::CData;
      node.fValue = FromUtf8(aNode.value());
      break;
    case pugi::node_comment:
      node.fKind = XmlNodeKind::Comment;
      node.fValue = FromUtf8(aNode.value());
      break;
    default:
      node.fKind = XmlNodeKind::ProcessingInstruction;
      node.fName = FromUtf8(aNode.name());
      node.fValue = FromUtf8(aNode.value());
      break;
  }
  return node;
}

}  // namespace

XmlNode ParseXmlWithPlatformParser(std::u16string_view aText) {
  const std::string utf8 = ToUtf8(aText);
  pugi::xml_document doc;
  const unsigned options = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;
  const pugi::xml_parse_result result = doc.load_buffer(utf8.data(), utf8.size(), options, pugi::encoding_utf8);
  if (!result) throw qError(u"XML request is not well-formed: " + FromUtf8(result.description()));
  const pugi::xml_node root = doc.document_element();
  if (!root) throw qError(u"XML request has no root element");
  return Convert(root);
}

}  // namespace qv
