#include "ooxml/package/Xml.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

#include "ooxml/package/PackageError.h"
#include "ooxml/package/XmlEncoding.h"

namespace ooxml::xml {

// ---- Attribute ----

// ---- Node ----
void Node::setValue(std::string_view v) {
  if (d_) d_->value = d_->doc->keep(v), ++d_->doc->edits_;
}
void Node::spliceValue(size_t pos, size_t count, std::string_view with) {
  if (!d_) return;
  if (!d_->ownsValue()) {
    std::string copy(d_->value);
    if (d_->owned) *d_->owned = std::move(copy);
    else d_->owned = std::make_unique<std::string>(std::move(copy));
  }
  std::string& v = *d_->owned;
  pos = std::min(pos, v.size());
  v.replace(pos, std::min(count, v.size() - pos), with);
  d_->value = v;
  ++d_->doc->edits_;
}
void Node::setName(std::string_view n) {
  if (d_) d_->name = d_->doc->keep(n), ++d_->doc->edits_;
}


void Node::setAttribute(std::string_view n, std::string_view v) {
  if (!d_) return;
  ++d_->doc->edits_;
  AttrData** link = &d_->attrs;
  for (; *link; link = &(*link)->next) {
    if ((*link)->name == n) {
      (*link)->value = d_->doc->keep(v);
      return;
    }
  }
  AttrData* a = d_->doc->newAttr();
  a->name = d_->doc->keep(n);
  a->value = d_->doc->keep(v);
  *link = a;
}
void Node::removeAttribute(std::string_view n) {
  if (!d_) return;
  ++d_->doc->edits_;
  for (AttrData** link = &d_->attrs; *link; link = &(*link)->next) {
    if ((*link)->name == n) {
      *link = (*link)->next;
      return;
    }
  }
}

void Node::detach() {
  if (!d_ || !d_->parent) return;
  ++d_->doc->edits_;
  NodeData* p = d_->parent;
  (d_->prev ? d_->prev->next : p->first) = d_->next;
  (d_->next ? d_->next->prev : p->last) = d_->prev;
  d_->parent = d_->prev = d_->next = nullptr;
}

Node Node::appendChild(Node c) { return insertBefore(c, Node()); }
Node Node::prependChild(Node c) { return insertBefore(c, firstChild()); }
Node Node::insertAfter(Node c, Node reference) {
  return insertBefore(c, reference ? reference.nextSibling() : firstChild());
}
Node Node::insertBefore(Node c, Node reference) {
  if (!d_ || !c.d_ || c.d_ == d_ || c.d_->doc != d_->doc) return {};
  if (reference && reference.d_->parent != d_) return {};
  if (reference == c) return c;
  ++d_->doc->edits_;
  c.detach();
  NodeData* n = c.d_;
  n->parent = d_;
  if (reference) {
    NodeData* r = reference.d_;
    n->prev = r->prev;
    n->next = r;
    (r->prev ? r->prev->next : d_->first) = n;
    r->prev = n;
  } else {
    n->prev = d_->last;
    n->next = nullptr;
    (d_->last ? d_->last->next : d_->first) = n;
    d_->last = n;
  }
  return c;
}

Node Node::clone(bool deep) const {
  if (!d_) return {};
  Document* doc = d_->doc;
  NodeData* n = doc->newNode(static_cast<int>(d_->type));
  n->name = d_->name;  // views into the document stay valid as long as it does
  n->value = d_->ownsValue() ? doc->keep(d_->value) : d_->value;  // an owned value may change in place
  n->literalCr = d_->literalCr;
  AttrData** link = &n->attrs;
  for (AttrData* a = d_->attrs; a; a = a->next) {
    AttrData* copy = doc->newAttr();
    copy->name = a->name;
    copy->value = a->value;
    *link = copy;
    link = &copy->next;
  }
  Node result(n);
  if (deep)
    for (NodeData* c = d_->first; c; c = c->next) result.appendChild(Node(c).clone(true));
  return result;
}

// ---- Document ----
Document::Document() { root_ = newNode(static_cast<int>(NodeType::Document)); }
Document::~Document() = default;

NodeData* Document::newNode(int type) {
  NodeData& n = nodes_.emplace_back();
  n.type = static_cast<NodeType>(type);
  n.doc = this;
  return &n;
}
AttrData* Document::newAttr() { return &attrs_.emplace_back(); }
size_t Document::memoryUse() const {
  return source_.size() + nodes_.size() * sizeof(NodeData) + attrs_.size() * sizeof(AttrData);
}

std::string_view Document::keep(std::string_view text) {
  if (text.empty()) return {};
  return strings_.emplace_back(text);
}

Node Document::documentElement() const { return root().firstElement(); }

Node Document::createElement(std::string_view name) {
  NodeData* n = newNode(static_cast<int>(NodeType::Element));
  n->name = keep(name);
  return Node(n);
}
Node Document::createText(std::string_view text) {
  NodeData* n = newNode(static_cast<int>(NodeType::Text));
  n->value = keep(text);
  return Node(n);
}

// ---- Parser ----
class Parser {
 public:
  Parser(Document& doc, const ParseLimits& limits) : doc_(doc), limits_(limits), s_(doc.source_) {}

  void run() {
    NodeData* current = doc_.root_;
    size_t depth = 0;
    bool seenRoot = false;
    while (pos_ < s_.size()) {
      if (s_[pos_] != '<') {
        size_t start = pos_;
        size_t lt = s_.find('<', pos_);
        if (lt == std::string::npos) lt = s_.size();
        pos_ = lt;
        const bool literalCr = std::memchr(s_.data() + start, '\r', lt - start) != nullptr;
        std::string_view text = decode(start, lt);
        if (current == doc_.root_) {
          if (text.find_first_not_of(" \t\r\n") != std::string_view::npos) fail("text outside the root element", start);
        }
        add(current, NodeType::Text, {}, text)->literalCr = literalCr;
        continue;
      }
      if (startsWith("<?")) {
        size_t start = pos_ + 2;
        size_t end = s_.find("?>", start);
        if (end == std::string::npos) fail("unterminated processing instruction");
        size_t nameEnd = start;
        while (nameEnd < end && !isSpace(s_[nameEnd])) ++nameEnd;
        size_t dataStart = nameEnd;
        while (dataStart < end && isSpace(s_[dataStart])) ++dataStart;
        if (nameEnd == start) fail("processing instruction without a target");
        add(current, NodeType::ProcessingInstruction, view(start, nameEnd), view(dataStart, end));
        pos_ = end + 2;
      } else if (startsWith("<!--")) {
        size_t end = s_.find("-->", pos_ + 4);
        if (end == std::string::npos) fail("unterminated comment");
        add(current, NodeType::Comment, {}, view(pos_ + 4, end));
        pos_ = end + 3;
      } else if (startsWith("<![CDATA[")) {
        if (current == doc_.root_) fail("CDATA outside the root element");
        size_t end = s_.find("]]>", pos_ + 9);
        if (end == std::string::npos) fail("unterminated CDATA section");
        add(current, NodeType::CData, {}, view(pos_ + 9, end));
        pos_ = end + 3;
      } else if (startsWith("<!")) {
        fail("a DOCTYPE or declaration is not allowed");
      } else if (startsWith("</")) {
        size_t nameStart = pos_ + 2;
        size_t nameEnd = nameStart;
        while (nameEnd < s_.size() && isNameChar(s_[nameEnd])) ++nameEnd;
        if (current == doc_.root_ || view(nameStart, nameEnd) != current->name) fail("mismatched end tag", pos_);
        pos_ = nameEnd;
        skipSpace();
        if (pos_ >= s_.size() || s_[pos_] != '>') fail("malformed end tag");
        ++pos_;
        current = current->parent;
        --depth;
      } else {
        ++pos_;
        size_t nameStart = pos_;
        while (pos_ < s_.size() && isNameChar(s_[pos_])) ++pos_;
        if (pos_ == nameStart) fail("malformed start tag");
        if (current == doc_.root_) {
          if (seenRoot) fail("more than one root element");
          seenRoot = true;
        }
        NodeData* e = add(current, NodeType::Element, view(nameStart, pos_), {});
        AttrData** link = &e->attrs;
        size_t attributes = 0;
        bool empty = false;
        while (true) {
          bool spaced = skipSpace();
          if (pos_ >= s_.size()) fail("unterminated start tag");
          if (s_[pos_] == '>') {
            ++pos_;
            break;
          }
          if (startsWith("/>")) {
            pos_ += 2;
            empty = true;
            break;
          }
          if (!spaced) fail("malformed attribute");
          size_t an = pos_;
          while (pos_ < s_.size() && isNameChar(s_[pos_])) ++pos_;
          if (pos_ == an) fail("malformed attribute");
          std::string_view name = view(an, pos_);
          skipSpace();
          if (pos_ >= s_.size() || s_[pos_] != '=') fail("attribute without a value");
          ++pos_;
          skipSpace();
          if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) fail("unquoted attribute value");
          char quote = s_[pos_++];
          size_t vs = pos_;
          size_t ve = s_.find(quote, vs);
          if (ve == std::string::npos) fail("unterminated attribute value");
          if (std::memchr(s_.data() + vs, '<', ve - vs)) fail("'<' in an attribute value", vs);
          pos_ = ve + 1;
          // An attribute costs as much as a node: a part of millions of them is no smaller.
          if (++nodes_ > limits_.maxNodes || (memory_ += sizeof(AttrData)) > limits_.maxMemory) tooManyNodes();
          if (++attributes <= kFewAttributes) {
            for (AttrData* a = e->attrs; a; a = a->next)
              if (a->name == name) fail("duplicate attribute", an);
          } else {
            // Past a few, names are checked in a set: a walk for each would cost the square.
            if (attributes == kFewAttributes + 1) {
              seenNames_.clear();
              for (AttrData* a = e->attrs; a; a = a->next) seenNames_.insert(a->name);
            }
            if (!seenNames_.insert(name).second) fail("duplicate attribute", an);
          }
          AttrData* a = doc_.newAttr();
          a->name = name;
          a->value = decode(vs, ve, true);
          *link = a;
          link = &a->next;
          if (current != doc_.root_ && name.substr(0, 6) == "xmlns:") innerPrefixes_.push_back(a);
        }
        if (!empty) {
          if (++depth > limits_.maxDepth) fail("elements nested too deeply");
          current = e;
        }
      }
    }
    if (current != doc_.root_) fail("unexpected end of the document (unclosed <" + std::string(current->name) + ">)");
    if (!seenRoot) fail("no root element");
    declareInnerPrefixesAtTheTop();
  }

  // A prefix declared on an inner element is declared on the root element too (unless the root
  // binds it otherwise): an edit that moves a run or a paragraph's content out from under its
  // declaration would otherwise leave the prefix unbound and the saved part unreadable.
  void declareInnerPrefixesAtTheTop() {
    if (innerPrefixes_.empty()) return;
    NodeData* top = doc_.documentElement().data();
    seenNames_.clear();
    AttrData** link = &top->attrs;
    for (; *link; link = &(*link)->next) seenNames_.insert((*link)->name);
    // The names and values are views of the source, which lives as long as the document.
    for (const AttrData* a : innerPrefixes_) {
      if (!seenNames_.insert(a->name).second) continue;
      AttrData* copy = doc_.newAttr();
      copy->name = a->name;
      copy->value = a->value;
      *link = copy;
      link = &copy->next;
    }
  }

 private:
  static constexpr size_t kFewAttributes = 16;

  [[noreturn]] void tooManyNodes() {
    if (nodes_ > limits_.maxNodes) fail("too many XML nodes (over " + std::to_string(limits_.maxNodes) + ")");
    fail("too many XML nodes (over " + std::to_string(limits_.maxMemory >> 20) + " MiB)");
  }

  [[noreturn]] void fail(const std::string& what, size_t at = SIZE_MAX) {
    throw XmlError("Malformed XML: " + what, at == SIZE_MAX ? pos_ : at);
  }
  static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool isNameChar(char c) {
    return !isSpace(c) && c != '/' && c != '>' && c != '=' && c != '<' && c != '"' && c != '\'' && c != '&' && c != '?' &&
           c != '!';
  }
  bool skipSpace() {
    size_t start = pos_;
    while (pos_ < s_.size() && isSpace(s_[pos_])) ++pos_;
    return pos_ != start;
  }
  bool startsWith(std::string_view what) const { return s_.compare(pos_, what.size(), what) == 0; }
  std::string_view view(size_t from, size_t to) const { return std::string_view(s_).substr(from, to - from); }

  NodeData* add(NodeData* parent, NodeType type, std::string_view name, std::string_view value) {
    if (++nodes_ > limits_.maxNodes || (memory_ += sizeof(NodeData)) > limits_.maxMemory) tooManyNodes();
    NodeData* n = doc_.newNode(static_cast<int>(type));
    n->name = name;
    n->value = value;
    n->parent = parent;
    n->prev = parent->last;
    (parent->last ? parent->last->next : parent->first) = n;
    parent->last = n;
    return n;
  }

  // Decodes entities and character references in place: the result is never longer. In an
  // attribute value a line end or tab written as itself reads as a space, as any XML reader
  // gives it (one written as a reference is kept): written back as a reference, it would not.
  std::string_view decode(size_t from, size_t to, bool attribute = false) {
    char* base = s_.data();
    std::string_view span = std::string_view(s_).substr(from, to - from);
    size_t first = attribute ? span.find_first_of("&\r\n\t") : span.find('&');
    if (first == std::string_view::npos) return view(from, to);
    size_t r = from + first, w = r;
    while (r < to) {
      char c = base[r];
      if (attribute && (c == '\r' || c == '\n' || c == '\t')) {
        if (c == '\r' && r + 1 < to && base[r + 1] == '\n') ++r;
        base[w++] = ' ';
        ++r;
        continue;
      }
      if (c != '&') {
        base[w++] = c;
        ++r;
        continue;
      }
      size_t semi = std::string_view(s_).substr(r, std::min<size_t>(to - r, 12)).find(';');
      if (semi == std::string_view::npos) fail("malformed entity reference", r);
      std::string_view ent = view(r + 1, r + semi);
      uint32_t code = 0;
      if (ent == "lt") code = '<';
      else if (ent == "gt") code = '>';
      else if (ent == "amp") code = '&';
      else if (ent == "quot") code = '"';
      else if (ent == "apos") code = '\'';
      else if (ent.size() >= 2 && ent[0] == '#') {
        bool hex = ent[1] == 'x';
        std::string_view digits = ent.substr(hex ? 2 : 1);
        if (digits.empty()) fail("malformed character reference", r);
        for (char d : digits) {
          int v = d >= '0' && d <= '9' ? d - '0' : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10 : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10 : -1;
          if (v < 0) fail("malformed character reference", r);
          code = code * (hex ? 16 : 10) + static_cast<uint32_t>(v);
          if (code > 0x10FFFF) fail("character reference out of range", r);
        }
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) fail("character reference to an invalid character", r);
      } else {
        fail("unknown entity '&" + std::string(ent) + ";'", r);
      }
      r += semi + 1;
      if (code < 0x80) {
        base[w++] = static_cast<char>(code);
      } else if (code < 0x800) {
        base[w++] = static_cast<char>(0xC0 | code >> 6);
        base[w++] = static_cast<char>(0x80 | (code & 0x3F));
      } else if (code < 0x10000) {
        base[w++] = static_cast<char>(0xE0 | code >> 12);
        base[w++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        base[w++] = static_cast<char>(0x80 | (code & 0x3F));
      } else {
        base[w++] = static_cast<char>(0xF0 | code >> 18);
        base[w++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        base[w++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        base[w++] = static_cast<char>(0x80 | (code & 0x3F));
      }
    }
    return view(from, w);
  }

  Document& doc_;
  const ParseLimits& limits_;
  std::string& s_;
  size_t pos_ = 0;
  size_t nodes_ = 0;
  size_t memory_ = doc_.memoryUse();  // counted as it counts
  std::vector<const AttrData*> innerPrefixes_;
  std::unordered_set<std::string_view> seenNames_;
};

std::unique_ptr<Document> Document::parse(std::string source, const ParseLimits& limits) {
  if (source.size() > limits.maxBytes) throw XmlError("XML part larger than allowed", 0);
  auto doc = std::make_unique<Document>();
  doc->source_ = partAsUtf8(std::move(source));
  // A byte order mark is not content.
  size_t skip = doc->source_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  if (skip) doc->source_.erase(0, 3);
  Parser parser(*doc, limits);
  parser.run();
  return doc;
}

// ---- Writer ----
namespace {

// Which bytes need a reference, in text and in attribute values: looked up, not switched on,
// since a long main text is written a byte at a time otherwise. A CR written as itself would
// read back as a line feed.
struct EscapeTable {
  bool text[256] = {}, attribute[256] = {}, textAsRead[256] = {};
  constexpr EscapeTable() {
    for (unsigned char c : {'&', '<', '>'}) text[c] = attribute[c] = textAsRead[c] = true;
    for (unsigned char c : {'"', '\t', '\n', '\r'}) attribute[c] = true;
    text[static_cast<unsigned char>('\r')] = true;
  }
};
constexpr EscapeTable kEscape;

const char* reference(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\t': return "&#9;";
    case '\n': return "&#10;";
    default: return "&#13;";
  }
}

}  // namespace

namespace {
void appendEscapedWith(std::string& out, std::string_view text, const bool* special) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!special[static_cast<unsigned char>(text[i])]) continue;
    out.append(text.data() + start, i - start);
    out.append(reference(text[i]));
    start = i + 1;
  }
  out.append(text.data() + start, text.size() - start);
}
}  // namespace

void appendEscaped(std::string& out, std::string_view text, bool attribute) {
  appendEscapedWith(out, text, attribute ? kEscape.attribute : kEscape.text);
}

namespace {
void write(std::string& out, const NodeData* n) {
  switch (n->type) {
    case NodeType::Document:
      for (const NodeData* c = n->first; c; c = c->next) write(out, c);
      break;
    case NodeType::Text: appendEscapedWith(out, n->value, n->literalCr ? kEscape.textAsRead : kEscape.text); break;
    case NodeType::CData:
      out += "<![CDATA[";
      out += n->value;
      out += "]]>";
      break;
    case NodeType::Comment:
      out += "<!--";
      out += n->value;
      out += "-->";
      break;
    case NodeType::ProcessingInstruction:
      out += "<?";
      out += n->name;
      if (!n->value.empty()) {
        out += ' ';
        out += n->value;
      }
      out += "?>";
      break;
    case NodeType::Element:
      out += '<';
      out += n->name;
      for (const AttrData* a = n->attrs; a; a = a->next) {
        out += ' ';
        out += a->name;
        out += "=\"";
        appendEscaped(out, a->value, true);
        out += '"';
      }
      if (!n->first) {
        out += "/>";
        break;
      }
      out += '>';
      for (const NodeData* c = n->first; c; c = c->next) write(out, c);
      out += "</";
      out += n->name;
      out += '>';
      break;
  }
}
}  // namespace

std::string Document::serialize() const {
  std::string out;
  out.reserve(source_.size() + source_.size() / 8 + 64);
  write(out, root_);
  return out;
}

}  // namespace ooxml::xml
