#pragma once
// A Word wildcard pattern (Find with MatchWildcards) compiled into a small program for the
// matcher's virtual machine. Only the pattern's syntax lives here; WildcardMatcher runs it.
//
// Syntax, as Word reads it in this mode:
//   ?            one character            *        any run of characters, shortest first
//   @            one or more of the item before it (greedy)
//   {n} {n,} {n,m}  repeats of the item before it (greedy); "n;m" is taken for "n,m" as
//                Word does where the list separator is a semicolon
//   [abc] [a-z] [!...]  sets; a range must be ascending; caret codes and \x work inside;
//                any special character between brackets is literal: [*], []] and [!]
//   <  >         start and end of a word (letters and digits, platform::isLetter/isDigit)
//   ( )          groups, which the repeats apply to as a whole
//   \x           x taken literally (any character; the special ones need it)
//   ^p ^t ^l ^n ^m ^s ^~ ^- ^= ^+ ^^ ^g, ^nnn (up to three digits, 128-255 read as
//                code page 1252), ^0nnn (code page 1252), ^unnnnn (a UTF-16 unit by number)
// A character 10 in the pattern stands for the paragraph mark 13, as in assigned text.
// ^? ^# ^$ ^w ^& and unknown codes are rejected: Word refuses them with wildcards.
// Matching is always case-sensitive. The cell-end mark 7 is matched only when the pattern
// names it (^7 / ^007): ?, * and [!...] never take half of a cell end.
#include <bitset>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace ooxml::wordfind {

struct CharSet {
  std::vector<std::pair<char16_t, char16_t>> ranges;  // inclusive; sorted and disjoint once sealed
  bool negated = false;
  std::bitset<256> low;  // contains() for units below 256, filled by seal()
  void seal();  // call once every member is in, before contains()
  bool contains(char16_t c) const { return c < 256 ? low[c] : containsSlow(c); }
  bool containsSlow(char16_t c) const;
};

struct Instruction {
  enum class Op : uint8_t {
    Char,       // the unit `ch`
    Set,        // sets[target]
    Any,        // any unit but the cell-end mark
    Split,      // go on at target, and with lower priority at alternative
    Jump,       // go on at target
    WordStart,  // the previous unit is no word character and the next one is
    WordEnd,    // the previous unit is a word character and the next one is not
    Match
  };
  Op op;
  char16_t ch = 0;
  uint32_t target = 0;
  uint32_t alternative = 0;
};

class WildcardPattern {
 public:
  // The largest program a pattern may compile to: bounds the matcher's memory and its time
  // per story unit ("(?{200}){200}" is refused rather than unrolled).
  static constexpr size_t kMaxInstructions = 5000;
  static constexpr unsigned kMaxRepeat = 65535;
  static constexpr size_t kMaxGroupDepth = 32;

  // Throws automation::AutomationError naming the fault and its place for a pattern Word
  // would refuse, or one too large to run.
  explicit WildcardPattern(std::u16string_view pattern);

  const std::vector<Instruction>& code() const { return code_; }
  const std::vector<CharSet>& sets() const { return sets_; }

 private:
  std::vector<Instruction> code_;
  std::vector<CharSet> sets_;
};

}  // namespace ooxml::wordfind
