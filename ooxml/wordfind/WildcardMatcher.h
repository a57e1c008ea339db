#pragma once
// Find with MatchWildcards: runs a compiled WildcardPattern over a story's text (as Range.Text
// shows it: 13 paragraph mark, 13 7 cell end, 11 line break, 9 tab ...) and answers ranges.
// It knows nothing of documents or XML.
//
// Which hit: the leftmost one; among hits starting there, the one Word prefers: "*" takes as
// few characters as it can, "@" and {n,m} take as many as they can, earlier items choosing
// before later ones. An empty range is never a hit (Word never selects nothing), so "<" or
// "a{0,1}" alone find nothing and "*" alone finds one character.
//
// Time: a Pike virtual machine runs every start position in one pass, each program step at
// most once per text unit, so a search costs O(text scanned x program size) whatever the
// pattern; memory is O(program size). WildcardPattern caps the program size. Walking every
// hit by calling find again from each hit's end can cost more (as with any leftmost-first
// matcher): a greedy repeat that reads to the end of the text before a shorter hit wins is
// read again by the next call; the find loop's cancellation check between calls bounds it.
#include <bitset>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "ooxml/wordfind/WildcardPattern.h"

namespace ooxml::wordfind {

class WildcardMatcher {
 public:
  // Throws automation::AutomationError for a pattern Word would refuse (see WildcardPattern).
  explicit WildcardMatcher(std::u16string_view pattern);

  // The first hit that starts in [from, to) (to is clipped to the text's end), as
  // [start, end) positions in UTF-16 units. A hit may run on past `to` up to the end of the
  // text: pass a shorter view to bound where hits end. Units before `from` are read only by
  // "<" and ">".
  std::optional<std::pair<size_t, size_t>> find(std::u16string_view text, size_t from, size_t to) const;

 private:
  struct Thread {
    uint32_t pc;
    size_t start;
  };
  struct Scratch;
  void addThread(Scratch& s, std::vector<Thread>& list, uint32_t pc, size_t start, std::u16string_view text, size_t pos) const;

  WildcardPattern pattern_;
  // Units a hit can start with: where no thread is alive the scan skips every other unit.
  std::unique_ptr<std::bitset<65536>> firstUnits_;
};

}  // namespace ooxml::wordfind
