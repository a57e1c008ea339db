#include "ooxml/word/Layout.h"

#include <algorithm>

#include "automation/Dispatch.h"
#include "ooxml/word/StoryElements.h"

namespace ooxml::word {

xml::Node DocumentLayout::body() {
  return el::bodyOf(doc_.package().xmlPart(doc_.mainPartName()).documentElement());
}

const std::vector<DocumentLayout::Section>& DocumentLayout::sections() {
  Story& main = doc_.mainStory();
  if (sectionsRead_ == main.layoutVersion()) return sections_;
  sections_.clear();
  size_t nextFirst = 0, blocks = 0;
  main.forEachBlock([&](xml::Node block, size_t) {
    ++blocks;
    if (xml::Node sect = el::paragraphSection(block)) {
      sections_.push_back({sect, nextFirst});
      nextFirst = blocks;
    }
  });
  xml::Node last = el::bodySection(body());
  // Without final section properties, a last paragraph that ends a section ends the document.
  if (last || sections_.empty() || nextFirst < blocks) sections_.push_back({last, nextFirst});
  sectionsRead_ = main.layoutVersion();
  return sections_;
}

size_t DocumentLayout::sectionStart(size_t section) {
  const auto& s = sections();
  if (section < 1 || section > s.size()) throw automation::AutomationError("The requested member of the collection does not exist.");
  size_t first = s[section - 1].firstBlock;
  return first == 0 ? 0 : doc_.mainStory().blockEnd(first - 1);
}

size_t DocumentLayout::sectionAt(size_t position) {
  // The last section starting at or before position; starts only grow.
  size_t lo = 1, hi = sections().size();
  while (lo < hi) {
    size_t mid = lo + (hi - lo + 1) / 2;
    if (sectionStart(mid) <= position) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

bool DocumentLayout::differentFirstPage(size_t section) {
  sectionStart(section);
  return el::titlePage(sections()[section - 1].properties);
}

bool DocumentLayout::oddAndEvenPages() { return el::evenAndOddHeaders(doc_.settingsRoot()); }

bool DocumentLayout::hasOwn(size_t section, bool footer, int kind) {
  sectionStart(section);
  return !el::headerFooterReference(sections()[section - 1].properties, footer, kind).empty();
}

Story& DocumentLayout::headerFooter(size_t section, bool footer, int kind) {
  sectionStart(section);
  if (foundForSections_ != sectionsRead_ || foundForRelationships_ != doc_.relationshipsVersion()) {
    found_.clear();
    foundForSections_ = sectionsRead_;
    foundForRelationships_ = doc_.relationshipsVersion();
  }
  auto key = [&](size_t s) { return static_cast<uint64_t>(s) << 8 | (footer ? 1u : 0u) << 7 | static_cast<unsigned>(kind & 0x7f); };
  if (auto f = found_.find(key(section)); f != found_.end()) return *f->second;
  Story* story = &doc_.emptyStory();
  for (size_t i = section; i >= 1; --i) {
    // A previous section already answered shows what this one inherits: no walk back to the first.
    if (i != section) {
      if (auto f = found_.find(key(i)); f != found_.end()) {
        story = f->second;
        break;
      }
    }
    std::string_view id = el::headerFooterReference(sections()[i - 1].properties, footer, kind);
    if (!id.empty()) {
      story = &doc_.partStory(doc_.relatedPart(id));
      break;
    }
  }
  found_.emplace(key(section), story);
  return *story;
}

xml::Node DocumentLayout::notesRoot(NoteKind kind) {
  std::string part = doc_.partByType(kind == NoteKind::Foot ? "/footnotes" : "/endnotes");
  if (part.empty() || !doc_.package().hasPart(part)) return {};
  return doc_.package().xmlPart(part).documentElement();
}

int DocumentLayout::userNotes(NoteKind kind) {
  int n = 0;
  for (xml::Node c = notesRoot(kind).firstElement(); c; c = c.nextElement())
    if (el::isUserNote(c)) ++n;
  return n;
}

Story& DocumentLayout::notes(NoteKind kind) {
  std::string part = doc_.partByType(kind == NoteKind::Foot ? "/footnotes" : "/endnotes");
  return doc_.partStory(part);
}

const std::vector<xml::Node>& DocumentLayout::shapes() {
  if (shapesRead_ != doc_.mainStory().objectsVersion()) {
    shapes_ = el::floatingShapes(body());
    shapesRead_ = doc_.mainStory().objectsVersion();
  }
  return shapes_;
}

Story& DocumentLayout::shapeStory(size_t index) {
  const auto& s = shapes();
  if (index >= s.size()) throw automation::AutomationError("The requested member of the collection does not exist.");
  xml::Node content = el::shapeTextContent(s[index]);
  return content ? doc_.textBoxStory(content) : doc_.emptyStory();
}

}  // namespace ooxml::word
