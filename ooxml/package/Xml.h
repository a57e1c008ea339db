#pragma once
// A small XML DOM for what OOXML parts use: elements with qualified names, attributes, text
// (entities and character references decoded), CDATA, comments and processing instructions,
// all kept for writing back. A DOCTYPE is rejected, so no entity can ever expand; nesting
// depth and size are bounded. Nodes live in their document's arena; a Node is a cheap
// handle that is safe to use when empty (every query on it answers empty).
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

namespace ooxml::xml {

enum class NodeType { Document, Element, Text, CData, Comment, ProcessingInstruction };

class Document;
struct NodeData;
struct AttrData;

class Attribute {
 public:
  Attribute() = default;
  explicit Attribute(AttrData* a) : a_(a) {}
  explicit operator bool() const { return a_ != nullptr; }
  std::string_view name() const;
  std::string_view value() const;
  Attribute next() const;

 private:
  AttrData* a_ = nullptr;
};

class Node {
 public:
  Node() = default;
  explicit Node(NodeData* d) : d_(d) {}
  explicit operator bool() const { return d_ != nullptr; }
  bool operator==(const Node& o) const { return d_ == o.d_; }
  bool operator!=(const Node& o) const { return d_ != o.d_; }

  NodeType type() const;
  bool isElement() const { return d_ && type() == NodeType::Element; }
  bool is(std::string_view qualifiedName) const { return isElement() && name() == qualifiedName; }
  std::string_view name() const;   // element name as written ("w:p"); PI target
  std::string_view value() const;  // text, CDATA, comment content; PI data
  void setValue(std::string_view v);
  // Replaces bytes [pos, pos + count) of the value in a buffer the node keeps: views of the
  // value taken before are no longer valid.
  void spliceValue(size_t pos, size_t count, std::string_view with);
  void setName(std::string_view n);

  Node parent() const;
  Node firstChild() const;
  Node lastChild() const;
  Node nextSibling() const;
  Node previousSibling() const;
  Node child(std::string_view name) const;  // first child element of that name
  Node firstElement() const;                // first child that is an element
  Node nextElement() const;                 // next sibling that is an element

  Attribute firstAttribute() const;
  std::string_view attribute(std::string_view name) const;  // "" when absent
  bool hasAttribute(std::string_view name) const;
  void setAttribute(std::string_view name, std::string_view value);
  void removeAttribute(std::string_view name);

  // Tree edits; a node moved in is first taken out of where it was.
  Node appendChild(Node child);
  Node prependChild(Node child);
  Node insertBefore(Node child, Node reference);
  Node insertAfter(Node child, Node reference);
  void detach();
  Node clone(bool deep) const;  // unattached copy in the same document

  Document* document() const;
  NodeData* data() const { return d_; }

 private:
  NodeData* d_ = nullptr;
};

struct ParseLimits {
  size_t maxDepth = 256;
  size_t maxBytes = 512u << 20;
  // Elements, texts, comments and attributes together: each costs up to a hundred bytes however
  // few it was written in, so a small part of empty elements is refused by their number...
  size_t maxNodes = 50'000'000;
  // ... or by the memory the tree takes: its text, nodes and attributes (see memoryUse()).
  size_t maxMemory = SIZE_MAX;
};

class Document {
 public:
  Document();
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Throws XmlError (with the byte offset) on malformed input or a DOCTYPE.
  static std::unique_ptr<Document> parse(std::string source, const ParseLimits& limits = {});

  Node root() const { return Node(root_); }  // the document node
  Node documentElement() const;              // the one top element
  Node createElement(std::string_view name);
  Node createText(std::string_view text);
  std::string serialize() const;

  // Counts changes to the tree, its names, values and attributes: what was read from it
  // stays true while the count stands.
  uint64_t edits() const { return edits_; }
  // The bytes the parsed tree holds, as the parse limit counts them: the text and every node
  // and attribute (names and values are views of the text).
  size_t memoryUse() const;

  // A copy of the text that lives as long as the document.
  std::string_view keep(std::string_view text);

 private:
  friend class Node;
  friend class Parser;
  NodeData* newNode(int type);
  AttrData* newAttr();

  std::string source_;
  std::deque<NodeData> nodes_;
  std::deque<AttrData> attrs_;
  std::deque<std::string> strings_;
  NodeData* root_ = nullptr;
  uint64_t edits_ = 0;
};

// Text as it must be written inside an element or an attribute value.
void appendEscaped(std::string& out, std::string_view text, bool attribute);

}  // namespace ooxml::xml

#include "ooxml/package/XmlNodeData.h"  // IWYU pragma: export
