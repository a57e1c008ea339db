#pragma once
// Shared state behind the Word objects, and the base every object of the surface derives from.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/Dispatch.h"
#include "ooxml/word/FindDriver.h"
#include "ooxml/word/MatcherCache.h"
#include "ooxml/word/Views.h"
#include "ooxml/word/WordDocument.h"

namespace ooxml::wordfind {
class WildcardMatcher;
}

namespace ooxml::word {

struct FormattingState;  // styles and Find.Font requirements, see FontObjects.h

struct DocumentState {
  std::unique_ptr<WordDocument> doc;
  SelectionState selection;
  bool showGrammar = true, showSpelling = true;
  bool closed = false;
  std::shared_ptr<FormattingState> formatting;  // made on first use
  // The story the selection stands in (a header, the notes, a text box); null for the main text.
  Story* current = nullptr;
  ViewState view;
  std::shared_ptr<DocumentLayout> layout;  // made on first use
  std::shared_ptr<Hyperlinks> hyperlinks;  // made on first use
  // The last plain-text find: a replace loop runs the same search over and over.
  struct LastFind {
    WideString text;
    bool matchCase = false, wholeWord = false;
    std::shared_ptr<const Matcher> matcher;
  } lastFind;
  // The last wildcard find, made once: building one reads all its character sets whole.
  struct LastWildcardFind {
    WideString text;
    std::shared_ptr<const wordfind::WildcardMatcher> matcher;
  } lastWildcardFind;
  std::shared_ptr<MatcherCache> matchers;  // the application's, shared by its documents
  Story& story() { return current ? *current : doc->mainStory(); }

  // Objects with no state of their own, handed out again instead of being made for every call:
  // a batch walks Windows(1).ActivePane.View and Selection.Find many times a row. They point
  // back here, so they are let go when the document closes or the application goes.
  enum class Kept {
    Windows, Window, View, FirstPane, SecondPane, Selection, Find,
    Paragraphs, Sections, PageSetup, Footnotes, Endnotes, Hyperlinks, Shapes, Count
  };
  std::array<std::shared_ptr<automation::Dispatch>, static_cast<size_t>(Kept::Count)> kept;
  template <class T, class... Args>
  automation::Variant keptObject(Kept k, Args&&... args) {
    auto& slot = kept[static_cast<size_t>(k)];
    if (!slot) slot = std::make_shared<T>(std::forward<Args>(args)...);
    return automation::Variant(automation::DispatchPtr(slot));
  }
  void letKeptObjectsGo() {
    kept = {};
    keptProperties.clear();
  }
  // The built-in properties asked for by name, the same way.
  std::vector<std::pair<WideString, std::shared_ptr<automation::Dispatch>>> keptProperties;
};

struct ApplicationState {
  ~ApplicationState() {
    for (auto& d : documents) d->letKeptObjectsGo();
  }
  std::vector<std::shared_ptr<DocumentState>> documents;
  int displayAlerts = -1;
  bool visible = false;
  int defaultHighlight = 7;  // wdYellow, as a fresh Word has it
  std::shared_ptr<MatcherCache> matchers = std::make_shared<MatcherCache>();
  std::shared_ptr<DocumentState> active() const { return documents.empty() ? nullptr : documents.back(); }
};

using AppPtr = std::shared_ptr<ApplicationState>;
using DocPtr = std::shared_ptr<DocumentState>;

// Member names match without regard to case; an unknown one raises naming the object.
class WordObject : public automation::Dispatch {
 public:
  explicit WordObject(const char* typeName) : typeName_(typeName) {}
  automation::Variant invoke(std::string_view name, automation::CallKind kind,
                             const automation::Args& args) override;

 protected:
  // Answers the member, or returns false when there is none of that name and kind.
  virtual bool member(std::string_view lowerName, automation::CallKind kind,
                      const automation::Args& args, automation::Variant& result) = 0;
  static const automation::Variant& arg(const automation::Args& args, size_t i);
  static bool given(const automation::Args& args, size_t i) { return i < args.size() && !args[i].isEmpty(); }
  [[noreturn]] void unsupported(const std::string& what) const;

 private:
  const char* typeName_;
};

automation::Variant object(std::shared_ptr<automation::Dispatch> d);

// Objects the others hand out.
automation::Variant makeDocument(AppPtr app, DocPtr doc);
automation::Variant makeSelection(DocPtr doc);
// A range of story (the selection's current story when none is named).
automation::Variant makeRange(DocPtr doc, size_t start, size_t end, Story* story = nullptr);
void checkOpen(const DocPtr& doc);

}  // namespace ooxml::word
