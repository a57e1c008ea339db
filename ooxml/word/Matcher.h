#pragma once
// The find matcher: knows only a story's text (as Story::searchable gives it) and answers
// ranges. It understands caret codes, case-insensitive and whole-word matching.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ooxml/word/TrigramSet.h"

namespace ooxml::word {

struct Hit {
  size_t start, end;
};

class Matcher {
 public:
  // Throws AutomationError for an unknown caret code or an empty pattern.
  Matcher(std::u16string_view findText, bool matchCase, bool wholeWord);

  // The first hit in text that starts in [from, startLimit). Positions are indexes into
  // text; the characters before `from` and from startLimit on may be read for the whole-word
  // test and for the rest of a match.
  std::optional<Hit> search(std::u16string_view text, size_t from, size_t startLimit) const;

  // Whether a hit that the character c follows is refused (c continues a word under whole word).
  bool refusesHitBefore(char16_t c) const;

  // The trios every hit holds, for skipping paragraphs that lack them; empty when this
  // pattern cannot be judged that way (codes for any character, marks, short texts).
  const TrigramKeys& trigramKeys() const { return keys_; }

 private:
  enum class Kind { Literal, AnyChar, Digit, Letter, WhiteSpace };
  struct Atom {
    Kind kind;
    char16_t ch = 0;     // Literal (lower case when not matching case)
    char16_t other = 0;  // Literal: the upper-case form, for a quick scan
  };
  // A stretch of white space that a ^w atom took whole in one attempt: an attempt whose same
  // ^w atom starts anywhere inside it ends the same way, so a failed one need not be tried again.
  struct WhiteRun {
    size_t atom = SIZE_MAX, from = 0, to = 0;
  };
  // The end of the match at pos, or SIZE_MAX. `seen` gets the first ^w stretch the attempt took;
  // an attempt that reaches `dead` (such a stretch known to fail) fails at once.
  size_t matchAt(std::u16string_view text, size_t pos, const WhiteRun& dead, WhiteRun& seen) const;
  char16_t fold(char16_t c) const;
  bool acceptHit(std::u16string_view text, size_t pos, size_t end) const;
  std::optional<Hit> searchLiteral(std::u16string_view text, size_t from, size_t startLimit) const;
  std::optional<Hit> searchByRareUnit(std::u16string_view text, size_t from, size_t startLimit) const;
  void prepareSkips();
  void chooseRareUnit();

  std::vector<Atom> atoms_;
  bool matchCase_, wholeWord_;
  // A plain text pattern is scanned with Horspool's skips over the folded characters, so a
  // row's pass over a long story looks at a fraction of its characters.
  bool skipScan_ = false;
  std::u16string folded_;
  uint16_t skip_[256] = {};  // capped: a shorter skip is only slower, never wrong
  // A plain pattern with a rare unit (a digit, a 'q') is found faster still by looking only
  // for that unit, sixteen text units at a time, and comparing the rest where it turns up.
  size_t rareAt_ = SIZE_MAX;
  char16_t rareForms_[2] = {};
  TrigramKeys keys_;
};

}  // namespace ooxml::word
