#include "ooxml/word/Elements.h"

#include <cstring>
#include <utility>

#include "platform/Text.h"

namespace ooxml::word::el {

namespace {
bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}
}  // namespace

BlockKind blockKind(Node n) {
  if (!n.isElement()) return BlockKind::Other;
  std::string_view name = n.name();
  if (name == "w:p") return BlockKind::Paragraph;
  if (name == "w:tbl") return BlockKind::Table;
  if (name == "w:sdt" || name == "w:customXml" || name == "w:ins" || name == "w:moveTo") return BlockKind::Container;
  // The notes story holds every footnote or endnote in turn; separator notes hold no text of it.
  if (name == "w:footnote" || name == "w:endnote") {
    std::string_view type = n.attribute("w:type");
    return type.empty() || type == "normal" ? BlockKind::Container : BlockKind::Other;
  }
  return BlockKind::Other;
}

Node blockContent(Node container) { return container.is("w:sdt") ? container.child("w:sdtContent") : container; }

bool isRow(Node n) { return n.is("w:tr"); }
bool isCell(Node n) { return n.is("w:tc"); }
Node enclosingCell(Node n) {
  for (Node a = n.parent(); a; a = a.parent())
    if (a.is("w:tc")) return a;
  return Node();
}
Node rowOrCellContent(Node n) { return n.is("w:sdt") ? n.child("w:sdtContent") : n.is("w:customXml") ? n : Node(); }

InlineKind inlineKind(Node n) {
  if (!n.isElement()) return InlineKind::Skip;
  std::string_view name = n.name();
  if (name == "w:r") return InlineKind::Run;
  if (name == "w:hyperlink" || name == "w:smartTag" || name == "w:customXml" || name == "w:ins" ||
      name == "w:moveTo" || name == "w:fldSimple" || name == "w:sdt" || name == "w:dir" || name == "w:bdo" ||
      name == "mc:AlternateContent")
    return InlineKind::Container;
  return InlineKind::Skip;  // w:del, w:moveFrom, bookmarks, proofing marks, math, properties
}

Node alternateChoice(Node ac) {
  Node choice = ac.child("mc:Choice");
  return choice ? choice : ac.child("mc:Fallback");
}

Node inlineContent(Node container) {
  if (container.is("w:sdt")) return container.child("w:sdtContent");
  if (container.is("mc:AlternateContent")) return alternateChoice(container);
  return container;
}

RunItem runItem(Node n) {
  if (!n.isElement()) return {RunItemKind::Ignored};
  std::string_view name = n.name();
  if (name == "w:t") return {RunItemKind::Text};
  if (name == "w:rPr") return {RunItemKind::Properties};
  if (name == "w:tab" || name == "w:ptab") return {RunItemKind::Char, kTab};
  if (name == "w:br") {
    std::string_view type = n.attribute("w:type");
    return {RunItemKind::Char, type == "page" ? kPageBreak : type == "column" ? kColumnBreak : kLineBreak};
  }
  if (name == "w:cr") return {RunItemKind::Char, kLineBreak};
  if (name == "w:noBreakHyphen") return {RunItemKind::Char, kNoBreakHyphen};
  if (name == "w:softHyphen") return {RunItemKind::Char, kOptionalHyphen};
  if (name == "w:sym") {
    unsigned code = 0;
    for (char c : n.attribute("w:char")) {
      int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0;
      code = (code * 16 + static_cast<unsigned>(v)) & 0xFFFF;
    }
    // A symbol shows its character; a control code there would read as a mark, so it shows as Word's "(".
    return {RunItemKind::Char, static_cast<char16_t>(code >= 0x20 ? code : '(')};
  }
  if (name == "w:fldChar") {
    std::string_view type = n.attribute("w:fldCharType");
    return {type == "begin" ? RunItemKind::FieldBegin : type == "separate" ? RunItemKind::FieldSeparate : RunItemKind::FieldEnd};
  }
  if (name == "w:drawing" || name == "w:pict" || name == "w:object") return {RunItemKind::Char, kObject};
  if (name == "w:footnoteReference" || name == "w:endnoteReference" || name == "w:footnoteRef" || name == "w:endnoteRef")
    return {RunItemKind::Char, kNoteReference};
  if (name == "w:commentReference") return {RunItemKind::Char, kCommentReference};
  if (name == "mc:AlternateContent") return {RunItemKind::Choice};
  return {RunItemKind::Ignored};  // field codes, deleted text, rendered page breaks
}

bool isRun(Node n) { return n.is("w:r"); }
bool isParagraph(Node n) { return n.is("w:p"); }
bool isProperties(Node n) { return n.isElement() && endsWith(n.name(), "Pr"); }
Node runProperties(Node run) { return run.child("w:rPr"); }
Node paragraphProperties(Node p) { return p.child("w:pPr"); }

namespace {
// UTF-8 to UTF-16 with an ASCII fast path: story text is mostly ASCII and converted often.
void appendUtf16(std::string_view s, std::u16string& out) {
  size_t i = 0;
  while (i < s.size()) {
    size_t j = i;
    while (j < s.size() && static_cast<unsigned char>(s[j]) < 0x80) ++j;
    size_t old = out.size();
    out.resize(old + (j - i));
    for (size_t k = i; k < j; ++k) out[old + k - i] = static_cast<char16_t>(static_cast<unsigned char>(s[k]));
    i = j;
    while (j < s.size() && static_cast<unsigned char>(s[j]) >= 0x80) ++j;
    if (j > i) out += platform::utf8ToWide(s.substr(i, j - i));
    i = j;
  }
}

bool isXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// Word drops the spaces at either end of a w:t unless xml:space="preserve" keeps them, on the
// element or, as XML inherits it, on one around it.
bool dropsEndSpaces(Node t) {
  if (!t.is("w:t")) return false;
  for (Node n = t; n && n.isElement(); n = n.parent()) {
    std::string_view space = n.attribute("xml:space");
    if (space == "preserve") return false;
    if (space == "default") return true;
  }
  return true;
}

// [begin, end) of s from `from` on without the spaces at either end.
template <class Text>
std::pair<size_t, size_t> withoutEndSpaces(const Text& s, size_t from) {
  size_t end = s.size();
  while (end > from && isXmlSpace(s[end - 1])) --end;
  while (from < end && isXmlSpace(s[from])) ++from;
  return {from, end};
}

// Takes the spaces Word does not show off both ends of a w:t held in one text node, so that
// offsets into its text are offsets into what Word shows; an edit marks it preserved after.
void dropIgnoredEndSpaces(Node t, Node only) {
  std::string_view v = only.value();
  if (v.empty() || !(isXmlSpace(v.front()) || isXmlSpace(v.back())) || !dropsEndSpaces(t)) return;
  const auto [begin, end] = withoutEndSpaces(v, 0);
  only.spliceValue(end, v.size() - end, "");
  only.spliceValue(0, begin, "");
}
}  // namespace

void appendTextOf(Node t, std::u16string& out) {
  const size_t before = out.size();
  for (Node c = t.firstChild(); c; c = c.nextSibling())
    if (c.type() == xml::NodeType::Text || c.type() == xml::NodeType::CData) appendUtf16(c.value(), out);
  if (out.size() == before || !(isXmlSpace(out[before]) || isXmlSpace(out.back())) || !dropsEndSpaces(t)) return;
  const auto [begin, end] = withoutEndSpaces(out, before);
  out.erase(end);
  out.erase(before, begin - before);
}

std::u16string textOf(Node t) {
  std::u16string out;
  appendTextOf(t, out);
  return out;
}

void setTextOf(Node t, std::u16string_view text) {
  while (Node c = t.firstChild()) c.detach();
  if (!text.empty()) t.appendChild(t.document()->createText(platform::wideToUtf8(text)));
  t.setAttribute("xml:space", "preserve");
}

namespace {

// The byte offset of a UTF-16 offset in s, walking only strictly well-formed UTF-8;
// npos when s is not, or the offset falls inside a surrogate pair.
size_t utf8OffsetOf(std::string_view s, size_t units) {
  size_t i = 0, u = 0;
  // Plain ASCII runs eight bytes at a time: a byte is a unit there.
  while (units - u >= 8 && s.size() - i >= 8) {
    uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    if (word & 0x8080808080808080ull) break;
    i += 8;
    u += 8;
  }
  while (u < units) {
    if (i >= s.size()) return std::string_view::npos;
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      ++u;
      continue;
    }
    size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return std::string_view::npos;
    uint32_t cp = c & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return std::string_view::npos;
      cp = cp << 6 | (d & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
      return std::string_view::npos;
    size_t width = n == 4 ? 2 : 1;
    if (u + width > units) return std::string_view::npos;
    u += width;
    i += n;
  }
  return i;
}

}  // namespace

bool spliceText(Node t, size_t from, size_t count, std::u16string_view text) {
  Node only = t.firstChild();
  if (!only || only.nextSibling() || only.type() != xml::NodeType::Text) return false;
  dropIgnoredEndSpaces(t, only);
  std::string_view value = only.value();
  size_t begin = utf8OffsetOf(value, from);
  if (begin == std::string_view::npos) return false;
  size_t length = utf8OffsetOf(value.substr(begin), count);
  if (length == std::string_view::npos) return false;
  only.spliceValue(begin, length, platform::wideToUtf8(text));
  if (t.attribute("xml:space") != "preserve") t.setAttribute("xml:space", "preserve");
  return true;
}

Node splitTextFront(Node t, size_t k) {
  Node only = t.firstChild();
  if (!only || only.nextSibling() || only.type() != xml::NodeType::Text || !t.parent()) return {};
  dropIgnoredEndSpaces(t, only);
  std::string_view value = only.value();
  size_t cut = utf8OffsetOf(value, k);
  if (cut == std::string_view::npos) return {};
  Node head = t.clone(false);
  head.appendChild(t.document()->createText(value.substr(0, cut)));  // copied before the cut below
  head.setAttribute("xml:space", "preserve");
  t.parent().insertBefore(head, t);
  only.spliceValue(0, cut, "");
  if (t.attribute("xml:space") != "preserve") t.setAttribute("xml:space", "preserve");
  return head;
}

Node newRun(xml::Document& doc, Node properties) {
  Node r = doc.createElement("w:r");
  if (properties) {
    Node copy = properties.clone(true);
    copy.setName("w:rPr");
    // Revision marks of a paragraph mark's properties do not describe the new text.
    for (Node c = copy.firstElement(); c;) {
      Node next = c.nextElement();
      if (c.is("w:ins") || c.is("w:del") || c.is("w:moveFrom") || c.is("w:moveTo") || c.is("w:rPrChange")) c.detach();
      c = next;
    }
    if (copy.firstChild()) r.appendChild(copy);
  }
  return r;
}

Node newText(xml::Document& doc, std::u16string_view text) {
  Node t = doc.createElement("w:t");
  setTextOf(t, text);
  return t;
}

bool isInsertableSpecial(char16_t c) {
  return c == kTab || c == kLineBreak || c == kPageBreak || c == kColumnBreak || c == kNoBreakHyphen || c == kOptionalHyphen;
}

Node newSpecial(xml::Document& doc, char16_t code) {
  switch (code) {
    case kTab: return doc.createElement("w:tab");
    case kNoBreakHyphen: return doc.createElement("w:noBreakHyphen");
    case kOptionalHyphen: return doc.createElement("w:softHyphen");
    default: break;
  }
  Node br = doc.createElement("w:br");
  if (code == kPageBreak) br.setAttribute("w:type", "page");
  if (code == kColumnBreak) br.setAttribute("w:type", "column");
  return br;
}

Node splitParagraphShell(Node p) {
  Node shell = p.clone(false);
  shell.removeAttribute("w14:paraId");
  shell.removeAttribute("w14:textId");
  if (Node pPr = paragraphProperties(p)) {
    shell.appendChild(pPr.clone(true));
    if (Node sect = pPr.child("w:sectPr")) sect.detach();
  }
  return shell;
}

void unfoldSimpleField(Node field) {
  xml::Document& doc = *field.document();
  Node parent = field.parent();
  Node firstRun;
  for (Node c = field.firstElement(); c && !firstRun; c = c.nextElement())
    if (isRun(c)) firstRun = c;
  Node props = firstRun ? runProperties(firstRun) : Node();
  auto fieldRun = [&](std::string_view type) {
    Node run = newRun(doc, props);
    Node mark = run.appendChild(doc.createElement("w:fldChar"));
    mark.setAttribute("w:fldCharType", type);
    return run;
  };
  Node begin = parent.insertBefore(fieldRun("begin"), field);
  Node beginMark = begin.child("w:fldChar");
  if (field.hasAttribute("w:fldLock")) beginMark.setAttribute("w:fldLock", field.attribute("w:fldLock"));
  if (field.hasAttribute("w:dirty")) beginMark.setAttribute("w:dirty", field.attribute("w:dirty"));
  Node code = newRun(doc, props);
  Node instr = code.appendChild(doc.createElement("w:instrText"));
  instr.setAttribute("xml:space", "preserve");
  instr.appendChild(doc.createText(field.attribute("w:instr")));
  parent.insertBefore(code, field);
  parent.insertBefore(fieldRun("separate"), field);
  for (Node c = field.firstChild(); c;) {
    Node next = c.nextSibling();
    if (c.is("w:fldData")) beginMark.appendChild(c);
    else parent.insertBefore(c, field);
    c = next;
  }
  parent.insertBefore(fieldRun("end"), field);
  field.detach();
}

void dropContentControlId(Node controlCopy) {
  if (!controlCopy.is("w:sdt")) return;
  if (Node id = controlCopy.child("w:sdtPr").child("w:id")) id.detach();
}

void moveSectionBreak(Node from, Node to) {
  Node fromPr = paragraphProperties(from);
  Node sect = fromPr.child("w:sectPr");
  if (!sect) return;
  Node toPr = paragraphProperties(to);
  if (!toPr) {
    toPr = to.document()->createElement("w:pPr");
    to.prependChild(toPr);
  }
  if (Node old = toPr.child("w:sectPr")) old.detach();
  // w:sectPr comes after the other paragraph properties but before w:pPrChange.
  if (Node change = toPr.child("w:pPrChange")) toPr.insertBefore(sect, change);
  else toPr.appendChild(sect);
}

Node markRunProperties(Node p) { return paragraphProperties(p).child("w:rPr"); }

}  // namespace ooxml::word::el
