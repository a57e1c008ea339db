#include "ooxml/docprops/DocumentProperties.h"

#include <algorithm>
#include <array>
#include <string>

#include "automation/Dispatch.h"
#include "ooxml/package/PackageError.h"

namespace ooxml::docprops {

namespace {

constexpr std::string_view kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr std::string_view kRelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr std::string_view kCoreNs = "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
constexpr std::string_view kDublinCoreNs = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kExtendedNs = "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";

// One property part: where it is found and how a new one is made.
struct PartKind {
  std::array<std::string_view, 3> relationshipTypes;  // the first is written for a new part
  std::string_view contentType;
  std::string_view defaultName;  // "docProps/core" + ".xml"
  std::string_view skeleton;     // the root element of a new part
};

const PartKind kCore{
    {"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
     "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/core-properties",
     "http://purl.oclc.org/ooxml/officeDocument/relationships/metadata/core-properties"},
    "application/vnd.openxmlformats-package.core-properties+xml",
    "docProps/core",
    "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
    "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"/>"};

const PartKind kExtended{
    {"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties",
     "http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties", ""},
    "application/vnd.openxmlformats-officedocument.extended-properties+xml",
    "docProps/app",
    "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
    "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\"/>"};

struct Property {
  std::u16string_view name;  // lower case
  const PartKind* part;
  std::string_view ns;
  std::string_view localName;
  std::string_view preferredPrefix;  // for a new element when the part binds no prefix to ns
};

const Property kProperties[6] = {
    {u"title", &kCore, kDublinCoreNs, "title", "dc"},       {u"subject", &kCore, kDublinCoreNs, "subject", "dc"},
    {u"author", &kCore, kDublinCoreNs, "creator", "dc"},    {u"keywords", &kCore, kCoreNs, "keywords", "cp"},
    {u"manager", &kExtended, kExtendedNs, "Manager", "ep"}, {u"company", &kExtended, kExtendedNs, "Company", "ep"},
};

const Property* lookup(std::u16string_view name) {
  for (const Property& p : kProperties) {
    if (p.name.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; same && i < name.size(); ++i) {
      char16_t c = name[i];
      same = (c < 0x80 && c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c) == p.name[i];
    }
    if (same) return &p;
  }
  return nullptr;
}

const Property& need(std::u16string_view name) {
  if (const Property* p = lookup(name)) return *p;
  throw automation::AutomationError("The built-in document property \"" + platform::wideToUtf8(name) +
                                    "\" is not supported; Title, Subject, Author, Keywords, Manager and Company are.");
}

std::string_view prefixOf(std::string_view qname) {
  size_t colon = qname.find(':');
  return colon == std::string_view::npos ? std::string_view() : qname.substr(0, colon);
}
std::string_view localOf(std::string_view qname) {
  size_t colon = qname.find(':');
  return colon == std::string_view::npos ? qname : qname.substr(colon + 1);
}

// The namespace a prefix ("" for the default) stands for at an element.
std::string_view namespaceAt(xml::Node element, std::string_view prefix) {
  std::string attr = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
  for (xml::Node n = element; n.isElement(); n = n.parent())
    if (n.hasAttribute(attr)) return n.attribute(attr);
  return {};
}

xml::Node findChild(xml::Node parent, std::string_view ns, std::string_view localName) {
  for (xml::Node c = parent.firstElement(); c; c = c.nextElement())
    if (localOf(c.name()) == localName && namespaceAt(c, prefixOf(c.name())) == ns) return c;
  return {};
}

std::string textOf(xml::Node element) {
  std::string text;
  for (xml::Node c = element.firstChild(); c; c = c.nextSibling())
    if (c.type() == xml::NodeType::Text || c.type() == xml::NodeType::CData) text += c.value();
  return text;
}

// The qualified name for a new element in ns under root, declaring a prefix when none is bound.
std::string qualifiedName(xml::Node root, std::string_view ns, std::string_view preferred, std::string_view localName) {
  if (namespaceAt(root, "") == ns) return std::string(localName);
  for (xml::Attribute a = root.firstAttribute(); a; a = a.next())
    if (a.name().substr(0, 6) == "xmlns:" && a.value() == ns) return std::string(a.name().substr(6)) + ":" + std::string(localName);
  std::string prefix(preferred);
  for (int n = 2; !namespaceAt(root, prefix).empty(); ++n) prefix = std::string(preferred) + std::to_string(n);
  root.setAttribute("xmlns:" + prefix, ns);
  return prefix + ":" + std::string(localName);
}

// Whether XML 1.0 carries the value as it is: no carriage return, other control character or
// surrogate in it.
bool isStorable(std::u16string_view v) {
  auto plain = [](char16_t c) { return c >= 0x20 ? (c < 0xD800 || (c > 0xDFFF && c < 0xFFFE)) : (c == u'\t' || c == u'\n'); };
  return std::all_of(v.begin(), v.end(), plain);
}

// What XML 1.0 can carry of a value, line ends as a reader would give them back.
WideString storable(std::u16string_view v) {
  if (isStorable(v)) return WideString(v);
  WideString out;
  out.reserve(v.size());
  for (size_t i = 0; i < v.size(); ++i) {
    char16_t c = v[i];
    if (c == u'\r') {
      out += u'\n';
      if (i + 1 < v.size() && v[i + 1] == u'\n') ++i;
    } else if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < v.size() && v[i + 1] >= 0xDC00 && v[i + 1] <= 0xDFFF) {
        out += c;
        out += v[++i];
      }
    } else if ((c < 0x20 && c != u'\t' && c != u'\n') || (c >= 0xDC00 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) {
      continue;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

bool DocumentProperties::isBuiltinName(std::u16string_view name) { return lookup(name) != nullptr; }

namespace {

// The part's name from the package relationships ("" when none), even when the part itself
// is missing.
std::string partFor(Package& package, const PartKind& kind) {
  for (const Relationship& r : package.relationships("")) {
    if (r.external) continue;
    for (std::string_view t : kind.relationshipTypes)
      if (!t.empty() && r.type == t) return Package::resolveTarget("", r.target);
  }
  return {};
}

void addPackageRelationship(Package& package, std::string_view type, const std::string& partName) {
  const std::string relsName = "_rels/.rels";
  if (!package.hasPart(relsName))
    package.setPartBytes(relsName, std::string(kHead) + "<Relationships xmlns=\"" + std::string(kRelationshipsNs) + "\"/>");
  xml::Node root = package.xmlPart(relsName).documentElement();
  std::string prefix(prefixOf(root.name()));
  std::string id;
  for (int n = 1; id.empty(); ++n) {
    std::string candidate = "rId" + std::to_string(n);
    bool used = false;
    for (xml::Node r = root.firstElement(); r && !used; r = r.nextElement()) used = r.attribute("Id") == candidate;
    if (!used) id = candidate;
  }
  xml::Node rel = root.document()->createElement(prefix.empty() ? "Relationship" : prefix + ":Relationship");
  rel.setAttribute("Id", id);
  rel.setAttribute("Type", type);
  rel.setAttribute("Target", partName);
  root.appendChild(rel);
  package.markChanged(relsName);
}

// Makes the part (and what points at it) for a first property; returns its name.
std::string createPart(Package& package, const PartKind& kind, std::string name) {
  bool related = !name.empty();
  if (!related) {
    name = std::string(kind.defaultName) + ".xml";
    for (int n = 2; package.hasPart(name); ++n) name = std::string(kind.defaultName) + std::to_string(n) + ".xml";
  }
  package.setPartBytes(name, std::string(kHead) + std::string(kind.skeleton));
  package.setContentTypeOverride(name, kind.contentType);
  if (!related) addPackageRelationship(package, kind.relationshipTypes[0], name);
  return name;
}

}  // namespace

bool DocumentProperties::stillStands(const Read& r) const {
  return r.valid && r.replacements == package_.replacements() &&
         (r.relationships ? r.relationships->edits() : 0) == r.relationshipsEdits &&
         (r.part ? r.part->edits() : 0) == r.partEdits;
}

DocumentProperties::Read& DocumentProperties::current(size_t index) {
  const Property& p = kProperties[index];
  Read& r = read_[index];
  if (stillStands(r)) return r;
  constexpr std::string_view kPackageRelationships = "_rels/.rels";
  r.valid = false;
  r.partName = partFor(package_, *p.part);
  r.value.clear();
  r.part = nullptr;
  if (!r.partName.empty() && package_.hasPart(r.partName)) {
    const xml::Document& part = package_.xmlPart(r.partName);
    r.value = platform::utf8ToWide(textOf(findChild(part.documentElement(), p.ns, p.localName)));
    r.part = &part;
  }
  r.relationships = package_.hasPart(kPackageRelationships) ? &package_.xmlPart(kPackageRelationships) : nullptr;
  r.replacements = package_.replacements();
  r.relationshipsEdits = r.relationships ? r.relationships->edits() : 0;
  r.partEdits = r.part ? r.part->edits() : 0;
  r.valid = true;
  return r;
}

size_t DocumentProperties::indexOf(std::u16string_view name) { return static_cast<size_t>(&need(name) - kProperties); }

const WideString& DocumentProperties::value(size_t property) { return current(property).value; }

bool DocumentProperties::setValue(size_t property, std::u16string_view value) {
  const Property& p = kProperties[property];
  // Most rows write back what they read: known unchanged without a copy.
  if (current(property).value == value && isStorable(value)) return false;
  const WideString stored = storable(value);
  if (current(property).value == stored) return false;
  const std::string text = platform::wideToUtf8(stored);
  std::string part = partFor(package_, *p.part);
  if (part.empty() || !package_.hasPart(part)) {
    if (text.empty()) return false;
    part = createPart(package_, *p.part, part);
  }
  xml::Document& doc = package_.xmlPart(part);
  xml::Node root = doc.documentElement();
  xml::Node element = findChild(root, p.ns, p.localName);
  if (!element) {
    if (text.empty()) return false;
    element = root.appendChild(doc.createElement(qualifiedName(root, p.ns, p.preferredPrefix, p.localName)));
  } else if (textOf(element) == text) {
    return false;
  }
  while (xml::Node c = element.firstChild()) c.detach();
  if (!text.empty()) element.appendChild(doc.createText(text));
  package_.markChanged(part);
  return true;
}

}  // namespace ooxml::docprops
