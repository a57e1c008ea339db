#pragma once
// A Word document on disk: its package, its main part and the stories built from it.
// Recognised by content: .docx, .docm, .dotx and .dotm packages open; anything else fails
// with a clear AutomationError and the file untouched.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ooxml/docprops/DocumentProperties.h"
#include "ooxml/package/Package.h"
#include "ooxml/word/Story.h"

namespace ooxml::word {

enum class WordFormat { Document, MacroEnabledDocument, Template, MacroEnabledTemplate };

class WordDocument {
 public:
  static std::unique_ptr<WordDocument> open(const AnsiString& path, const PackageLimits& limits = {});
  // The same from bytes already read; path is where Save writes.
  static std::unique_ptr<WordDocument> fromBytes(std::string bytes, const AnsiString& path, const PackageLimits& limits = {});

  const AnsiString& path() const { return path_; }
  WordFormat format() const { return format_; }
  Story& mainStory() { return *main_; }
  Package& package() { return *package_; }
  docprops::DocumentProperties& properties() { return *properties_; }
  // Word's ProtectionType: -1 none, 0 tracked changes, 1 comments, 2 forms, 3 read only.
  int protectionType();
  bool changed() const { return changed_; }
  // A change made outside the stories (a property, a relationship) that Saved must report.
  void noteChanged() { changed_ = true; }
  // Grows with every edit of the main text, so that what is read from it can be kept till then.
  uint64_t generation() const { return generation_; }

  // The other stories, made on first use and kept while the document is open: a header, footer
  // or notes part (rooted at its top element), a text box of the main text, and the empty story
  // of what the document does not have.
  const std::string& mainPartName() const { return mainPart_; }
  Story& partStory(const std::string& part);
  Story& textBoxStory(xml::Node content);
  Story& emptyStory();
  // The part an internal relationship of the main part names, by id or by the end of its type
  // ("/footnotes"); "" when there is none.
  std::string relatedPart(std::string_view id);
  std::string partByType(std::string_view typeTail);
  // Grows when the main part's relationships change, so that stories found through them can be kept.
  uint64_t relationshipsVersion() const { return package_->partVersion(mainRelationships_); }
  xml::Node settingsRoot();  // empty without a settings part

  void save() { saveAs(path_); }
  // Writes the package in the format it was opened in; the document then lives at path.
  void saveAs(const AnsiString& path);

 private:
  WordDocument() = default;
  AnsiString path_;
  WordFormat format_ = WordFormat::Document;
  std::unique_ptr<Package> package_;
  std::unique_ptr<docprops::DocumentProperties> properties_;
  std::string mainPart_;
  std::string mainRelationships_;  // the main part's relationships part
  std::unique_ptr<Story> main_;
  size_t blocksRead_ = 0;  // by all stories made: they share Story::kMaxBlocks
  std::unique_ptr<Story> makeStory(xml::Node root, std::function<void()> onChange);
  bool changed_ = false;
  uint64_t generation_ = 0;
  std::map<std::string, std::unique_ptr<Story>> partStories_;
  std::map<xml::NodeData*, std::unique_ptr<Story>> textBoxStories_;
  std::unique_ptr<xml::Document> emptyDocument_;
  std::unique_ptr<Story> empty_;
  // Answers of relatedPart and partByType, asked for on every view switch: kept while the main
  // part's relationships stand.
  // A document of many sections asks for a part by each of its ids: looked up, not walked.
  void forgetStaleLookups();
  const std::string* keptLookup(bool byType, std::string_view key);
  void keepLookup(bool byType, std::string_view key, const std::string& part);
  std::map<std::string, std::string, std::less<>> lookups_[2];  // by id, by type
  std::unordered_map<std::string_view, size_t> relationshipById_;  // into the relationships read
  uint64_t lookupsVersion_ = ~uint64_t{0};
  // The settings part's root, asked for by every page-setup read: kept while neither the main
  // part's relationships nor the settings part change.
  struct KeptSettings {
    bool valid = false;
    uint64_t relationships = 0, part = 0;
    std::string name;
    xml::Node root;
  } settings_;
};

}  // namespace ooxml::word
