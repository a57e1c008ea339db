#include "ooxml/wordfind/WildcardMatcher.h"

#include <algorithm>
#include <vector>

#include "platform/Text.h"

namespace ooxml::wordfind {

namespace {

constexpr char16_t kCellMark = 7;

bool isWordUnit(char16_t c) { return platform::isLetter(c) || platform::isDigit(c); }

bool wordBefore(std::u16string_view t, size_t pos) { return pos > 0 && pos <= t.size() && isWordUnit(t[pos - 1]); }
bool wordAfter(std::u16string_view t, size_t pos) { return pos < t.size() && isWordUnit(t[pos]); }

}  // namespace

struct WildcardMatcher::Scratch {
  std::vector<size_t> mark;  // the generation in which each step was last added
  size_t generation = 1;
  std::vector<uint32_t> stack;
};

WildcardMatcher::WildcardMatcher(std::u16string_view pattern)
    : pattern_(pattern), firstUnits_(std::make_unique<std::bitset<65536>>()) {
  using Op = Instruction::Op;
  const auto& code = pattern_.code();
  std::vector<bool> seen(code.size(), false);
  std::vector<uint32_t> todo{0};
  // Units are gathered as ranges and marked in one pass at the end: a pattern of many large
  // sets then costs its ranges plus 65536, not 65536 tests per set.
  std::vector<int> opens(65537, 0);
  auto mark = [&](unsigned lo, unsigned hi) {
    ++opens[lo];
    --opens[hi + 1];
  };
  auto markButCellEnd = [&](unsigned lo, unsigned hi) {  // ? and [!...] never take the cell-end mark
    if (lo < kCellMark && hi >= kCellMark) mark(lo, kCellMark - 1u);
    if (lo <= kCellMark) lo = kCellMark + 1u;
    if (lo <= hi) mark(lo, hi);
  };
  while (!todo.empty()) {
    uint32_t pc = todo.back();
    todo.pop_back();
    if (seen[pc]) continue;
    seen[pc] = true;
    const Instruction& ins = code[pc];
    switch (ins.op) {
      case Op::Char: mark(ins.ch, ins.ch); break;
      case Op::Any: markButCellEnd(0, 0xFFFF); break;
      case Op::Set: {
        const CharSet& s = pattern_.sets()[ins.target];
        if (!s.negated) {
          for (const auto& r : s.ranges) mark(r.first, r.second);
          break;
        }
        unsigned next = 0;  // the gaps between the sealed (sorted, disjoint) ranges
        for (const auto& r : s.ranges) {
          if (r.first > next) markButCellEnd(next, r.first - 1u);
          next = r.second + 1u;
        }
        if (next <= 0xFFFF) markButCellEnd(next, 0xFFFF);
        break;
      }
      case Op::Split:
        todo.push_back(ins.alternative);
        todo.push_back(ins.target);
        break;
      case Op::Jump: todo.push_back(ins.target); break;
      case Op::WordStart:
      case Op::WordEnd: todo.push_back(pc + 1); break;
      case Op::Match: break;  // an empty hit is no hit
    }
  }
  auto& first = *firstUnits_;
  int open = 0;
  for (unsigned c = 0; c < 65536; ++c) {
    open += opens[c];
    if (open > 0) first.set(c);
  }
}

// Adds the thread at pc and everything it reaches without reading a unit, in priority
// order; a step already added at this position keeps its earlier, preferred thread.
void WildcardMatcher::addThread(Scratch& s, std::vector<Thread>& list, uint32_t pc, size_t start, std::u16string_view text,
                                size_t pos) const {
  using Op = Instruction::Op;
  const auto& code = pattern_.code();
  Op first = code[pc].op;
  if (first == Op::Char || first == Op::Set || first == Op::Any || first == Op::Match) {  // the common case, no stack
    if (s.mark[pc] != s.generation) {
      s.mark[pc] = s.generation;
      list.push_back({pc, start});
    }
    return;
  }
  s.stack.clear();
  s.stack.push_back(pc);
  while (!s.stack.empty()) {
    uint32_t at = s.stack.back();
    s.stack.pop_back();
    if (s.mark[at] == s.generation) continue;
    s.mark[at] = s.generation;
    const Instruction& ins = code[at];
    switch (ins.op) {
      case Op::Jump: s.stack.push_back(ins.target); break;
      case Op::Split:
        s.stack.push_back(ins.alternative);
        s.stack.push_back(ins.target);
        break;
      case Op::WordStart:
        if (!wordBefore(text, pos) && wordAfter(text, pos)) s.stack.push_back(at + 1);
        break;
      case Op::WordEnd:
        if (wordBefore(text, pos) && !wordAfter(text, pos)) s.stack.push_back(at + 1);
        break;
      default: list.push_back({at, start}); break;
    }
  }
}

std::optional<std::pair<size_t, size_t>> WildcardMatcher::find(std::u16string_view text, size_t from, size_t to) const {
  using Op = Instruction::Op;
  const size_t n = text.size();
  to = std::min(to, n);
  if (from >= to) return std::nullopt;
  const auto& code = pattern_.code();
  const auto& first = *firstUnits_;

  Scratch s;
  s.mark.assign(code.size(), 0);
  std::vector<Thread> current, next;
  current.reserve(code.size());
  next.reserve(code.size());
  std::optional<std::pair<size_t, size_t>> hit;

  // `current` holds the threads at position i, added in generation s.generation.
  for (size_t i = from; i <= n; ++i) {
    if (!hit && i < to) {
      if (current.empty()) {
        while (i < to && !first[text[i]]) ++i;
        if (i >= to) break;
      }
      addThread(s, current, 0, i, text, i);  // a later start ranks below every earlier one
    }
    if (current.empty()) {
      if (hit || i >= to) break;
      ++s.generation;  // the start thread died on an assertion: try the next position
      continue;
    }
    ++s.generation;
    next.clear();
    const char16_t c = i < n ? text[i] : 0;
    for (const Thread& t : current) {
      const Instruction& ins = code[t.pc];
      bool step = false;
      switch (ins.op) {
        case Op::Match:
          if (i > t.start) {
            hit = std::make_pair(t.start, i);
            goto cut;  // every thread after this one ranks lower
          }
          break;
        case Op::Char: step = i < n && c == ins.ch; break;
        case Op::Any: step = i < n && c != kCellMark; break;
        case Op::Set: step = i < n && pattern_.sets()[ins.target].contains(c); break;
        default: break;
      }
      if (step) addThread(s, next, t.pc + 1, t.start, text, i + 1);
    }
  cut:
    std::swap(current, next);
  }
  return hit;
}

}  // namespace ooxml::wordfind
