#pragma once
// A Word document on disk: its package, its main part and the stories built from it.
// Recognised by content: .docx, .docm, .dotx and .dotm packages open; anything else fails
// with a clear AutomationError and the file untouched.
#include <memory>
#include <string>

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
  // Word's ProtectionType: -1 none, 0 tracked changes, 1 comments, 2 forms, 3 read only.
  int protectionType();
  bool changed() const { return changed_; }

  void save() { saveAs(path_); }
  // Writes the package in the format it was opened in; the document then lives at path.
  void saveAs(const AnsiString& path);

 private:
  WordDocument() = default;
  AnsiString path_;
  WordFormat format_ = WordFormat::Document;
  std::unique_ptr<Package> package_;
  std::string mainPart_;
  std::unique_ptr<Story> main_;
  bool changed_ = false;
};

}  // namespace ooxml::word
