#include "ooxml/wordfind/WildcardPattern.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <string>

#include "automation/Dispatch.h"
#include "platform/Text.h"

namespace ooxml::wordfind {

void CharSet::seal() {
  // Sorted and merged, so a set of thousands of members costs a binary search per unit,
  // not a walk over every member.
  std::sort(ranges.begin(), ranges.end());
  std::vector<std::pair<char16_t, char16_t>> merged;
  for (const auto& r : ranges) {
    if (!merged.empty() && unsigned(r.first) <= unsigned(merged.back().second) + 1)
      merged.back().second = std::max(merged.back().second, r.second);
    else
      merged.push_back(r);
  }
  ranges = std::move(merged);
  for (unsigned c = 0; c < 256; ++c) low[c] = containsSlow(static_cast<char16_t>(c));
}

bool CharSet::containsSlow(char16_t c) const {
  auto after = std::upper_bound(ranges.begin(), ranges.end(), c, [](char16_t v, const auto& r) { return v < r.first; });
  bool in = after != ranges.begin() && c <= std::prev(after)->second;
  // A negated set never takes the cell-end mark: that would split a cell end in two.
  return negated ? (!in && c != 7) : in;
}

namespace {

constexpr unsigned kUnbounded = UINT_MAX;
constexpr char16_t kParagraph = 13;

struct Item {
  enum class Kind { Char, Set, Any, AnyRun, WordStart, WordEnd, Group };
  explicit Item(Kind k) : kind(k) {}
  Kind kind;
  char16_t ch = 0;
  uint32_t set = 0;
  std::vector<Item> children;  // a group's items
  unsigned min = 1, max = 1;
  bool repeated = false;
};

std::string show(char16_t c) {
  if (c < 32) return "character " + std::to_string(static_cast<unsigned>(c));
  return "\"" + platform::wideToUtf8(std::u16string(1, c)) + "\"";
}

[[noreturn]] void fail(const std::string& what, size_t pos) {
  throw automation::AutomationError("The wildcard pattern is not valid: " + what + " (at character " +
                                    std::to_string(pos + 1) + ").");
}

char16_t ansiChar(unsigned code) {
  if (code < 128) return static_cast<char16_t>(code);
  std::u16string w = platform::codePageToWide(std::string(1, static_cast<char>(code)), 1252);
  return w.empty() ? static_cast<char16_t>(code) : w[0];
}

class Parser {
 public:
  Parser(std::u16string_view p, std::vector<CharSet>& sets) : p_(p), sets_(sets) {}

  std::vector<Item> parse() {
    std::vector<std::vector<Item>> stack(1);
    std::vector<size_t> opens;
    size_t i = 0;
    while (i < p_.size()) {
      char16_t c = p_[i];
      switch (c) {
        case u'\\':
          if (i + 1 >= p_.size()) fail("\"\\\" ends the pattern with nothing to take literally", i);
          stack.back().push_back(literal(p_[i + 1]));
          i += 2;
          break;
        case u'^':
          stack.back().push_back(literal(caret(i)));
          break;
        case u'[':
          stack.back().push_back(set(i));
          break;
        case u'(':
          if (opens.size() >= WildcardPattern::kMaxGroupDepth) fail("groups are nested too deeply", i);
          opens.push_back(i++);
          stack.emplace_back();
          break;
        case u')': {
          if (opens.empty()) fail("\")\" closes no group; write \\) to find it", i);
          Item group(Item::Kind::Group);
          group.children = std::move(stack.back());
          stack.pop_back();
          opens.pop_back();
          stack.back().push_back(std::move(group));
          ++i;
          break;
        }
        case u'{':
          braces(i, stack.back());
          break;
        case u'}':
          fail("\"}\" closes no repeat count; write \\} to find it", i);
        case u']':
          fail("\"]\" closes no set; write \\] to find it", i);
        case u'@':
          repeat(stack.back(), 1, kUnbounded, i, "@");
          ++i;
          break;
        case u'*': {
          Item run(Item::Kind::AnyRun);
          run.repeated = true;  // "*@" and "*{2}" are refused
          stack.back().push_back(std::move(run));
          ++i;
          break;
        }
        case u'?':
          stack.back().push_back(Item(Item::Kind::Any));
          ++i;
          break;
        case u'<':
          stack.back().push_back(Item(Item::Kind::WordStart));
          ++i;
          break;
        case u'>':
          stack.back().push_back(Item(Item::Kind::WordEnd));
          ++i;
          break;
        default:
          stack.back().push_back(literal(c));
          ++i;
          break;
      }
    }
    if (!opens.empty()) fail("\"(\" is not closed", opens.back());
    return std::move(stack.front());
  }

 private:
  static Item literal(char16_t c) {
    Item it(Item::Kind::Char);
    it.ch = c == 10 ? kParagraph : c;
    return it;
  }

  // i stands on '^'; leaves i after the code.
  char16_t caret(size_t& i) {
    size_t at = i;
    if (++i >= p_.size()) fail("\"^\" ends the pattern", at);
    char16_t code = p_[i++];
    if (code >= u'0' && code <= u'9') {
      bool ansi = code == u'0';
      unsigned value = code - u'0';
      size_t digits = 1;
      while (i < p_.size() && p_[i] >= u'0' && p_[i] <= u'9' && digits < (ansi ? 4u : 3u)) {
        value = value * 10 + (p_[i++] - u'0');
        ++digits;
      }
      if (value == 0 || value > 255) fail("the character code \"^" + platform::wideToUtf8(p_.substr(at + 1, digits)) + "\" is not between 1 and 255", at);
      return ansiChar(value);
    }
    switch (code) {
      case u'p': return kParagraph;
      case u't': return 9;
      case u'l': return 11;
      case u'n': return 14;
      case u'm': return 12;
      case u's': return 0xA0;
      case u'~': return 30;
      case u'-': return 31;
      case u'=': return 0x2013;
      case u'+': return 0x2014;
      case u'^': return u'^';
      case u'g': return 1;
      case u'u': {
        unsigned value = 0;
        size_t digits = 0;
        while (i < p_.size() && p_[i] >= u'0' && p_[i] <= u'9' && digits < 5) {
          value = value * 10 + (p_[i++] - u'0');
          ++digits;
        }
        if (digits == 0 || value == 0 || value > 0xFFFF) fail("\"^u\" must be followed by a character number from 1 to 65535", at);
        return static_cast<char16_t>(value);
      }
      case u'?': fail("\"^?\" cannot be used with wildcards; use \"?\"", at);
      case u'#': fail("\"^#\" cannot be used with wildcards; use \"[0-9]\"", at);
      case u'$': fail("\"^$\" cannot be used with wildcards; use \"[a-zA-Z]\"", at);
      case u'w': fail("\"^w\" cannot be used with wildcards", at);
      case u'&': fail("\"^&\" belongs in a replacement text, not in a find text", at);
      default: fail("\"^" + platform::wideToUtf8(std::u16string(1, code)) + "\" is not a special code that wildcards allow", at);
    }
  }

  // One member of a set: a character, \x, or a caret code. i is left after it.
  char16_t setMember(size_t& i, size_t open) {
    if (i >= p_.size()) fail("\"[\" is not closed", open);
    char16_t c = p_[i];
    if (c == u'\\') {
      if (i + 1 >= p_.size()) fail("\"[\" is not closed", open);
      i += 2;
      return p_[i - 1];
    }
    if (c == u'^') return caret(i);
    ++i;
    return c == 10 ? kParagraph : c;
  }

  Item set(size_t& i) {
    size_t open = i++;
    CharSet s;
    // A special character put between brackets is taken literally, "]" and "!" too: "[]]"
    // finds "]" (a "]" right after "[" is a member) and "[!]" finds "!".
    if (i + 1 < p_.size() && p_[i] == u'!' && p_[i + 1] == u']') {
      s.ranges.emplace_back(u'!', u'!');
      ++i;
    } else if (i < p_.size() && p_[i] == u'!') {
      s.negated = true;
      ++i;
    }
    for (bool first = s.ranges.empty();; first = false) {
      if (i >= p_.size()) fail("\"[\" is not closed", open);
      if (p_[i] == u']' && !first) break;
      size_t at = i;
      char16_t lo = setMember(i, open);
      char16_t hi = lo;
      if (i + 1 < p_.size() && p_[i] == u'-' && p_[i + 1] != u']') {
        ++i;
        hi = setMember(i, open);
        if (hi < lo) fail("the range " + show(lo) + "-" + show(hi) + " is not in ascending order", at);
      }
      s.ranges.emplace_back(lo, hi);
    }
    ++i;
    Item it(Item::Kind::Set);
    it.set = static_cast<uint32_t>(sets_.size());
    s.seal();
    sets_.push_back(std::move(s));
    return it;
  }

  unsigned count(size_t& i, size_t open) {
    unsigned value = 0;
    size_t start = i;
    while (i < p_.size() && p_[i] >= u'0' && p_[i] <= u'9') {
      value = value * 10 + (p_[i++] - u'0');
      if (value > WildcardPattern::kMaxRepeat) fail("a repeat count is above " + std::to_string(WildcardPattern::kMaxRepeat), open);
    }
    if (i == start) return kUnbounded;  // no digits
    return value;
  }

  // i stands on '{'.
  void braces(size_t& i, std::vector<Item>& seq) {
    size_t open = i++;
    unsigned lo = count(i, open);
    if (lo == kUnbounded) fail("\"{\" must be followed by a repeat count", open);
    unsigned hi = lo;
    if (i < p_.size() && (p_[i] == u',' || p_[i] == u';')) {
      ++i;
      hi = count(i, open);  // kUnbounded when no digits: {n,}
    }
    if (i >= p_.size() || p_[i] != u'}') fail("the repeat count is not closed by \"}\"", open);
    ++i;
    if (hi != kUnbounded && hi < lo) fail("in {" + std::to_string(lo) + "," + std::to_string(hi) + "} the first count is above the second", open);
    if (hi == 0) fail("a repeat of zero times finds nothing", open);
    repeat(seq, lo, hi, open, "{");
  }

  void repeat(std::vector<Item>& seq, unsigned min, unsigned max, size_t pos, const char* what) {
    std::string op = std::string("\"") + what + "\"";
    if (seq.empty()) fail(op + " has nothing before it to repeat", pos);
    Item& last = seq.back();
    if (last.kind == Item::Kind::AnyRun) fail(op + " cannot repeat \"*\"", pos);
    if (last.kind == Item::Kind::WordStart || last.kind == Item::Kind::WordEnd) fail(op + " cannot repeat \"<\" or \">\"", pos);
    if (last.repeated) fail(op + " follows another repeat", pos);
    last.min = min;
    last.max = max;
    last.repeated = true;
  }

  std::u16string_view p_;
  std::vector<CharSet>& sets_;
};

constexpr uint64_t kTooBig = WildcardPattern::kMaxInstructions + 1;

uint64_t clampSize(uint64_t v) { return std::min(v, kTooBig); }

uint64_t sizeOf(const Item& it);

uint64_t bodySize(const Item& it) {
  if (it.kind != Item::Kind::Group) return 1;
  uint64_t total = 0;
  for (const Item& c : it.children) total = clampSize(total + sizeOf(c));
  return total;
}

uint64_t sizeOf(const Item& it) {
  if (it.kind == Item::Kind::AnyRun) return 3;
  uint64_t b = bodySize(it);
  if (it.max == kUnbounded) return clampSize(it.min * b + b + 2);
  return clampSize(it.min * b + (uint64_t(it.max) - it.min) * (b + 1));
}

class Emitter {
 public:
  explicit Emitter(std::vector<Instruction>& code) : code_(code) {}

  void item(const Item& it) {
    using Op = Instruction::Op;
    if (it.kind == Item::Kind::AnyRun) {
      // Shortest first: the split prefers leaving the loop.
      uint32_t split = add({Op::Split});
      add({Op::Any});
      add({Op::Jump, 0, split});
      code_[split].target = here();
      code_[split].alternative = split + 1;
      return;
    }
    for (unsigned k = 0; k < it.min; ++k) body(it);
    if (it.max == kUnbounded) {
      // Greedy: the split prefers another round.
      uint32_t split = add({Op::Split});
      body(it);
      add({Op::Jump, 0, split});
      code_[split].target = split + 1;
      code_[split].alternative = here();
      return;
    }
    std::vector<uint32_t> exits;
    for (unsigned k = it.min; k < it.max; ++k) {
      uint32_t split = add({Op::Split});
      code_[split].target = split + 1;
      exits.push_back(split);
      body(it);
    }
    for (uint32_t s : exits) code_[s].alternative = here();
  }

 private:
  void body(const Item& it) {
    using Op = Instruction::Op;
    switch (it.kind) {
      case Item::Kind::Char: add({Op::Char, it.ch}); break;
      case Item::Kind::Any: add({Op::Any}); break;
      case Item::Kind::Set: add({Op::Set, 0, it.set}); break;
      case Item::Kind::WordStart: add({Op::WordStart}); break;
      case Item::Kind::WordEnd: add({Op::WordEnd}); break;
      case Item::Kind::Group:
        for (const Item& c : it.children) item(c);
        break;
      case Item::Kind::AnyRun: item(it); break;
    }
  }
  uint32_t add(Instruction ins) {
    code_.push_back(ins);
    return static_cast<uint32_t>(code_.size() - 1);
  }
  uint32_t here() const { return static_cast<uint32_t>(code_.size()); }

  std::vector<Instruction>& code_;
};

}  // namespace

WildcardPattern::WildcardPattern(std::u16string_view pattern) {
  if (pattern.empty()) throw automation::AutomationError("The wildcard pattern is empty.");
  std::vector<Item> items = Parser(pattern, sets_).parse();
  uint64_t total = 1;
  for (const Item& it : items) total = clampSize(total + sizeOf(it));
  if (total > kMaxInstructions)
    throw automation::AutomationError("The wildcard pattern is too large to search with: its repeats unroll to more than " +
                                      std::to_string(kMaxInstructions) + " steps.");
  code_.reserve(total);
  Emitter emit(code_);
  for (const Item& it : items) emit.item(it);
  code_.push_back({Instruction::Op::Match});
}

}  // namespace ooxml::wordfind
