#include "ooxml/package/Package.h"

#include <algorithm>

#include "ooxml/package/PackageError.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace ooxml {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string folded(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Relationship targets are URIs: %XX escapes name bytes of the part.
std::string percentDecode(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    auto hex = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

}  // namespace

std::string relationshipsPartName(std::string_view sourcePart) {
  size_t slash = sourcePart.rfind('/');
  std::string folder = slash == std::string_view::npos ? "" : std::string(sourcePart.substr(0, slash + 1));
  std::string file(slash == std::string_view::npos ? sourcePart : sourcePart.substr(slash + 1));
  return folder + "_rels/" + file + ".rels";
}

Package::Package(std::string bytes, const PackageLimits& limits)
    : limits_(limits),
      zip_(std::move(bytes), limits.zip),
      xmlBudget_(std::clamp(zip_.bytes().size() * limits.xmlMemoryPerByte, limits.minXmlMemory,
                            std::max(limits.minXmlMemory, limits.maxXmlMemory))) {
  for (const ZipEntry& e : zip_.entries()) {
    if (!e.name.empty() && e.name.back() == '/') {  // a folder entry holds no part
      folders_.emplace_back(parts_.size(), &e);
      continue;
    }
    // Two entries of one name: readers differ on which is the part, so an edit of one could
    // go unseen; such a package is damaged.
    if (byFoldedName_.count(folded(e.name))) throw PackageError("The package holds the part \"" + e.name + "\" twice.");
    auto p = std::make_unique<Part>();
    p->name = e.name;
    p->entry = &e;
    index(p.get());
    parts_.push_back(std::move(p));
  }
}

void Package::index(Part* p) {
  byName_.emplace(p->name, p);
  byFoldedName_.emplace(folded(p->name), p);
}

std::unique_ptr<Package> Package::open(const AnsiString& path, const PackageLimits& limits) {
  std::string bytes;
  try {
    bytes = platform::readFile(path, static_cast<size_t>(limits.maxFileSize));
  } catch (const std::exception& e) {
    throw PackageError(std::string("The file cannot be read: ") + e.what());
  }
  return fromBytes(std::move(bytes), limits);
}

std::unique_ptr<Package> Package::fromBytes(std::string bytes, const PackageLimits& limits) {
  return std::unique_ptr<Package>(new Package(std::move(bytes), limits));
}

Package::Part* Package::find(std::string_view name) {
  if (auto it = byName_.find(name); it != byName_.end()) return it->second;  // nearly always asked for as written
  auto it = byFoldedName_.find(folded(name));  // part names compare without case
  return it == byFoldedName_.end() ? nullptr : it->second;
}
const Package::Part* Package::find(std::string_view name) const {
  return const_cast<Package*>(this)->find(name);
}
Package::Part& Package::need(std::string_view name) {
  Part* p = find(name);
  if (!p) throw PackageError("The package has no part \"" + std::string(name) + "\".");
  return *p;
}

bool Package::hasPart(std::string_view name) const { return find(name) != nullptr; }

std::vector<std::string> Package::partNames() const {
  std::vector<std::string> names;
  for (auto& p : parts_) names.push_back(p->name);
  return names;
}

std::string Package::partBytes(std::string_view name) {
  Part& p = need(name);
  if (p.dom && p.changed) return p.dom->serialize();
  if (p.bytes) return *p.bytes;
  return zip_.read(*p.entry);
}

xml::Document& Package::xmlPart(std::string_view name) {
  Part& p = need(name);
  if (!p.dom) {
    xml::ParseLimits limits = limits_.xml;
    limits.maxMemory = static_cast<size_t>(std::min<uint64_t>(limits.maxMemory, xmlBudget_ - std::min(xmlHeld_, xmlBudget_)));
    try {
      p.dom = xml::Document::parse(p.bytes ? *p.bytes : zip_.read(*p.entry), limits);
    } catch (const XmlError& e) {
      if (std::string_view(e.what()).find("too many XML nodes") != std::string_view::npos)
        throw PackageError("The package is too large to open: too many XML nodes (its parts would take over " +
                           std::to_string(xmlBudget_ >> 20) + " MiB; in part \"" + p.name + "\").");
      throw XmlError("In part \"" + p.name + "\": " + e.what(), e.offset());
    }
    p.domMemory = p.dom->memoryUse();
    xmlHeld_ += p.domMemory;
  }
  return *p.dom;
}

void Package::setPartBytes(std::string_view name, std::string bytes) {
  Part* p = find(name);
  if (!p) {
    parts_.push_back(std::make_unique<Part>());
    p = parts_.back().get();
    p->name = std::string(name);
    index(p);
  }
  p->bytes = std::move(bytes);
  xmlHeld_ -= p->domMemory;
  p->domMemory = 0;
  p->dom.reset();
  relationshipsRead_.clear();  // a part parsed anew may sit where the old one was
  ++partsReplaced_;
  p->changed = true;
}

void Package::markChanged(std::string_view name) {
  Part& p = need(name);
  if (!p.dom) xmlPart(name);
  p.changed = true;
}

uint64_t Package::partVersion(std::string_view name) const {
  const Part* p = find(name);
  uint64_t edits = p && p->dom ? p->dom->edits() + 1 : 0;  // parsing is a change too
  return partsReplaced_ << 40 ^ edits;
}

bool Package::isChanged(std::string_view name) const {
  const Part* p = find(name);
  return p && p->changed;
}

std::string Package::contentType(std::string_view partName) {
  xml::Node types = xmlPart("[Content_Types].xml").documentElement();
  for (xml::Node n = types.firstElement(); n; n = n.nextElement()) {
    if (n.name() != "Override") continue;
    std::string_view p = n.attribute("PartName");
    if (!p.empty() && p[0] == '/') p.remove_prefix(1);
    if (equalsNoCase(percentDecode(p), partName)) return std::string(n.attribute("ContentType"));
  }
  size_t dot = partName.rfind('.');
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : partName.substr(dot + 1);
  for (xml::Node n = types.firstElement(); n; n = n.nextElement())
    if (n.name() == "Default" && equalsNoCase(n.attribute("Extension"), ext)) return std::string(n.attribute("ContentType"));
  return {};
}

void Package::setContentTypeOverride(std::string_view partName, std::string_view type) {
  xml::Document& doc = xmlPart("[Content_Types].xml");
  xml::Node types = doc.documentElement();
  std::string slashed = "/" + std::string(partName);
  for (xml::Node n = types.firstElement(); n; n = n.nextElement()) {
    if (n.name() == "Override" && equalsNoCase(n.attribute("PartName"), slashed)) {
      n.setAttribute("ContentType", type);
      markChanged("[Content_Types].xml");
      return;
    }
  }
  xml::Node o = doc.createElement("Override");
  o.setAttribute("PartName", slashed);
  o.setAttribute("ContentType", type);
  types.appendChild(o);
  markChanged("[Content_Types].xml");
}

const std::vector<Relationship>& Package::relationships(std::string_view sourcePart) {
  std::string relsName = relationshipsPartName(sourcePart);
  RelationshipsRead& read = relationshipsRead_[relsName];
  const xml::Document* dom = hasPart(relsName) ? &xmlPart(relsName) : nullptr;
  if (read.dom == dom && (!dom || read.edits == dom->edits()) && !read.list.empty()) return read.list;
  read.dom = dom;
  read.edits = dom ? dom->edits() : 0;
  std::vector<Relationship>& rels = read.list;
  rels.clear();
  if (!dom) return rels;
  xml::Node root = dom->documentElement();
  for (xml::Node n = root.firstElement(); n; n = n.nextElement()) {
    if (n.name() != "Relationship") continue;
    Relationship r;
    r.id = n.attribute("Id");
    r.type = n.attribute("Type");
    r.target = n.attribute("Target");
    r.external = n.attribute("TargetMode") == "External";
    rels.push_back(std::move(r));
  }
  return rels;
}

namespace {

// A target of plain segments ("media/image1.png") needs no decoding or climbing.
bool isPlainRelativeTarget(std::string_view t) {
  if (t.empty() || t.find_first_of("%\\") != std::string_view::npos || t[0] == '/') return false;
  size_t start = 0;
  while (start <= t.size()) {
    size_t slash = t.find('/', start);
    if (slash == std::string_view::npos) slash = t.size();
    std::string_view seg = t.substr(start, slash - start);
    if (seg.empty() || seg == "." || seg == "..") return false;
    start = slash + 1;
  }
  return true;
}

}  // namespace

std::string Package::resolveTarget(std::string_view sourcePart, std::string_view target) {
  size_t folderEnd = sourcePart.rfind('/');
  std::string_view folder = folderEnd == std::string_view::npos ? std::string_view() : sourcePart.substr(0, folderEnd);
  if (isPlainRelativeTarget(target) && (folder.empty() || isPlainRelativeTarget(folder)))
    return std::string(folder).append(folder.empty() ? "" : "/").append(target);
  std::string t = percentDecode(target);
  std::vector<std::string> parts;
  std::string base;
  if (!t.empty() && t[0] == '/') {
    t.erase(0, 1);
  } else {
    size_t slash = sourcePart.rfind('/');
    if (slash != std::string_view::npos) base = std::string(sourcePart.substr(0, slash + 1));
  }
  std::string whole = base + t;
  size_t start = 0;
  while (start <= whole.size()) {
    size_t slash = whole.find_first_of("/\\", start);
    if (slash == std::string::npos) slash = whole.size();
    std::string seg = whole.substr(start, slash - start);
    if (seg == "..") {
      if (parts.empty()) throw PackageError("A relationship target climbs out of the package: \"" + std::string(target) + "\".");
      parts.pop_back();
    } else if (!seg.empty() && seg != ".") {
      parts.push_back(seg);
    }
    start = slash + 1;
  }
  std::string out;
  for (auto& s : parts) out += (out.empty() ? "" : "/") + s;
  return out;
}

std::string Package::mainPartName() {
  for (const Relationship& r : relationships("")) {
    if (!r.external && (r.type == relTypes::kOfficeDocument || r.type == relTypes::kOfficeDocumentStrict))
      return resolveTarget("", r.target);
  }
  return {};
}

std::string Package::save() {
  ZipWriter w;
  auto folder = folders_.begin();
  for (size_t i = 0; i <= parts_.size(); ++i) {
    for (; folder != folders_.end() && folder->first == i; ++folder) w.copy(zip_, *folder->second);
    if (i == parts_.size()) break;
    auto& p = parts_[i];
    if (!p->changed && p->entry) {
      w.copy(zip_, *p->entry);
    } else if (p->dom) {
      w.add(p->name, p->dom->serialize());
    } else if (p->bytes) {
      w.add(p->name, *p->bytes);
    } else {
      w.copy(zip_, *p->entry);
    }
  }
  return w.finish();
}

void Package::saveAs(const AnsiString& path) {
  std::string bytes = save();
  if (!platform::writeFileAtomically(path, bytes))
    throw PackageError("The document could not be written to \"" + platform::ansiToUtf8(path) + "\"; the file on disk was left as it was.");
}

}  // namespace ooxml
