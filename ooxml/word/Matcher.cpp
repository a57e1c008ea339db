#include "ooxml/word/Matcher.h"

#include <algorithm>

#include "automation/Dispatch.h"
#include "platform/Text.h"

namespace ooxml::word {

namespace {

constexpr char16_t kCellMark = 7;

bool isWhite(char16_t c) { return c == u' ' || c == u'\t' || c == 0xA0; }
bool isWordChar(char16_t c) { return platform::isLetter(c) || platform::isDigit(c); }

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
  // Paragraph filters hold folded trios; a hit's units fold to the pattern's only when folding
  // is stable on them, and no hit of a pattern without marks crosses a paragraph's end.
  std::u16string trios;
  for (char16_t c : folded_) {
    if (c == u'\r' || c == kCellMark || (!matchCase_ && foldUnit(c) != c)) return;
    trios += foldUnit(c);
  }
  keys_ = TrigramKeys(trios);
}

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

size_t Matcher::matchAt(std::u16string_view t, size_t pos) const {
  for (const Atom& a : atoms_) {
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
      case Kind::WhiteSpace:
        if (!isWhite(c)) return SIZE_MAX;
        while (pos + 1 < t.size() && isWhite(t[pos + 1])) ++pos;
        break;
    }
    ++pos;
  }
  return pos;
}

std::optional<Hit> Matcher::search(std::u16string_view t, size_t from, size_t startLimit) const {
  startLimit = std::min(startLimit, t.size());
  if (skipScan_) return searchLiteral(t, from, startLimit);
  const Atom& first = atoms_.front();
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
    size_t end = matchAt(t, pos);
    if (end == SIZE_MAX) continue;
    if (!acceptHit(t, pos, end)) continue;
    return Hit{pos, end};
  }
  return std::nullopt;
}

}  // namespace ooxml::word
