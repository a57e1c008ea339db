#include "ooxml/word/WordDocument.h"

#include "ooxml/package/PackageError.h"
#include "ooxml/word/StoryElements.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace ooxml::word {

namespace {

constexpr std::string_view kTypePrefix = "application/vnd.openxmlformats-officedocument.wordprocessingml.";
constexpr std::string_view kMsWordPrefix = "application/vnd.ms-word.";

bool formatOf(const std::string& contentType, WordFormat& format) {
  if (contentType == std::string(kTypePrefix) + "document.main+xml") format = WordFormat::Document;
  else if (contentType == std::string(kTypePrefix) + "template.main+xml") format = WordFormat::Template;
  else if (contentType == std::string(kMsWordPrefix) + "document.macroEnabled.main+xml") format = WordFormat::MacroEnabledDocument;
  else if (contentType == std::string(kMsWordPrefix) + "template.macroEnabledTemplate.main+xml") format = WordFormat::MacroEnabledTemplate;
  else return false;
  return true;
}

void refuseOtherFormats(const std::string& bytes, const AnsiString& path) {
  auto starts = [&](std::string_view sig) { return bytes.compare(0, sig.size(), sig) == 0; };
  std::string name = "\"" + platform::ansiToUtf8(platform::fileNameOf(path)) + "\"";
  if (bytes.empty()) throw PackageError("The document " + name + " is empty.");
  if (starts("{\\rtf")) throw PackageError("The document " + name + " is in Rich Text Format, which this Word cannot open.");
  if (starts("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
    throw PackageError("The document " + name +
                       " is a binary (.doc, .wps) or password-encrypted document, which this Word cannot open.");
  if (!starts("PK\x03\x04") && !starts("PK\x05\x06"))
    throw PackageError("The document " + name + " is not a Word document package (.docx, .docm, .dotx, .dotm).");
}

}  // namespace

std::unique_ptr<WordDocument> WordDocument::open(const AnsiString& path, const PackageLimits& limits) {
  std::string bytes;
  try {
    bytes = platform::readFile(path, static_cast<size_t>(limits.maxFileSize));
  } catch (const std::exception& e) {
    throw PackageError(std::string("The document cannot be read: ") + e.what());
  }
  return fromBytes(std::move(bytes), path, limits);
}

std::unique_ptr<WordDocument> WordDocument::fromBytes(std::string bytes, const AnsiString& path, const PackageLimits& limits) {
  refuseOtherFormats(bytes, path);
  std::unique_ptr<WordDocument> doc(new WordDocument());
  doc->path_ = path;
  doc->package_ = Package::fromBytes(std::move(bytes), limits);
  Package& pkg = *doc->package_;
  doc->properties_ = std::make_unique<docprops::DocumentProperties>(pkg);
  doc->mainPart_ = pkg.mainPartName();
  doc->mainRelationships_ = relationshipsPartName(doc->mainPart_);
  if (doc->mainPart_.empty() || !pkg.hasPart(doc->mainPart_))
    throw PackageError("The package has no main document part: it is not a Word document.");
  if (!formatOf(pkg.contentType(doc->mainPart_), doc->format_))
    throw PackageError("The package is not a Word document (its main part is \"" + pkg.contentType(doc->mainPart_) + "\").");
  xml::Node root = pkg.xmlPart(doc->mainPart_).documentElement();
  xml::Node body = root.child("w:body");
  if (!root.is("w:document") || !body) throw PackageError("The main document part has no body.");
  WordDocument* self = doc.get();
  doc->main_ = doc->makeStory(body, [self] {
    self->package_->markChanged(self->mainPart_);
    self->changed_ = true;
    ++self->generation_;
  });
  return doc;
}

void WordDocument::forgetStaleLookups() {
  const uint64_t version = package_->partVersion(mainRelationships_);
  if (version == lookupsVersion_) return;
  for (auto& kept : lookups_) kept.clear();
  relationshipById_.clear();
  lookupsVersion_ = version;
}

const std::string* WordDocument::keptLookup(bool byType, std::string_view key) {
  forgetStaleLookups();
  auto& kept = lookups_[byType ? 1 : 0];
  auto it = kept.find(key);
  return it == kept.end() ? nullptr : &it->second;
}

void WordDocument::keepLookup(bool byType, std::string_view key, const std::string& part) {
  forgetStaleLookups();  // reading the relationships may have parsed them
  lookups_[byType ? 1 : 0].emplace(std::string(key), part);
}

std::string WordDocument::partByType(std::string_view tail) {
  if (const std::string* kept = keptLookup(true, tail)) return *kept;
  std::string part;
  for (const Relationship& r : package_->relationships(mainPart_)) {
    if (r.external || r.type.size() < tail.size() || r.type.compare(r.type.size() - tail.size(), tail.size(), tail) != 0)
      continue;
    part = Package::resolveTarget(mainPart_, r.target);
    break;
  }
  keepLookup(true, tail, part);
  return part;
}

std::string WordDocument::relatedPart(std::string_view id) {
  if (id.empty()) return {};
  if (const std::string* kept = keptLookup(false, id)) return *kept;
  const std::vector<Relationship>& rels = package_->relationships(mainPart_);
  forgetStaleLookups();  // reading the relationships may have parsed them
  if (relationshipById_.empty())
    for (size_t i = 0; i < rels.size(); ++i) relationshipById_.emplace(rels[i].id, i);  // the first of an id counts
  std::string part;
  if (auto it = relationshipById_.find(id); it != relationshipById_.end() && !rels[it->second].external)
    part = Package::resolveTarget(mainPart_, rels[it->second].target);
  keepLookup(false, id, part);
  return part;
}

xml::Node WordDocument::settingsRoot() {
  KeptSettings& k = settings_;
  if (k.valid && k.relationships == package_->partVersion(mainRelationships_) && k.part == package_->partVersion(k.name))
    return k.root;
  k.name = partByType("/settings");
  k.root = k.name.empty() || !package_->hasPart(k.name) ? xml::Node() : package_->xmlPart(k.name).documentElement();
  k.relationships = package_->partVersion(mainRelationships_);
  k.part = package_->partVersion(k.name);
  k.valid = true;
  return k.root;
}

Story& WordDocument::partStory(const std::string& part) {
  auto it = partStories_.find(part);
  if (it != partStories_.end()) return *it->second;
  if (part.empty() || !package_->hasPart(part)) return emptyStory();
  xml::Node root = package_->xmlPart(part).documentElement();
  auto story = makeStory(root, [this, part] {
    package_->markChanged(part);
    changed_ = true;
  });
  return *partStories_.emplace(part, std::move(story)).first->second;
}

Story& WordDocument::textBoxStory(xml::Node content) {
  auto it = textBoxStories_.find(content.data());
  if (it != textBoxStories_.end()) return *it->second;
  auto story = makeStory(content, [this, content] {
    // Readers that take the VML copy of a text box see the same text.
    if (xml::Node copy = el::fallbackTextContent(content)) {
      while (xml::Node c = copy.firstChild()) c.detach();
      for (xml::Node c = content.firstChild(); c; c = c.nextSibling()) copy.appendChild(c.clone(true));
    }
    package_->markChanged(mainPart_);
    changed_ = true;
  });
  return *textBoxStories_.emplace(content.data(), std::move(story)).first->second;
}

std::unique_ptr<Story> WordDocument::makeStory(xml::Node root, std::function<void()> onChange) {
  auto story = std::make_unique<Story>(root, std::move(onChange), Story::kMaxBlocks - std::min(blocksRead_, Story::kMaxBlocks));
  blocksRead_ += story->blockCount();
  return story;
}

Story& WordDocument::emptyStory() {
  if (!empty_) {
    emptyDocument_ = std::make_unique<xml::Document>();
    xml::Node root = emptyDocument_->root().appendChild(emptyDocument_->createElement("empty"));
    empty_ = std::make_unique<Story>(root);
  }
  return *empty_;
}

int WordDocument::protectionType() {
  xml::Node p = settingsRoot().child("w:documentProtection");
  std::string_view on = p.attribute("w:enforcement");
  if (!p || !(on == "1" || on == "true" || on == "on")) return -1;
  std::string_view edit = p.attribute("w:edit");
  if (edit == "trackedChanges") return 0;
  if (edit == "comments") return 1;
  if (edit == "forms") return 2;
  if (edit == "readOnly") return 3;
  return -1;
}

void WordDocument::saveAs(const AnsiString& path) {
  package_->saveAs(path);
  path_ = path;
}

}  // namespace ooxml::word
