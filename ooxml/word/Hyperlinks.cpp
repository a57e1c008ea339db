#include "ooxml/word/Hyperlinks.h"

#include "automation/Dispatch.h"
#include "platform/Text.h"

namespace ooxml::word {

namespace {

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0; }

// A field argument in quotes; a backslash or quote inside is escaped by a backslash.
std::u16string quoted(std::u16string_view v) {
  std::u16string out = u"\"";
  for (char16_t c : v) {
    if (c == u'\\' || c == u'"') out += u'\\';
    out += c;
  }
  return out + u"\"";
}

}  // namespace

HyperlinkFieldCode::HyperlinkFieldCode(std::u16string code) : code_(std::move(code)) {
  size_t i = 0, n = code_.size();
  for (;;) {
    while (i < n && isSpace(code_[i])) ++i;
    if (i >= n) break;
    Token t{i, i, {}, false};
    if (code_[i] == u'"') {
      for (++i; i < n && code_[i] != u'"'; ++i) {
        if (code_[i] == u'\\' && i + 1 < n && (code_[i + 1] == u'\\' || code_[i + 1] == u'"')) ++i;
        t.value += code_[i];
      }
      if (i < n) ++i;
    } else {
      while (i < n && !isSpace(code_[i])) t.value += code_[i++];
      t.isSwitch = t.value.size() >= 2 && t.value[0] == u'\\';
    }
    t.end = i;
    tokens_.push_back(std::move(t));
  }
  hyperlink_ = !tokens_.empty() && !tokens_[0].isSwitch && platform::toUpper(tokens_[0].value) == u"HYPERLINK";
  if (!hyperlink_) return;
  for (size_t k = 1; k < tokens_.size(); ++k) {
    const Token& t = tokens_[k];
    if (!t.isSwitch) {
      if (address_ < 0) address_ = static_cast<int>(k);
      continue;
    }
    std::u16string name = platform::toLower(t.value);
    // \l (bookmark), \o (tip) and \t (target frame) take an argument; \h, \m and \n do not.
    if (name == u"\\l" || name == u"\\o" || name == u"\\t") {
      if (k + 1 < tokens_.size() && !tokens_[k + 1].isSwitch) {
        if (name == u"\\l") anchor_ = static_cast<int>(k);
        ++k;
      }
    }
  }
}

std::u16string HyperlinkFieldCode::withAddress(std::u16string_view address) const {
  std::u16string code = code_;
  if (address_ >= 0) {
    const Token& t = tokens_[address_];
    if (address.empty()) code.erase(tokens_[address_ - 1].end, t.end - tokens_[address_ - 1].end);
    else code.replace(t.begin, t.end - t.begin, quoted(address));
  } else if (!address.empty()) {
    code.insert(tokens_[0].end, u" " + quoted(address));
  }
  return code;
}

std::u16string HyperlinkFieldCode::withSubAddress(std::u16string_view subAddress) const {
  std::u16string code = code_;
  if (anchor_ >= 0) {
    const Token& arg = tokens_[anchor_ + 1];
    if (subAddress.empty()) code.erase(tokens_[anchor_ - 1].end, arg.end - tokens_[anchor_ - 1].end);
    else code.replace(arg.begin, arg.end - arg.begin, quoted(subAddress));
  } else if (!subAddress.empty()) {
    code.insert(tokens_.back().end, u" \\l " + quoted(subAddress));
  }
  return code;
}

std::vector<el::LinkSite>& Hyperlinks::links() {
  if (read_ == doc_.mainStory().objectsVersion()) return links_;
  links_.clear();
  uses_.clear();
  xml::Node root = doc_.package().xmlPart(doc_.mainPartName()).documentElement();
  el::countRelationshipUses(root, uses_);
  xml::Node body = el::bodyOf(root);
  for (el::LinkSite& s : el::linkSites(body))
    if (s.kind == el::LinkSite::Element || HyperlinkFieldCode(el::fieldCode(s)).isHyperlink()) links_.push_back(std::move(s));
  read_ = doc_.mainStory().objectsVersion();
  return links_;
}

el::LinkSite& Hyperlinks::link(size_t i) {
  auto& l = links();
  if (i >= l.size()) throw automation::AutomationError("The requested member of the collection does not exist.");
  return l[i];
}

xml::Node Hyperlinks::relationshipsRoot(bool create) {
  std::string name = relationshipsPartName(doc_.mainPartName());
  if (!doc_.package().hasPart(name)) {
    if (!create) return {};
    doc_.package().setPartBytes(name, el::kEmptyRelationships);
  }
  return doc_.package().xmlPart(name).documentElement();
}

uint64_t Hyperlinks::relationshipsVersion() { return doc_.package().partVersion(relationshipsPartName(doc_.mainPartName())); }

xml::Node Hyperlinks::relationshipEntry(std::string_view id) {
  xml::Node root = relationshipsRoot(false);
  if (relationshipsVersion() != entriesRead_) {
    entries_.clear();
    entryElements_ = 0;
    for (xml::Node c = root.firstElement(); c; c = c.nextElement(), ++entryElements_)
      if (c.is("Relationship")) entries_.emplace(c.attribute("Id"), c);  // the first of an id counts
    entriesRead_ = relationshipsVersion();
  }
  auto it = entries_.find(id);
  return it == entries_.end() ? xml::Node() : it->second;
}

std::u16string Hyperlinks::address(size_t i) {
  el::LinkSite& s = link(i);
  if (s.kind != el::LinkSite::Element) return HyperlinkFieldCode(el::fieldCode(s)).address();
  std::string_view id = el::linkRelationship(s.node);
  if (id.empty()) return {};
  return platform::utf8ToWide(el::relationshipTarget(relationshipEntry(id)));
}

std::u16string Hyperlinks::subAddress(size_t i) {
  el::LinkSite& s = link(i);
  if (s.kind != el::LinkSite::Element) return HyperlinkFieldCode(el::fieldCode(s)).subAddress();
  return platform::utf8ToWide(el::linkAnchor(s.node));
}

void Hyperlinks::setCode(el::LinkSite& s, std::u16string code) {
  if (s.nestedCode) throw automation::AutomationError("This Word does not change a hyperlink field whose code holds another field.");
  if (code == el::fieldCode(s)) return;
  el::setFieldCode(s, code);
  doc_.package().markChanged(doc_.mainPartName());
  doc_.noteChanged();
}

void Hyperlinks::setAddress(size_t i, std::u16string_view address) {
  el::LinkSite& s = link(i);
  if (s.kind != el::LinkSite::Element) setCode(s, HyperlinkFieldCode(el::fieldCode(s)).withAddress(address));
  else setElementAddress(s.node, address);
}

void Hyperlinks::setSubAddress(size_t i, std::u16string_view subAddress) {
  el::LinkSite& s = link(i);
  if (s.kind != el::LinkSite::Element) {
    setCode(s, HyperlinkFieldCode(el::fieldCode(s)).withSubAddress(subAddress));
    return;
  }
  std::string anchor = platform::wideToUtf8(subAddress);
  if (anchor == el::linkAnchor(s.node)) return;
  el::setLinkAnchor(s.node, anchor);
  doc_.package().markChanged(doc_.mainPartName());
  doc_.noteChanged();
}

void Hyperlinks::setElementAddress(xml::Node hyperlink, std::u16string_view address) {
  std::string target = platform::wideToUtf8(address);
  std::string id(el::linkRelationship(hyperlink));
  xml::Node entry = id.empty() ? xml::Node() : relationshipEntry(id);
  if (entry && el::relationshipTarget(entry) == target) return;
  if (!entry && target.empty() && id.empty()) return;
  xml::Node rels = relationshipsRoot(true);
  std::string relsName = relationshipsPartName(doc_.mainPartName());
  auto used = uses_.find(id);
  const size_t uses = used == uses_.end() ? 0 : used->second;
  relationshipEntry("");  // the index matches the part, which may have just been made
  // Each edit keeps the index true, so that a pass changing every link's address costs no walk per link.
  if (target.empty()) {
    el::setLinkRelationship(hyperlink, "");
    if (entry && uses <= 1) {
      entry.detach();
      entries_.erase(id);
      --entryElements_;
    }
    if (uses > 0) --used->second;
  } else if (entry && uses <= 1 && el::relationshipIsExternal(entry)) {
    el::setRelationshipTarget(entry, target);
  } else {
    // Shared with other links (or none yet): this link gets a relationship of its own.
    std::string fresh;
    for (size_t n = entryElements_ + 1; fresh.empty() || entries_.count(fresh); ++n) fresh = "rId" + std::to_string(n);
    xml::Node made = el::addHyperlinkRelationship(rels, target, fresh);
    entries_.emplace(made.attribute("Id"), made);
    ++entryElements_;
    el::setLinkRelationship(hyperlink, fresh);
    if (uses > 0) --used->second;
    uses_[fresh] = 1;
  }
  entriesRead_ = relationshipsVersion();
  doc_.package().markChanged(relsName);
  doc_.package().markChanged(doc_.mainPartName());
  doc_.noteChanged();
}

}  // namespace ooxml::word
