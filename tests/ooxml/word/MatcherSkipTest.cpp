// The skipping scan of plain find texts must find exactly what a character-by-character
// comparison finds, for every case and whole-word setting.
#include <gtest/gtest.h>

#include <random>

#include "ooxml/word/Matcher.h"
#include "platform/Text.h"

using ooxml::word::Matcher;

namespace {

std::optional<size_t> reference(const std::u16string& t, const std::u16string& p, bool matchCase, bool wholeWord,
                                size_t from, size_t limit) {
  auto word = [](char16_t c) { return platform::isLetter(c) || platform::isDigit(c); };
  for (size_t pos = from; pos < limit && pos + p.size() <= t.size(); ++pos) {
    bool same = true;
    for (size_t i = 0; same && i < p.size(); ++i)
      same = matchCase ? t[pos + i] == p[i] : platform::toLower(t[pos + i]) == platform::toLower(p[i]);
    if (!same) continue;
    size_t end = pos + p.size();
    if (wholeWord && ((pos > 0 && word(t[pos - 1])) || (end < t.size() && word(t[end])))) continue;
    return pos;
  }
  return std::nullopt;
}

}  // namespace

namespace {

// Random texts and patterns over a few units, checked against the plain comparison above.
void checkAgainstReference(const std::u16string& alphabet, size_t longestText, unsigned seed) {
  std::mt19937 rng(seed);
  auto pick = [&](size_t n) {
    std::u16string s;
    for (size_t i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    std::u16string text = pick(1 + rng() % longestText);
    std::u16string pattern = pick(2 + rng() % 4);
    if (pattern.find(u'^') != std::u16string::npos) continue;
    bool matchCase = rng() % 2, wholeWord = rng() % 2;
    size_t from = rng() % (text.size() + 1), limit = from + rng() % (text.size() + 2);
    Matcher m(pattern, matchCase, wholeWord);
    auto hit = m.search(text, from, limit);
    auto expected = reference(text, pattern, matchCase, wholeWord, from, std::min(limit, text.size()));
    ASSERT_EQ(hit.has_value(), expected.has_value()) << platform::wideToUtf8(pattern) << " in " << platform::wideToUtf8(text);
    if (hit) {
      EXPECT_EQ(hit->start, *expected);
    }
  }
}

}  // namespace

TEST(MatcherSkipScan, FindsWhatACharacterByCharacterScanFinds) {
  checkAgainstReference(u"aAbBäÄ .\r", 60, 11);
}

TEST(MatcherSkipScan, ScanningForARareUnitFindsWhatACharacterByCharacterScanFinds) {
  // Digits, 'q' and 'k' are looked for alone; the Kelvin sign folds to 'k', so a scan for
  // 'k' and 'K' only would miss it. Long texts cross the sixteen-unit steps.
  checkAgainstReference(u"eE7qQ kK\u212A", 70, 12);
  checkAgainstReference(u"ee1Q", 200, 13);
}

TEST(MatcherSkipScan, APatternLongerThanTheSkipTableHoldsIsStillFound) {
  // 65,536 units: a skip that wrapped round would be 0 and the scan would never move on.
  const std::u16string pattern = std::u16string(65535, u'a') + u"b";
  const std::u16string text = u"xx" + std::u16string(70000, u'a') + u"b";
  Matcher m(pattern, true, false);
  auto hit = m.search(text, 0, text.size());
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(text.size() - pattern.size(), hit->start);
  EXPECT_FALSE(m.search(text.substr(0, text.size() - 1), 0, text.size() - 1).has_value());
}

namespace {

// Caret codes matched one atom at a time, ^w taking every white unit in a row, as the matcher
// does; no shortcuts.
std::optional<size_t> referenceWithCodes(const std::u16string& t, const std::u16string& p, bool wholeWord) {
  auto white = [](char16_t c) { return c == u' ' || c == u'\t' || c == 0xA0; };
  auto word = [](char16_t c) { return platform::isLetter(c) || platform::isDigit(c); };
  for (size_t pos = 0; pos < t.size(); ++pos) {
    size_t at = pos;
    bool ok = true;
    for (size_t i = 0; ok && i < p.size(); ++i) {
      if (at >= t.size()) {
        ok = false;
        break;
      }
      char16_t c = t[at];
      if (p[i] != u'^') {
        ok = platform::toLower(c) == platform::toLower(p[i]);
      } else {
        switch (p[++i]) {
          case u'?': ok = c != 7; break;
          case u'#': ok = platform::isDigit(c); break;
          case u'$': ok = platform::isLetter(c); break;
          case u'w':
            ok = white(c);
            while (ok && at + 1 < t.size() && white(t[at + 1])) ++at;
            break;
        }
      }
      ++at;
    }
    if (!ok) continue;
    if (wholeWord && ((pos > 0 && word(t[pos - 1])) || (at < t.size() && word(t[at])))) continue;
    return pos;
  }
  return std::nullopt;
}

}  // namespace

TEST(MatcherCodes, WhiteSpaceAndOtherCodesFindWhatAnAtomByAtomScanFinds) {
  // Mostly white text, so that ^w meets long stretches that the matcher skips once they failed.
  std::mt19937 rng(21);
  const std::u16string units = u"   \t\u00a0ab1.";
  const std::u16string pieces[] = {u"^w", u"^?", u"^#", u"^$", u"a", u" ", u"b", u"."};
  for (int round = 0; round < 4000; ++round) {
    std::u16string text, pattern;
    for (size_t i = 0, n = 1 + rng() % 40; i < n; ++i) text += units[rng() % units.size()];
    for (size_t i = 0, n = 1 + rng() % 4; i < n; ++i) pattern += pieces[rng() % std::size(pieces)];
    bool wholeWord = rng() % 2;
    auto hit = Matcher(pattern, false, wholeWord).search(text, 0, text.size());
    auto expected = referenceWithCodes(text, pattern, wholeWord);
    ASSERT_EQ(hit.has_value(), expected.has_value()) << platform::wideToUtf8(pattern) << " in [" << platform::wideToUtf8(text) << "]";
    if (hit) {
      EXPECT_EQ(*expected, hit->start) << platform::wideToUtf8(pattern) << " in [" << platform::wideToUtf8(text) << "]";
    }
  }
}

TEST(MatcherCodes, WhiteSpaceCodesOverAHugeRunOfSpacesFinishInOnePass) {
  // Four million spaces: trying ^w again from every space of the run, as the matcher once did,
  // would take hours; a failed stretch is now passed over whole.
  const std::u16string text = u"a" + std::u16string(4'000'000, u' ') + u"b.";
  for (const char16_t* pattern : {u"^w^p", u"^?^wx", u"^wb^#"}) {
    EXPECT_FALSE(Matcher(pattern, false, false).search(text, 0, text.size())) << platform::wideToUtf8(pattern);
  }
  // Refused at the run's start (after the letter "a"), taken one space on.
  auto hit = Matcher(u"^wb", false, true).search(text, 0, text.size());
  ASSERT_TRUE(hit);
  EXPECT_EQ(2u, hit->start);
  // The char after the hit is a letter in every start of the run: refused once, passed over whole.
  EXPECT_FALSE(Matcher(u"^w", false, true).search(text.substr(0, text.size() - 1), 1, text.size()));
}
