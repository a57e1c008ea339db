#pragma once
// One story of a document (the main text, a header, the notes, a text box): its text as Word's
// Range.Text shows it, positions in UTF-16 units from 0, and edits that map positions back to
// runs. The story is built from any element whose children are blocks (w:body, w:hdr,
// w:txbxContent ...), so every part's story works the same way.
#include <functional>
#include <string>
#include <vector>

#include "ooxml/package/Xml.h"
#include "ooxml/word/BlockSignatures.h"
#include "ooxml/word/GapText.h"
#include "ooxml/word/TrigramSet.h"

namespace ooxml::word {

enum class SegmentKind { Text, Char, ParagraphMark, CellMark, RowMark };

// A piece of the story's text and the element it comes from.
struct Segment {
  SegmentKind kind;
  uint32_t start;   // within the block
  uint32_t length;  // UTF-16 units
  xml::Node node;   // w:t, the special element, or the paragraph / row for marks
  xml::Node run;    // the run of a Text or Char segment
};

struct Block {
  xml::Node node;  // w:p, or w:tr for the end of a row
  size_t start = 0;
  uint32_t length = 0;
  std::vector<Segment> segments;
  std::vector<bool> fieldsAtStart;  // open complex fields: true while in the field code
  TrigramSet trigrams;              // made when first asked for, dropped when the text grows much
};

// The complex fields open at a point: for each, whether its code (true) or its result is being
// read, and how many are in their code, so that a text knows at once whether it shows.
struct OpenFields {
  std::vector<bool> inCode;
  size_t codes = 0;
};

class Story {
 public:
  // Far above what documents hold (a 2,000-page one has some 100,000 paragraphs, one of dense
  // tables 400,000 cells; Word nests fields a few deep), and low enough that a small file of
  // empty paragraphs (some 400 bytes each here) or of fields never ended cannot take gigabytes:
  // such a story is refused when it is read.
  static constexpr size_t kMaxBlocks = 1'000'000;
  static constexpr size_t kMaxOpenFields = 256;

  // root: the element whose children are the story's blocks. onChange runs after each edit
  // (the owner marks its part changed).
  // maxBlocks: the paragraphs and rows it may have when read (the rest of the document's share).
  Story(xml::Node root, std::function<void()> onChange = {}, size_t maxBlocks = kMaxBlocks);

  size_t blockCount() const { return blocks_.size(); }

  size_t length() const { return text_.size(); }
  // Counts the edits that may have added, removed or moved elements; an edit of the text
  // inside one w:t does not count, nor formatting (which cuts runs but makes or drops none of
  // the elements those lists hold), so lists of hyperlinks or shapes outlive them.
  uint64_t layoutVersion() const { return layoutVersion_; }
  // Counts those of them that may have made, split or dropped a hyperlink, a field or a
  // shape: an edit among plain runs moves paragraphs but leaves those lists as they were.
  uint64_t objectsVersion() const { return objectsVersion_; }
  // The text of [start, end) as Range.Text shows it (a cell or row end reads as 13 7).
  std::u16string text(size_t start, size_t end);
  // The text the matcher sees: a cell or row end is the one character 7.
  std::u16string_view searchable(size_t from, size_t to) { return text_.view(from, to); }
  char16_t at(size_t pos) const { return text_.at(pos); }

  // The first block ending after pos whose text may hold a find text with these trios, as its
  // [start, end); {length(), length()} when none may. Every block ends with a mark, so a find
  // text without marks lies within one block.
  std::pair<size_t, size_t> nextCandidateBlock(const TrigramKeys& keys, size_t pos);

  // Replaces [start, end) with text; returns where the new text now lies. The new text takes
  // the formatting of the first replaced character (of the one before when nothing is replaced).
  std::pair<size_t, size_t> replace(size_t start, size_t end, std::u16string_view text);

  // The position just after block `index` (as forEachBlock counts them, from 0).
  size_t blockEnd(size_t index) const { return blockStart(index) + blocks_[index].length; }

  // Calls f with each block (a paragraph, or a table row's end) and the position just after it.
  void forEachBlock(const std::function<void(xml::Node block, size_t end)>& f);

  // The run that holds the character at pos, or an empty node at marks.
  xml::Node runAt(size_t pos);

  // Calls f for every run-backed segment piece overlapping [start, end), after splitting runs
  // so that each piece is whole runs: the hook for formatting a range.
  void forEachRunIn(size_t start, size_t end, const std::function<void(xml::Node run)>& f);

 private:
  void rebuild();
  void countBlock(const std::vector<Block>& out) const;  // refuses one more past the limit
  // Flattening appends each block's text to `text`: a cell or row end as the one character 7.
  void flattenBlocks(xml::Node container, std::vector<Block>& out, OpenFields& fields, std::u16string& text);
  void flattenTable(xml::Node table, std::vector<Block>& out, OpenFields& fields, std::u16string& text);
  Block flattenParagraph(xml::Node p, SegmentKind mark, OpenFields& fields, std::u16string& text);
  void flattenInline(xml::Node container, Block& b, OpenFields& fields, std::u16string& text);
  void flattenRun(xml::Node run, xml::Node container, Block& b, OpenFields& fields, std::u16string& text);

  size_t blockAt(size_t pos);  // the block holding pos (the last block for pos == length)
  size_t blockStart(size_t i) const { return blocks_[i].start + (i >= shiftFrom_ ? shift_ : 0); }
  void settleShift(size_t upTo);
  void addShift(size_t fromBlock, ptrdiff_t delta);
  bool replaceWithinText(size_t start, size_t end, std::u16string_view text);
  // After an edit inside paragraph bi: its pieces patched from those made for the new text;
  // false (nothing changed) when they do not line up, and the paragraph is read again.
  bool patchParagraph(size_t bi, size_t start, size_t end, std::u16string_view text, const std::vector<Segment>& made);
  void reflatten(size_t first, size_t last, const std::vector<xml::Node>& paragraphs, SegmentKind lastMark);
  void rereadParagraphs(size_t first, size_t last);
  static bool holdsOnlyPlainRuns(xml::Node paragraph);
  struct Point {
    xml::Node parent, before;  // insert before `before` in `parent` (append when empty)
  };
  void splitAt(size_t pos);
  Point insertionPoint(size_t pos);
  void buildFilters();
  std::u16string_view blockText(size_t i) { return text_.view(blockStart(i), blockStart(i) + blocks_[i].length); }
  // An edit inside block bi put text at [start, start + length): its filters learn the trios.
  void learnTrios(size_t bi, size_t start, size_t length);

  xml::Node root_;
  std::function<void()> onChange_;
  size_t blockLimit_ = SIZE_MAX;  // while it is first read (SIZE_MAX after): edits may add paragraphs freely
  std::vector<Block> blocks_;
  GapText text_;
  size_t shiftFrom_ = SIZE_MAX;  // blocks from here on start shift_ later than stored
  ptrdiff_t shift_ = 0;
  uint64_t layoutVersion_ = 0;
  uint64_t objectsVersion_ = 0;
  bool filtersBuilt_ = false;  // once for the story: later blocks get theirs when searched
  size_t lastBlock_ = 0;  // a hint for blockAt
  BlockSignatures signatures_;  // a long story's: its paragraphs' own filters only for the widest
};

}  // namespace ooxml::word
