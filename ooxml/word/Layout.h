#pragma once
// What a document holds besides its main text, as Word's object model sees it: sections with
// their header and footer stories (a section without its own takes the previous section's),
// the footnotes and endnotes stories, and the floating shapes of the main text with their text
// boxes. Read from the document on demand and kept until the main text is edited.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "ooxml/word/WordDocument.h"

namespace ooxml::word {

enum class NoteKind { Foot, End };

class DocumentLayout {
 public:
  explicit DocumentLayout(WordDocument& doc) : doc_(doc) {}

  // Sections are numbered from 1, as Word numbers them.
  size_t sectionCount() { return sections().size(); }
  size_t sectionStart(size_t section);  // in the main story
  size_t sectionAt(size_t position);
  bool differentFirstPage(size_t section);
  bool oddAndEvenPages();
  // Whether the section has a header (footer) of its own of that kind (1 primary, 2 first page, 3 even pages).
  bool hasOwn(size_t section, bool footer, int kind);
  // The story the section shows for that kind: its own, else the nearest previous section's,
  // else the empty story.
  Story& headerFooter(size_t section, bool footer, int kind);

  int userNotes(NoteKind kind);
  Story& notes(NoteKind kind);

  size_t shapeCount() { return shapes().size(); }
  Story& shapeStory(size_t index);  // from 0; the empty story for a shape without text

 private:
  struct Section {
    xml::Node properties;
    size_t firstBlock;  // blocks counted as the main story counts them
  };
  const std::vector<Section>& sections();
  const std::vector<xml::Node>& shapes();
  xml::Node body();
  xml::Node notesRoot(NoteKind kind);

  WordDocument& doc_;
  // Section breaks move only with edits that add or remove paragraphs; their positions are
  // asked of the main story each time.
  std::vector<Section> sections_;
  uint64_t sectionsRead_ = UINT64_MAX;
  std::vector<xml::Node> shapes_;
  uint64_t shapesRead_ = UINT64_MAX;
  // The header and footer stories found, asked for on every view switch: kept while the
  // sections and the relationships that name the stories stand.
  // Looked up, not walked: a batch asks for each section's stories in turn.
  std::unordered_map<uint64_t, Story*> found_;  // by section, footer and kind
  uint64_t foundForSections_ = UINT64_MAX, foundForRelationships_ = UINT64_MAX;
};

}  // namespace ooxml::word
