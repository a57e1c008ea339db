#include "ooxml/word/StoryElements.h"

#include <functional>

#include "ooxml/word/Elements.h"
#include "platform/Text.h"

namespace ooxml::word::el {

namespace {

bool onOff(Node n) {
  if (!n) return false;
  std::string_view v = n.attribute("w:val");
  return !(v == "0" || v == "false" || v == "off");
}

// Content that does not count: deleted text and the fallback copy of AlternateContent; text
// boxes are stories of their own.
bool outsideStory(Node n) { return n.is("w:txbxContent") || n.is("w:del") || n.is("w:moveFrom") || n.is("mc:Fallback"); }

// Calls f on every element under root in document order; f returns whether to look inside.
void walk(Node root, const std::function<bool(Node)>& f) {
  for (Node c = root.firstElement(); c; c = c.nextElement()) {
    if (outsideStory(c)) continue;
    if (c.is("mc:AlternateContent")) {
      if (Node choice = alternateChoice(c)) walk(choice, f);
      continue;
    }
    if (f(c)) walk(c, f);
  }
}

Node firstDescendant(Node root, std::string_view name, std::string_view stopAt1, std::string_view stopAt2) {
  for (Node c = root.firstElement(); c; c = c.nextElement()) {
    if (c.is(stopAt1) || c.is(stopAt2)) return Node();
    if (c.is(name)) return c;
    if (Node found = firstDescendant(c, name, stopAt1, stopAt2)) return found;
  }
  return Node();
}

bool isAbsolutelyPlaced(Node vml) {
  std::string style(vml.attribute("style"));
  std::string compact;
  for (char c : style)
    if (c != ' ') compact += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return compact.find("position:absolute") != std::string::npos;
}

}  // namespace

Node bodyOf(Node documentElement) { return documentElement.child("w:body"); }
Node paragraphSection(Node p) { return p.is("w:p") ? p.child("w:pPr").child("w:sectPr") : Node(); }
Node bodySection(Node body) { return body.child("w:sectPr"); }

std::string_view headerFooterReference(Node sect, bool footer, int kind) {
  std::string_view want = kind == kFirstPage ? "first" : kind == kEvenPages ? "even" : "default";
  for (Node c = sect.firstElement(); c; c = c.nextElement()) {
    if (!c.is(footer ? "w:footerReference" : "w:headerReference")) continue;
    std::string_view type = c.attribute("w:type");
    if (type == want || (type.empty() && kind == kPrimary)) return c.attribute("r:id");
  }
  return {};
}

bool titlePage(Node sect) { return onOff(sect.child("w:titlePg")); }
bool evenAndOddHeaders(Node settings) { return onOff(settings.child("w:evenAndOddHeaders")); }

bool isUserNote(Node n) {
  if (!n.is("w:footnote") && !n.is("w:endnote")) return false;
  std::string_view type = n.attribute("w:type");
  return type.empty() || type == "normal";
}

std::vector<Node> floatingShapes(Node root) {
  std::vector<Node> out;
  walk(root, [&](Node n) {
    if (n.is("wp:anchor")) {
      out.push_back(n);
      return false;
    }
    if (n.is("wp:inline") || n.is("w:object")) return false;
    if (n.is("w:pict")) {
      for (Node c = n.firstElement(); c; c = c.nextElement())
        if (c.name().substr(0, 2) == "v:" && !c.is("v:shapetype") && isAbsolutelyPlaced(c)) out.push_back(c);
      return false;
    }
    return true;
  });
  return out;
}

Node shapeTextContent(Node shape) {
  // A group holds shapes of its own; Word gives the group itself no text.
  if (shape.is("v:group")) return Node();
  return firstDescendant(shape, "w:txbxContent", "wpg:wgp", "v:group");
}

Node fallbackTextContent(Node content) {
  for (Node n = content.parent(); n; n = n.parent()) {
    if (n.is("mc:Choice")) return firstDescendant(n.parent().child("mc:Fallback"), "w:txbxContent", "", "");
    if (n.is("w:body")) break;
  }
  return Node();
}

std::vector<LinkSite> linkSites(Node root) {
  std::vector<LinkSite> sites;
  struct Open {
    size_t site;
    bool inCode;
  };
  std::vector<Open> open;
  walk(root, [&](Node n) {
    if (n.is("w:hyperlink")) sites.push_back({LinkSite::Element, n, {}, false});
    else if (n.is("w:fldSimple")) sites.push_back({LinkSite::SimpleField, n, {}, false});
    else if (n.is("w:instrText")) {
      if (!open.empty() && open.back().inCode) sites[open.back().site].code.push_back(n);
      return false;
    } else if (n.is("w:fldChar")) {
      std::string_view type = n.attribute("w:fldCharType");
      if (type == "begin") {
        if (!open.empty() && open.back().inCode) sites[open.back().site].nestedCode = true;
        open.push_back({sites.size(), true});
        sites.push_back({LinkSite::ComplexField, n, {}, false});
      } else if (type == "separate" && !open.empty()) {
        open.back().inCode = false;
      } else if (type == "end" && !open.empty()) {
        open.pop_back();
      }
      return false;
    }
    return true;
  });
  return sites;
}

std::u16string fieldCode(const LinkSite& site) {
  if (site.kind == LinkSite::SimpleField) return platform::utf8ToWide(site.node.attribute("w:instr"));
  std::u16string code;
  for (Node t : site.code) appendTextOf(t, code);
  return code;
}

void setFieldCode(LinkSite& site, std::u16string_view code) {
  if (site.kind == LinkSite::SimpleField) {
    site.node.setAttribute("w:instr", platform::wideToUtf8(code));
    return;
  }
  if (site.code.empty()) {
    // A field with no code yet: one run holding it, right after the begin.
    Node beginRun = site.node.parent();
    Node run = newRun(*beginRun.document(), runProperties(beginRun));
    Node t = beginRun.document()->createElement("w:instrText");
    run.appendChild(t);
    beginRun.parent().insertAfter(run, beginRun);
    site.code.push_back(t);
  }
  setTextOf(site.code[0], code);
  for (size_t i = 1; i < site.code.size(); ++i) {
    Node run = site.code[i].parent();
    site.code[i].detach();
    bool empty = true;
    for (Node c = run.firstElement(); c && empty; c = c.nextElement()) empty = isProperties(c);
    if (isRun(run) && empty) run.detach();
  }
  site.code.resize(1);
}

std::string_view linkRelationship(Node hyperlink) { return hyperlink.attribute("r:id"); }
void setLinkRelationship(Node hyperlink, std::string_view id) {
  if (id.empty()) hyperlink.removeAttribute("r:id");
  else hyperlink.setAttribute("r:id", id);
}
std::string_view linkAnchor(Node hyperlink) { return hyperlink.attribute("w:anchor"); }
void setLinkAnchor(Node hyperlink, std::string_view anchor) {
  if (anchor.empty()) hyperlink.removeAttribute("w:anchor");
  else hyperlink.setAttribute("w:anchor", anchor);
}

void countRelationshipUses(Node root, std::map<std::string, size_t, std::less<>>& counts) {
  for (Node c = root.firstElement(); c; c = c.nextElement()) {
    std::string_view id = c.attribute("r:id");
    if (!id.empty()) ++counts[std::string(id)];
    countRelationshipUses(c, counts);
  }
}

Node relationshipEntry(Node rels, std::string_view id) {
  for (Node c = rels.firstElement(); c; c = c.nextElement())
    if (c.is("Relationship") && c.attribute("Id") == id) return c;
  return Node();
}

std::string_view relationshipTarget(Node entry) { return entry.attribute("Target"); }
bool relationshipIsExternal(Node entry) { return entry.attribute("TargetMode") == "External"; }
void setRelationshipTarget(Node entry, std::string_view target) { entry.setAttribute("Target", target); }

Node addHyperlinkRelationship(Node rels, std::string_view target, std::string_view id) {
  Node e = rels.document()->createElement("Relationship");
  e.setAttribute("Id", id);
  e.setAttribute("Type", "http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink");
  e.setAttribute("Target", target);
  e.setAttribute("TargetMode", "External");
  rels.appendChild(e);
  return e;
}

const char* const kEmptyRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"></Relationships>";

}  // namespace ooxml::word::el
