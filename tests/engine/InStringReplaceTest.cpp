#include <gtest/gtest.h>

#include "engine/InStringReplace.h"

namespace {

struct Replaced {
  WideString text;
  int32_t matches;
};

Replaced replaceAll(std::u16string_view source, std::u16string_view find, std::u16string_view replacement,
                    int32_t flags) {
  int32_t matches = 0;
  WideString text = ReplaceAllInText(source, find, replacement, flags, matches);
  return {text, matches};
}

}  // namespace

TEST(ReplaceAllInText, EmptyOrTooLongFindTextLeavesTheSourceUncounted) {
  EXPECT_EQ(replaceAll(u"abc", u"", u"x", 0).text, u"abc");
  EXPECT_EQ(replaceAll(u"abc", u"", u"x", 0).matches, 0);
  EXPECT_EQ(replaceAll(u"ab", u"abc", u"x", 0).text, u"ab");
  EXPECT_EQ(replaceAll(u"ab", u"abc", u"x", 0).matches, 0);
}

TEST(ReplaceAllInText, CaseFollowsBitOneAndMatchesDoNotOverlap) {
  EXPECT_EQ(replaceAll(u"Cat cAT", u"cat", u"dog", 0).text, u"dog dog");
  EXPECT_EQ(replaceAll(u"Cat cAT", u"cat", u"dog", 0).matches, 2);
  EXPECT_EQ(replaceAll(u"Cat cat", u"cat", u"dog", 1).text, u"Cat dog");
  EXPECT_EQ(replaceAll(u"\u00C9t\u00E9", u"\u00E9T\u00C9", u"x", 0).text, u"x");  // beyond ASCII too
  EXPECT_EQ(replaceAll(u"aaaa", u"aa", u"b", 0).matches, 2);
  EXPECT_EQ(replaceAll(u"aaa", u"aa", u"b", 0).text, u"ba");
  // Wildcard bits are ignored: matching is literal.
  EXPECT_EQ(replaceAll(u"a?c abc", u"a?c", u"x", 2).text, u"x abc");
}

TEST(ReplaceAllInText, WholeWordNeedsDelimitersOnBothSides) {
  const int32_t whole = 4;
  EXPECT_EQ(replaceAll(u"an apple", u"an", u"one", whole).text, u"one apple");
  EXPECT_EQ(replaceAll(u"banana", u"an", u"one", whole).matches, 0);
  EXPECT_EQ(replaceAll(u"an_x", u"an", u"one", whole).matches, 0) << "underscore is part of a word";
  EXPECT_EQ(replaceAll(u"an\tx", u"an", u"one", whole).matches, 0) << "tab is no delimiter";
  EXPECT_EQ(replaceAll(u"an.x", u"an", u"one", whole).text, u"one.x");
  EXPECT_EQ(replaceAll(u"an an,an", u"an", u"1", whole).text, u"1 1,1");
  EXPECT_EQ(replaceAll(u"anan", u"an", u"1", whole).matches, 0);
  EXPECT_EQ(replaceAll(u"\u00E9an", u"an", u"1", whole).matches, 0) << "letters beyond ASCII join words";
}

TEST(ReplaceAllInText, DelimitersAreReturnsSpaceAndAsciiPunctuationButUnderscore) {
  std::u16string all;
  for (char16_t c = 0; c < 300; ++c) all += c;
  WideString delimiters;
  for (int64_t j = 1; j <= static_cast<int64_t>(all.size()); ++j)
    if (IsWordDelimiter(all, j)) delimiters += all[static_cast<size_t>(j - 1)];
  EXPECT_EQ(delimiters, u"\n\r !\"#$%&'()*+,-./:;<=>?@[\\]^`{|}~");
  EXPECT_EQ(delimiters.size(), 34u);
  EXPECT_TRUE(IsWordDelimiter(u"ab", 0));
  EXPECT_TRUE(IsWordDelimiter(u"ab", 3));
}

TEST(ReplaceAllInText, AFoundTextCodeTakesEachMatchsOwnSpelling) {
  int32_t n = 0;
  EXPECT_EQ(ReplaceAllInText(u"Head office, head room", u"HEAD", u"<^&>", 0, n, u"^&"), u"<Head> office, <head> room");
  EXPECT_EQ(n, 2);
}

TEST(ExpandSpecialCodes, TranslatesTheCaretCodes) {
  EXPECT_EQ(ExpandSpecialCodes(u"a^pb"), u"a\rb");
  EXPECT_EQ(ExpandSpecialCodes(u"^t^l^n^s^~"), WideString({9, 11, 14, 160, 30}));
  EXPECT_EQ(ExpandSpecialCodes(u"1^=2^+3"), u"1\u20132\u20143");
}

TEST(ExpandSpecialCodes, LeavesEveryOtherPairAndALoneCaretAlone) {
  EXPECT_EQ(ExpandSpecialCodes(u"a^Pb"), u"a^Pb") << "codes are case-sensitive";
  EXPECT_EQ(ExpandSpecialCodes(u"end^"), u"end^");
  EXPECT_EQ(ExpandSpecialCodes(u"^^p"), u"^^p") << "two carets pair up, the p stays a letter";
  EXPECT_EQ(ExpandSpecialCodes(u"\\^p"), u"\\^p") << "a backslash takes the next character literally";
  EXPECT_EQ(ExpandSpecialCodes(u"^&"), u"^&");
  EXPECT_EQ(ExpandSpecialCodes(u""), u"");
}
