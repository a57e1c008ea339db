#pragma once
// The records behind Node and Attribute handles, and the handles' small readers inline: the
// story walks and the writer ask a node's name and neighbours millions of times a document.
// Included at the end of Xml.h; nothing else includes it.
#include <memory>
#include <string>
#include <string_view>

namespace ooxml::xml {

struct AttrData {
  std::string_view name, value;
  AttrData* next = nullptr;
};

struct NodeData {
  NodeType type = NodeType::Element;
  Document* doc = nullptr;
  std::string_view name, value;
  NodeData *parent = nullptr, *first = nullptr, *last = nullptr, *prev = nullptr, *next = nullptr;
  AttrData* attrs = nullptr;
  // A value edited in place (a text a replace loop changes again and again) lives here, so
  // each edit reuses one buffer instead of keeping another copy for the document's lifetime.
  std::unique_ptr<std::string> owned;
  // A text that held a CR written as itself is written back as it was read, so that its bytes
  // stay as they were; any other text's CR (a reference, or one an edit put there) is written
  // as a reference, since one written as itself reads back as a line feed.
  bool literalCr = false;
  bool ownsValue() const { return owned && value.data() == owned->data() && !value.empty(); }
};

inline std::string_view Attribute::name() const { return a_ ? a_->name : std::string_view(); }
inline std::string_view Attribute::value() const { return a_ ? a_->value : std::string_view(); }
inline Attribute Attribute::next() const { return Attribute(a_ ? a_->next : nullptr); }

inline NodeType Node::type() const { return d_ ? d_->type : NodeType::Document; }
inline std::string_view Node::name() const { return d_ ? d_->name : std::string_view(); }
inline std::string_view Node::value() const { return d_ ? d_->value : std::string_view(); }
inline Node Node::parent() const { return Node(d_ ? d_->parent : nullptr); }
inline Node Node::firstChild() const { return Node(d_ ? d_->first : nullptr); }
inline Node Node::lastChild() const { return Node(d_ ? d_->last : nullptr); }
inline Node Node::nextSibling() const { return Node(d_ ? d_->next : nullptr); }
inline Node Node::previousSibling() const { return Node(d_ ? d_->prev : nullptr); }
inline Document* Node::document() const { return d_ ? d_->doc : nullptr; }

inline Node Node::child(std::string_view n) const {
  for (NodeData* c = d_ ? d_->first : nullptr; c; c = c->next)
    if (c->type == NodeType::Element && c->name == n) return Node(c);
  return {};
}
inline Node Node::firstElement() const {
  for (NodeData* c = d_ ? d_->first : nullptr; c; c = c->next)
    if (c->type == NodeType::Element) return Node(c);
  return {};
}
inline Node Node::nextElement() const {
  for (NodeData* c = d_ ? d_->next : nullptr; c; c = c->next)
    if (c->type == NodeType::Element) return Node(c);
  return {};
}

inline Attribute Node::firstAttribute() const { return Attribute(d_ ? d_->attrs : nullptr); }
inline std::string_view Node::attribute(std::string_view n) const {
  for (AttrData* a = d_ ? d_->attrs : nullptr; a; a = a->next)
    if (a->name == n) return a->value;
  return {};
}
inline bool Node::hasAttribute(std::string_view n) const {
  for (AttrData* a = d_ ? d_->attrs : nullptr; a; a = a->next)
    if (a->name == n) return true;
  return false;
}

}  // namespace ooxml::xml
