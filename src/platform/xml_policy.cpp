// Our XML policy, checked in our own code before the platform parser runs.
// pugixml accepts much that is not XML (several root elements, undefined
// entities, duplicate attributes) and MSXML differs between Windows and Wine
// (DOCTYPE handling, nesting limits, error texts), so the rules that decide
// whether a request is accepted live here, once, for both builds.
#include <unordered_set>

#include "core/error.h"
#include "core/text.h"
#include "platform/xml_dom.h"

namespace qv {

namespace {

class PolicyChecker {
 public:
  explicit PolicyChecker(std::u16string_view aText) : fText(aText) {}

  std::u16string_view Run() {
    if (!fText.empty() && fText[0] == 0xFEFF) fPos = 1;
    SkipBlanks();
    if (AtEnd()) throw qError(u"XML request is empty");
    if (fText.size() > kMaxXmlLength)
      throw qError(u"XML request is larger than " + IntToStr(static_cast<int64_t>(kMaxXmlLength)) + u" characters");
    size_t start = fPos;
    if (StartsWith(u"<?xml") && fPos + 5 < fText.size() && IsBlank(fText[fPos + 5])) {
      const size_t close = fText.find(u"?>", fPos);
      if (close == std::u16string_view::npos) Fail(u"unterminated XML declaration");
      CheckChars(fPos, close);
      fPos = close + 2;
      start = fPos;
    }
    bool rootSeen = false;
    while (true) {
      SkipBlanks();
      if (AtEnd()) break;
      if (fText[fPos] != u'<') Fail(u"text outside the root element");
      if (StartsWith(u"<!--")) {
        Comment();
      } else if (StartsWith(u"<?")) {
        ProcessingInstruction();
      } else if (StartsWith(u"<!DOCTYPE") || StartsWith(u"<!doctype")) {
        throw qError(u"XML request contains a DOCTYPE declaration, which is not allowed");
      } else if (StartsWith(u"<!") || StartsWith(u"</")) {
        Fail(u"unexpected markup outside the root element");
      } else {
        if (rootSeen) Fail(u"more than one root element");
        Element();
        rootSeen = true;
      }
    }
    if (!rootSeen) throw qError(u"XML request has no root element");
    return fText.substr(start);
  }

 private:
  [[noreturn]] void Fail(std::u16string_view aReason) const {
    size_t line = 1, column = 1;
    for (size_t i = 0; i < fPos && i < fText.size(); ++i) {
      if (fText[i] == u'\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    std::u16string message = u"XML request is not well-formed: ";
    message += aReason;
    message += u" (line " + IntToStr(static_cast<int64_t>(line)) + u", column " +
               IntToStr(static_cast<int64_t>(column)) + u")";
    throw qError(message);
  }

  static bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
  static bool IsNameStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7 && !(c >= 0xD800 && c <= 0xDFFF) && c < 0xFFFE);
  }
  static bool IsNameChar(char16_t c) {
    return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == 0xB7;
  }

  bool AtEnd() const { return fPos >= fText.size(); }
  bool StartsWith(std::u16string_view s) const { return fText.substr(fPos, s.size()) == s; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(fText[fPos])) ++fPos;
  }

  // Characters that XML does not allow anywhere, lone surrogates included.
  void CheckChars(size_t aFrom, size_t aTo) {
    for (size_t i = aFrom; i < aTo; ++i) {
      const char16_t c = fText[i];
      bool ok;
      if (c >= 0xD800 && c <= 0xDBFF) {
        ok = i + 1 < aTo && fText[i + 1] >= 0xDC00 && fText[i + 1] <= 0xDFFF;
        if (ok) ++i;
      } else {
        ok = (c >= 0x20 && !(c >= 0xDC00 && c <= 0xDFFF) && c != 0xFFFE && c != 0xFFFF) || c == 0x9 || c == 0xA ||
             c == 0xD;
      }
      if (!ok) {
        fPos = i;
        Fail(u"invalid character");
      }
    }
  }

  std::u16string_view Name() {
    const size_t start = fPos;
    if (AtEnd() || !IsNameStart(fText[fPos])) Fail(u"name expected");
    while (!AtEnd() && IsNameChar(fText[fPos])) ++fPos;
    return fText.substr(start, fPos - start);
  }

  void Comment() {
    const size_t close = fText.find(u"-->", fPos + 4);
    if (close == std::u16string_view::npos) Fail(u"unterminated comment");
    CheckChars(fPos, close);
    fPos = close + 3;
  }

  void ProcessingInstruction() {
    fPos += 2;
    const std::u16string_view target = Name();
    if (SameText(target, u"xml")) Fail(u"misplaced XML declaration");
    const size_t close = fText.find(u"?>", fPos);
    if (close == std::u16string_view::npos) Fail(u"unterminated processing instruction");
    CheckChars(fPos, close);
    fPos = close + 2;
  }

  // A reference after "&": a predefined entity or a character reference to a
  // character XML allows. Anything else would need a DTD, which we refuse.
  void Reference() {
    ++fPos;
    const size_t semi = fText.find(u';', fPos);
    if (semi == std::u16string_view::npos || semi - fPos > 12) Fail(u"malformed entity reference");
    const std::u16string_view ref = fText.substr(fPos, semi - fPos);
    if (ref == u"amp" || ref == u"lt" || ref == u"gt" || ref == u"quot" || ref == u"apos") {
      fPos = semi + 1;
      return;
    }
    if (ref.size() >= 2 && ref[0] == u'#') {
      const bool hex = ref[1] == u'x';
      const std::u16string_view digits = ref.substr(hex ? 2 : 1);
      uint32_t cp = 0;
      bool ok = !digits.empty();
      for (const char16_t c : digits) {
        int d;
        if (c >= u'0' && c <= u'9') d = c - u'0';
        else if (hex && c >= u'a' && c <= u'f') d = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F') d = c - u'A' + 10;
        else { ok = false; break; }
        cp = cp * (hex ? 16 : 10) + d;
        if (cp > 0x10FFFF) { ok = false; break; }
      }
      ok = ok && (cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
                  (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF));
      if (!ok) Fail(u"invalid character reference");
      fPos = semi + 1;
      return;
    }
    Fail(u"reference to an undefined entity");
  }

  void Element() {
    // An explicit stack instead of recursion: the depth limit is checked
    // before anything deep is built.
    std::vector<std::u16string_view> open;
    while (true) {
      // fPos is at "<" of a start tag.
      ++fPos;
      const std::u16string_view name = Name();
      std::unordered_set<std::u16string_view> attributes;
      bool empty = false;
      while (true) {
        const size_t before = fPos;
        SkipBlanks();
        if (AtEnd()) Fail(u"unterminated start tag");
        if (fText[fPos] == u'>') {
          ++fPos;
          break;
        }
        if (StartsWith(u"/>")) {
          fPos += 2;
          empty = true;
          break;
        }
        if (before == fPos) Fail(u"blank expected between attributes");
        const std::u16string_view attr = Name();
        if (!attributes.insert(attr).second) Fail(u"duplicate attribute");
        SkipBlanks();
        if (AtEnd() || fText[fPos] != u'=') Fail(u"\"=\" expected after an attribute name");
        ++fPos;
        SkipBlanks();
        if (AtEnd() || (fText[fPos] != u'"' && fText[fPos] != u'\'')) Fail(u"quoted attribute value expected");
        const char16_t quote = fText[fPos++];
        while (true) {
          if (AtEnd()) Fail(u"unterminated attribute value");
          const char16_t c = fText[fPos];
          if (c == quote) {
            ++fPos;
            break;
          }
          if (c == u'<') Fail(u"\"<\" in an attribute value");
          if (c == u'&') {
            Reference();
          } else {
            CheckChars(fPos, fPos + 1 + (c >= 0xD800 && c <= 0xDBFF && fPos + 1 < fText.size() ? 1 : 0));
            fPos += (c >= 0xD800 && c <= 0xDBFF) ? 2 : 1;
          }
        }
      }
      if (!empty) {
        if (static_cast<int>(open.size()) >= kMaxXmlDepth)
          throw qError(u"XML request nests elements deeper than 256 levels");
        open.push_back(name);
      } else if (static_cast<int>(open.size()) >= kMaxXmlDepth) {
        throw qError(u"XML request nests elements deeper than 256 levels");
      }
      // Content until the next start tag, or until the element that opened
      // the run is closed.
      while (!open.empty()) {
        if (AtEnd()) Fail(u"unterminated element");
        const char16_t c = fText[fPos];
        if (c == u'&') {
          Reference();
        } else if (c != u'<') {
          const size_t next = fText.find_first_of(u"<&", fPos);
          const size_t end = next == std::u16string_view::npos ? fText.size() : next;
          CheckChars(fPos, end);
          fPos = end;
        } else if (StartsWith(u"<!--")) {
          Comment();
        } else if (StartsWith(u"<![CDATA[")) {
          const size_t close = fText.find(u"]]>", fPos + 9);
          if (close == std::u16string_view::npos) Fail(u"unterminated CDATA section");
          CheckChars(fPos, close);
          fPos = close + 3;
        } else if (StartsWith(u"<!DOCTYPE") || StartsWith(u"<!doctype")) {
          throw qError(u"XML request contains a DOCTYPE declaration, which is not allowed");
        } else if (StartsWith(u"<!")) {
          Fail(u"unexpected markup");
        } else if (StartsWith(u"<?")) {
          ProcessingInstruction();
        } else if (StartsWith(u"</")) {
          fPos += 2;
          const std::u16string_view closing = Name();
          SkipBlanks();
          if (AtEnd() || fText[fPos] != u'>') Fail(u"unterminated end tag");
          if (closing != open.back()) Fail(u"end tag does not match its start tag");
          ++fPos;
          open.pop_back();
        } else {
          break;  // a start tag: back to the outer loop
        }
      }
      if (open.empty()) return;
    }
  }

  std::u16string_view fText;
  size_t fPos = 0;
};

}  // namespace

std::u16string_view CheckXmlPolicy(std::u16string_view aText) { return PolicyChecker(aText).Run(); }

std::shared_ptr<const XmlDocument> ParseXmlDocument(std::u16string_view aText) {
  const std::u16string_view body = CheckXmlPolicy(aText);
  return std::make_shared<const XmlDocument>(ParseXmlWithPlatformParser(body));
}

std::u16string_view XmlNode::LocalName() const {
  const std::u16string_view name(fName);
  const size_t colon = name.find(u':');
  return colon == std::u16string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace qv
