#include "ooxml/word/Matcher.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "automation/Dispatch.h"
#include "platform/Text.h"

namespace ooxml::word {

namespace {

constexpr char16_t kCellMark = 7;

bool isWhite(char16_t c) { return c == u' ' || c == u'\t' || c == 0xA0; }
bool isWordChar(char16_t c) { return platform::isLetter(c) || platform::isDigit(c); }

// How often an ASCII unit turns up in running text, folded, in tenths of a percent (a rough
// English count; anything unlisted is rare). The scan for a find text's rarest unit pays off
// only when that unit is rare.
int commonness(char16_t c) {
  static constexpr std::string_view kLetters = "etaoinshrdlcumwfgypbvkjxqz";
  static constexpr int kLetterCounts[] = {100, 75, 65, 62, 57, 57, 53, 50, 50, 35, 33, 23, 23,
                                          20,  19, 18, 16, 16, 15, 12, 8,  6,  1,  1,  1,  1};
  if (c == u' ') return 180;
  if (c == u',' || c == u'.') return 10;
  if (c >= u'0' && c <= u'9') return 5;
  size_t i = c < 0x80 ? kLetters.find(static_cast<char>(c)) : std::string_view::npos;
  return i == std::string_view::npos ? 2 : kLetterCounts[i];
}
constexpr int kRareEnough = 20;

// The ASCII units some other unit above 0x7F folds to (the Kelvin sign to 'k'): a scan for
// such a unit's plain forms alone would miss those hits.
bool hasForeignForms(char16_t c) {
  static const std::array<bool, 0x80> table = [] {
    std::array<bool, 0x80> t{};
    for (unsigned u = 0x80; u <= 0xFFFF; ++u)
      if (char16_t f = foldUnit(static_cast<char16_t>(u)); f < 0x80) t[f] = true;
    return t;
  }();
  return c < 0x80 && table[c];
}

// The first index in [i, end) holding a or b; checks sixteen units at a time, a loop the
// compiler turns into vector compares.
size_t findEither(const char16_t* t, size_t i, size_t end, char16_t a, char16_t b) {
  for (; i + 16 <= end; i += 16) {
    unsigned any = 0;
    for (size_t k = 0; k < 16; ++k) any |= unsigned(t[i + k] == a) | unsigned(t[i + k] == b);
    if (any) break;
  }
  for (; i < end; ++i)
    if (t[i] == a || t[i] == b) return i;
  return end;
}

char16_t ansiChar(unsigned code) {
  if (code < 128 || code > 255) return static_cast<char16_t>(code);
  std::string byte(1, static_cast<char>(code));
  std::u16string w = platform::codePageToWide(byte, 1252);
  return w.empty() ? static_cast<char16_t>(code) : w[0];
}

}  // namespace

Matcher::Matcher(std::u16string_view f, bool matchCase, bool wholeWord) : matchCase_(matchCase), wholeWord_(wholeWord) {
  auto literal = [&](char16_t c) {
    Atom a{Kind::Literal, c, c};
    if (!matchCase_) {
      a.ch = platform::toLower(c);
      a.other = platform::toUpper(c);
    }
    atoms_.push_back(a);
  };
  for (size_t i = 0; i < f.size(); ++i) {
    char16_t c = f[i];
    if (c != u'^') {
      literal(c == u'\n' ? u'\r' : c);
      continue;
    }
    if (++i >= f.size()) throw automation::AutomationError("The find text ends with a lone '^'.");
    char16_t code = f[i];
    if (code >= u'0' && code <= u'9') {
      bool ansi = code == u'0';
      unsigned value = 0;
      size_t digits = 0;
      while (i < f.size() && f[i] >= u'0' && f[i] <= u'9' && digits < (ansi ? 4u : 3u)) {
        value = value * 10 + (f[i] - u'0');
        ++i;
        ++digits;
      }
      --i;
      if (value == 0 || value > 255) throw automation::AutomationError("The find text holds an invalid character code.");
      literal(ansi ? ansiChar(value) : value < 128 ? static_cast<char16_t>(value) : ansiChar(value));
      continue;
    }
    switch (code) {
      case u'p': literal(u'\r'); break;
      case u't': literal(u'\t'); break;
      case u'l': literal(11); break;
      case u'n': literal(14); break;
      case u'm': literal(12); break;
      case u's': literal(0xA0); break;
      case u'~': literal(30); break;
      case u'-': literal(31); break;
      case u'=': literal(0x2013); break;
      case u'+': literal(0x2014); break;
      case u'%': literal(0xA7); break;   // section sign
      case u'v': literal(0xB6); break;   // pilcrow
      case u'x': literal(0x200C); break;  // no-width optional break
      case u'z': literal(0x200D); break;  // no-width non break
      case u'^': literal(u'^'); break;
      case u'g': literal(1); break;
      case u'f':
      case u'e': literal(2); break;
      case u'a': literal(5); break;
      case u'?': atoms_.push_back({Kind::AnyChar}); break;
      case u'#': atoms_.push_back({Kind::Digit}); break;
      case u'$': atoms_.push_back({Kind::Letter}); break;
      case u'w': atoms_.push_back({Kind::WhiteSpace}); break;
      case u'u': {
        unsigned value = 0;
        size_t digits = 0;
        while (i + 1 < f.size() && f[i + 1] >= u'0' && f[i + 1] <= u'9' && digits < 5) {
          value = value * 10 + (f[++i] - u'0');
          ++digits;
        }
        if (!digits || value == 0 || value > 0xFFFF) throw automation::AutomationError("The find text holds an invalid ^u code.");
        literal(static_cast<char16_t>(value));
        break;
      }
      // Word finds these, but our stories hold neither section breaks nor field codes.
      case u'b':
      case u'd':
        throw automation::AutomationError(std::string("This Word does not support ^") + char(code) + " (" +
                                          (code == u'b' ? "section breaks" : "fields") + ") in a find text.");
      case u'c':
      case u'&':
        throw automation::AutomationError(std::string("^") + char(code) + " is valid only in a replacement text, not in a find text.");
      default:
        throw automation::AutomationError("The find text holds the unknown special code '^" +
                                          platform::wideToUtf8(std::u16string(1, code)) + "'.");
    }
  }
  if (atoms_.empty()) throw automation::AutomationError("The find text is empty.");
  prepareSkips();
}

char16_t Matcher::fold(char16_t c) const {
  return matchCase_ ? c : foldUnit(c);
}

void Matcher::prepareSkips() {
  // Skips are safe only when "matches" is the same as "folds to the same unit" for every
  // pattern unit, which holds unless a unit's upper case does not lower back to it.
  for (const Atom& a : atoms_) {
    if (a.kind != Kind::Literal) return;
    if (!matchCase_ && fold(a.other) != a.ch) return;
  }
  const size_t m = atoms_.size();
  if (m < 2) return;
  for (const Atom& a : atoms_) folded_.push_back(a.ch);
  auto capped = [](size_t skip) { return static_cast<uint16_t>(std::min<size_t>(skip, UINT16_MAX)); };
  for (uint16_t& s : skip_) s = capped(m);
  for (size_t i = 0; i + 1 < m; ++i) skip_[folded_[i] & 0xFF] = capped(m - 1 - i);
  skipScan_ = true;
  chooseRareUnit();
  // Paragraph filters hold folded trios; a hit's units fold to the pattern's only when folding
  // is stable on them, and no hit of a pattern without marks crosses a paragraph's end.
  std::u16string trios;
  for (char16_t c : folded_) {
    if (c == u'\r' || c == kCellMark || (!matchCase_ && foldUnit(c) != c)) return;
    trios += foldUnit(c);
  }
  keys_ = TrigramKeys(trios);
}

void Matcher::chooseRareUnit() {
  int best = kRareEnough + 1;
  for (size_t i = 0; i < folded_.size(); ++i) {
    char16_t c = folded_[i];
    // Without case, only an ASCII unit's forms are all known: itself and its capital.
    if (!matchCase_ && (c >= 0x80 || hasForeignForms(c))) continue;
    int n = commonness(c);
    if (n >= best) continue;
    best = n;
    rareAt_ = i;
    rareForms_[0] = c;
    rareForms_[1] = matchCase_ ? c : platform::toUpper(c);
  }
}

std::optional<Hit> Matcher::searchByRareUnit(std::u16string_view t, size_t from, size_t startLimit) const {
  const size_t m = folded_.size();
  if (t.size() < m) return std::nullopt;
  const size_t starts = std::min(startLimit, t.size() - m + 1);
  if (from >= starts) return std::nullopt;
  const char16_t* p = t.data();
  for (size_t i = from + rareAt_, end = starts + rareAt_; (i = findEither(p, i, end, rareForms_[0], rareForms_[1])) < end; ++i) {
    size_t pos = i - rareAt_, k = 0;
    while (k < m && fold(p[pos + k]) == folded_[k]) ++k;
    if (k == m && acceptHit(t, pos, pos + m)) return Hit{pos, pos + m};
  }
  return std::nullopt;
}

bool Matcher::refusesHitBefore(char16_t c) const { return wholeWord_ && isWordChar(c); }

bool Matcher::acceptHit(std::u16string_view t, size_t pos, size_t end) const {
  return !wholeWord_ || !((pos > 0 && isWordChar(t[pos - 1])) || (end < t.size() && isWordChar(t[end])));
}

std::optional<Hit> Matcher::searchLiteral(std::u16string_view t, size_t from, size_t startLimit) const {
  const size_t m = folded_.size();
  const char16_t last = folded_[m - 1];
  for (size_t pos = from; pos < startLimit && pos + m <= t.size();) {
    char16_t c = fold(t[pos + m - 1]);
    if (c == last) {
      size_t i = 0;
      while (i + 1 < m && fold(t[pos + i]) == folded_[i]) ++i;
      if (i + 1 == m && acceptHit(t, pos, pos + m)) return Hit{pos, pos + m};
      ++pos;
      continue;
    }
    pos += skip_[c & 0xFF];
  }
  return std::nullopt;
}

size_t Matcher::matchAt(std::u16string_view t, size_t pos, const WhiteRun& dead, WhiteRun& seen) const {
  seen.atom = SIZE_MAX;
  for (size_t k = 0; k < atoms_.size(); ++k) {
    const Atom& a = atoms_[k];
    if (pos >= t.size()) return SIZE_MAX;
    char16_t c = t[pos];
    switch (a.kind) {
      case Kind::Literal:
        if (c != a.ch && c != a.other && (matchCase_ || platform::toLower(c) != a.ch)) return SIZE_MAX;
        break;
      case Kind::AnyChar:
        if (c == kCellMark) return SIZE_MAX;
        break;
      case Kind::Digit:
        if (!platform::isDigit(c)) return SIZE_MAX;
        break;
      case Kind::Letter:
        if (!platform::isLetter(c)) return SIZE_MAX;
        break;
      case Kind::WhiteSpace: {
        if (!isWhite(c)) return SIZE_MAX;
        if (k == dead.atom && pos >= dead.from && pos < dead.to) return SIZE_MAX;
        size_t from = pos;
        while (pos + 1 < t.size() && isWhite(t[pos + 1])) ++pos;
        if (seen.atom == SIZE_MAX) seen = WhiteRun{k, from, pos + 1};
        break;
      }
    }
    ++pos;
  }
  return pos;
}

std::optional<Hit> Matcher::search(std::u16string_view t, size_t from, size_t startLimit) const {
  startLimit = std::min(startLimit, t.size());
  if (rareAt_ != SIZE_MAX) return searchByRareUnit(t, from, startLimit);
  if (skipScan_) return searchLiteral(t, from, startLimit);
  const Atom& first = atoms_.front();
  WhiteRun dead;
  for (size_t pos = from; pos < startLimit; ++pos) {
    if (first.kind == Kind::Literal) {
      // Quick scan to the next place the first character can match.
      while (pos < startLimit) {
        char16_t c = t[pos];
        if (c == first.ch || c == first.other || (!matchCase_ && c > 0x7F && platform::toLower(c) == first.ch)) break;
        ++pos;
      }
      if (pos >= startLimit) break;
    }
    WhiteRun seen;
    size_t end = matchAt(t, pos, dead, seen);
    // A failure, or a hit refused for the character after it, repeats for every later start whose
    // first ^w takes the same stretch: without this a long run of spaces costs its square.
    if (end == SIZE_MAX || (wholeWord_ && end < t.size() && isWordChar(t[end]))) {
      if (seen.atom != SIZE_MAX) dead = seen;
      continue;
    }
    if (!acceptHit(t, pos, end)) continue;
    return Hit{pos, end};
  }
  return std::nullopt;
}

}  // namespace ooxml::word
