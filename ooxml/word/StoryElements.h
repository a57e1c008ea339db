#pragma once
// The element layer for what lies around the stories: section properties and their header and
// footer references, the settings that switch even-page headers on, notes, floating shapes and
// their text boxes, hyperlinks and fields, and the relationships part entries they point to.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ooxml/package/Xml.h"

namespace ooxml::word::el {

using xml::Node;

// Header and footer kinds, numbered as Word's HeadersFooters.Item numbers them.
inline constexpr int kPrimary = 1, kFirstPage = 2, kEvenPages = 3;

Node bodyOf(Node documentElement);
Node paragraphSection(Node p);  // the section properties a paragraph ends its section with
Node bodySection(Node body);    // the last section's properties
std::string_view headerFooterReference(Node sectionProperties, bool footer, int kind);  // the r:id, or ""
bool titlePage(Node sectionProperties);
bool evenAndOddHeaders(Node settingsRoot);

bool isUserNote(Node n);  // a footnote or endnote that is not a separator

// Floating shapes (DrawingML anchors and absolutely placed VML shapes) under root, in document
// order, not looking into text boxes, deleted content or AlternateContent fallbacks.
std::vector<Node> floatingShapes(Node root);
Node shapeTextContent(Node shape);        // the text box content, or empty (pictures, groups)
Node fallbackTextContent(Node content);   // the VML copy of a DrawingML text box, or empty

// Hyperlinks in document order: hyperlink elements, simple fields and complex fields (the
// caller keeps those whose code is a HYPERLINK field).
struct LinkSite {
  enum Kind { Element, SimpleField, ComplexField } kind;
  Node node;                  // w:hyperlink, w:fldSimple, or the complex field's begin
  std::vector<Node> code;     // a complex field's code pieces
  bool nestedCode = false;    // its code holds another field
};
std::vector<LinkSite> linkSites(Node root);
std::u16string fieldCode(const LinkSite& site);
void setFieldCode(LinkSite& site, std::u16string_view code);
std::string_view linkRelationship(Node hyperlink);  // r:id
void setLinkRelationship(Node hyperlink, std::string_view id);  // "" removes it
std::string_view linkAnchor(Node hyperlink);
void setLinkAnchor(Node hyperlink, std::string_view anchor);  // "" removes it
// How many elements under root name each relationship id.
void countRelationshipUses(Node root, std::map<std::string, size_t, std::less<>>& counts);

// Entries of a relationships part.
Node relationshipEntry(Node relationshipsRoot, std::string_view id);
std::string_view relationshipTarget(Node entry);
bool relationshipIsExternal(Node entry);
void setRelationshipTarget(Node entry, std::string_view target);
// A new external hyperlink relationship of an id the part does not use yet; returns its entry.
Node addHyperlinkRelationship(Node relationshipsRoot, std::string_view target, std::string_view id);
extern const char* const kEmptyRelationships;  // a relationships part with none

}  // namespace ooxml::word::el
