// The XML parser of the win32 build: MSXML 6 through COM, with its secure
// defaults (no DTD, no external resources). The text has already passed our
// policy check; MSXML's own verdict still counts, and its message is passed on.
#include <windows.h>
#include <msxml2.h>
#include <objbase.h>
#include <oleauto.h>

#include "core/error.h"
#include "core/text.h"
#include "platform/xml_dom.h"

namespace qv {

namespace {

// CLSID_DOMDocument60, which the MinGW headers do not declare.
const CLSID kClsidDomDocument60 = {0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
const IID kIidXmlDomDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (fPtr) fPtr->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** operator&() { return &fPtr; }
  T* operator->() const { return fPtr; }
  T* Get() const { return fPtr; }
  explicit operator bool() const { return fPtr != nullptr; }

 private:
  T* fPtr = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view aText)
      : fStr(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(aText.data()), static_cast<UINT>(aText.size()))) {}
  ~Bstr() { SysFreeString(fStr); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* operator&() { return &fStr; }
  BSTR Get() const { return fStr; }
  std::u16string Text() const {
    return fStr ? std::u16string(reinterpret_cast<const char16_t*>(fStr), SysStringLen(fStr)) : std::u16string();
  }

 private:
  BSTR fStr = nullptr;
};

class ComScope {
 public:
  ComScope() : fHr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(fHr)) CoUninitialize();
  }

 private:
  HRESULT fHr;
};

std::u16string NodeValue(IXMLDOMNode* aNode) {
  VARIANT v;
  VariantInit(&v);
  std::u16string text;
  if (SUCCEEDED(aNode->get_nodeValue(&v)) && v.vt == VT_BSTR && v.bstrVal)
    text.assign(reinterpret_cast<const char16_t*>(v.bstrVal), SysStringLen(v.bstrVal));
  VariantClear(&v);
  return text;
}

std::u16string NodeName(IXMLDOMNode* aNode) {
  Bstr name;
  aNode->get_nodeName(&name);
  return name.Text();
}

bool Convert(IXMLDOMNode* aNode, XmlNode& aOut) {
  DOMNodeType type;
  if (FAILED(aNode->get_nodeType(&type))) return false;
  switch (type) {
    case NODE_ELEMENT: {
      aOut.fKind = XmlNodeKind::Element;
      aOut.fName = NodeName(aNode);
      ComPtr<IXMLDOMNamedNodeMap> attributes;
      if (SUCCEEDED(aNode->get_attributes(&attributes)) && attributes) {
        long count = 0;
        attributes->get_length(&count);
        for (long i = 0; i < count; ++i) {
          ComPtr<IXMLDOMNode> attr;
          if (SUCCEEDED(attributes->get_item(i, &attr)) && attr)
            aOut.fAttributes.emplace_back(NodeName(attr.Get()), NodeValue(attr.Get()));
        }
      }
      ComPtr<IXMLDOMNodeList> children;
      if (FAILED(aNode->get_childNodes(&children)) || !children) return true;
      long count = 0;
      children->get_length(&count);
      for (long i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> child;
        if (FAILED(children->get_item(i, &child)) || !child) continue;
        XmlNode node;
        if (Convert(child.Get(), node)) aOut.fChildren.push_back(std::move(node));
      }
      return true;
    }
    case NODE_TEXT:
      aOut.fKind = XmlNodeKind::Text;
      aOut.fValue = NodeValue(aNode);
      return true;
    case NODE_CDATA_SECTION:
      aOut.fKind = XmlNodeKind::CData;
      aOut.fValue = NodeValue(aNode);
      return true;
    case NODE_COMMENT:
      aOut.fKind = XmlNodeKind::Comment;
      aOut.fValue = NodeValue(aNode);
      return true;
    case NODE_PROCESSING_INSTRUCTION:
      aOut.fKind = XmlNodeKind::ProcessingInstruction;
      aOut.fName = NodeName(aNode);
      aOut.fValue = NodeValue(aNode);
      return true;
    default:
      return false;  // entity references and the like cannot pass our policy
  }
}

}  // namespace

XmlNode ParseXmlWithPlatformParser(std::u16string_view aText) {
  ComScope com;
  ComPtr<IXMLDOMDocument2> doc;
  if (FAILED(CoCreateInstance(kClsidDomDocument60, nullptr, CLSCTX_INPROC_SERVER, kIidXmlDomDocument2,
                              reinterpret_cast<void**>(&doc))))
    throw qError(u"MSXML 6 is not available");
  doc->put_async(VARIANT_FALSE);
  doc->put_validateOnParse(VARIANT_FALSE);
  doc->put_resolveExternals(VARIANT_FALSE);
  doc->put_preserveWhiteSpace(VARIANT_FALSE);
  {
    Bstr name(u"ProhibitDTD");
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = VARIANT_TRUE;
    doc->setProperty(name.Get(), v);
  }
  Bstr text(aText);
  VARIANT_BOOL ok = VARIANT_FALSE;
  if (FAILED(doc->loadXML(text.Get(), &ok)) || ok != VARIANT_TRUE) {
    std::u16string message = u"XML request is not well-formed";
    ComPtr<IXMLDOMParseError> error;
    if (SUCCEEDED(doc->get_parseError(&error)) && error) {
      Bstr reason;
      error->get_reason(&reason);
      std::u16string r = reason.Text();
      while (!r.empty() && (r.back() <= u' ')) r.pop_back();
      if (!r.empty()) message += u": " + r;
    }
    throw qError(message);
  }
  ComPtr<IXMLDOMElement> root;
  if (FAILED(doc->get_documentElement(&root)) || !root) throw qError(u"XML request has no root element");
  XmlNode node;
  Convert(root.Get(), node);
  return node;
}

}  // namespace qv
