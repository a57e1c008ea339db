#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "automation/Dispatch.h"
#include "ooxml/wordfind/WildcardMatcher.h"
#include "platform/Text.h"

using ooxml::wordfind::Instruction;
using ooxml::wordfind::WildcardMatcher;
using ooxml::wordfind::WildcardPattern;
using Hit = std::optional<std::pair<size_t, size_t>>;

namespace {

constexpr size_t kNone = SIZE_MAX;

struct Case {
  const char16_t* pattern;
  std::u16string text;
  size_t start, end;  // kNone: no hit
};

std::string describe(const Case& c) {
  return "pattern \"" + platform::wideToUtf8(c.pattern) + "\" in \"" + platform::wideToUtf8(c.text) + "\"";
}

void expectHits(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    Hit hit = WildcardMatcher(c.pattern).find(c.text, 0, c.text.size());
    if (c.start == kNone) {
      EXPECT_FALSE(hit) << describe(c) << " found " << hit->first << "-" << hit->second;
    } else {
      ASSERT_TRUE(hit) << describe(c);
      EXPECT_EQ(*hit, std::make_pair(c.start, c.end)) << describe(c);
    }
  }
}

std::string errorOf(std::u16string_view pattern) {
  try {
    WildcardMatcher m(pattern);
  } catch (const automation::AutomationError& e) {
    return e.what();
  }
  return "(accepted)";
}

}  // namespace

// Microsoft's own examples of Word's wildcards, each with what it finds and what it does not.
TEST(Wildcard, MicrosoftsExamplesFindWhatTheySay) {
  expectHits({
      {u"s?t", u"sat", 0, 3},           {u"s?t", u"set", 0, 3},
      {u"s*d", u"sad", 0, 3},           {u"s*d", u"started", 0, 7},
      {u"<(inter)", u"interesting", 0, 5}, {u"<(inter)", u"intercept", 0, 5}, {u"<(inter)", u"splintered", kNone, 0},
      {u"(in)>", u"in", 0, 2},          {u"(in)>", u"within", 4, 6},    {u"(in)>", u"interesting", kNone, 0},
      {u"w[io]n", u"win", 0, 3},        {u"w[io]n", u"won", 0, 3},
      {u"[r-t]ight", u"right", 0, 5},   {u"[r-t]ight", u"sight", 0, 5},
      {u"t[!a-m]ck", u"tock", 0, 4},    {u"t[!a-m]ck", u"tuck", 0, 4},
      {u"t[!a-m]ck", u"tack", kNone, 0}, {u"t[!a-m]ck", u"tick", kNone, 0},
      {u"fe{2}d", u"feed", 0, 4},       {u"fe{2}d", u"fed", kNone, 0},
      {u"fe{1,}d", u"fed", 0, 3},       {u"fe{1,}d", u"feed", 0, 4},
      {u"10{1,3}", u"10", 0, 2},        {u"10{1,3}", u"100", 0, 3},     {u"10{1,3}", u"1000", 0, 4},
      {u"lo@t", u"lot", 0, 3},          {u"lo@t", u"loot", 0, 4},
  });
}

TEST(Wildcard, SingleCharacterAndRunOperatorsTakeTheShortestRun) {
  expectHits({
      {u"?", u"ab", 0, 1},
      {u"b?d", u"abcd", 1, 4},
      {u"a*d", u"abcdxd", 0, 4},        // * stops at the first d
      {u"a*c", u"abcabc", 0, 3},
      {u"*", u"abc", 0, 1},             // an empty run is no hit
      {u"a*", u"abc", 0, 1},
      {u"s*t", u"stop", 0, 2},          // * may be empty inside a hit
      {u"x?z", u"xz", kNone, 0},        // ? is exactly one character
      {u"a*b", u"a\rline\rb", 0, 8},    // * runs over paragraph marks
  });
}

TEST(Wildcard, RepeatsTakeTheLongestRun) {
  expectHits({
      {u"lo@", u"hellooo!", 3, 7},
      {u"[0-9]@", u"ab 12345 c", 3, 8},
      {u"a{2}", u"caaab", 1, 3},
      {u"a{2,}", u"caaaab", 1, 5},
      {u"a{2,3}", u"caaaab", 1, 4},
      {u"a{2;3}", u"caaaab", 1, 4},     // the semicolon list separator
      {u"a{3}", u"aab", kNone, 0},
      {u"(ab)@", u"xababab", 1, 7},
      {u"(ab){2}c", u"abababc", 2, 7},
      {u"?@x", u"abxcx", 0, 5},          // @ greedy, backs off to the last x
      {u"a{0,1}b", u"xb", 1, 2},
      {u"(a{0,1})@b", u"aab", 0, 3},     // a repeated group that can be empty
  });
}

TEST(Wildcard, LeftmostHitWinsOverALongerLaterOne) {
  expectHits({
      {u"a@b", u"aaab", 0, 4},
      {u"b@", u"abbb", 1, 4},
      {u"[ab]@c", u"xbac ac", 1, 4},
  });
}

TEST(Wildcard, Sets) {
  expectHits({
      {u"[abc]", u"xxbxx", 2, 3},
      {u"[a-c]{2}", u"xabc", 1, 3},
      {u"[!a-z]", u"abC", 2, 3},
      {u"[!a]@", u"aabca", 2, 4},
      {u"[-a]", u"x-", 1, 2},            // a dash first or last is literal
      {u"[a-]", u"x-", 1, 2},
      {u"[x\\-z]", u"y-", 1, 2},
      {u"[\\[\\]]", u"a]", 1, 2},
      {u"[!^13]@^13", u"one\rtwo\r", 0, 4},
      {u"[^t ]", u"ab\tc", 2, 3},
      {u"[A-Z]", u"abc", kNone, 0},      // case counts in sets too
  });
}

TEST(Wildcard, SpecialCharactersBetweenBracketsAreLiteral) {
  expectHits({
      {u"[*]*", u"a*b", 1, 2},
      {u"[?][@][<][>][(][)][{][}][[]", u"x?@<>(){}[", 1, 10},
      {u"[]]", u"a]", 1, 2},               // a "]" first in a set is a member
      {u"[]a]@", u"x]a]b", 1, 4},
      {u"[]-a]", u"x_", 1, 2},             // "]" may open a range
      {u"[!]", u"hi!", 2, 3},              // "[!]" is the set of "!", not an empty negation
      {u"[!!]", u"!!x", 2, 3},
      {u"[!\\]]", u"]]x", 2, 3},
  });
}

TEST(Wildcard, SetsOfOverlappingUnsortedOrManyMembers) {
  expectHits({
      {u"[zyxa-c]@", u"mmcbazy", 2, 7},
      {u"[a-mc-z]@", u"5az5", 1, 3},
      {u"[!a-mc-z]", u"abz5", 3, 4},
      {u"[a-cb-d]{4}", u"xabcd", 1, 5},
      {u"[!b-dab]", u"abcde", 4, 5},
      {u"[^u65535]", u"a\uffff", 1, 2},
      {u"[!a-^u65535]", u"b\x07`", 2, 3},      // a negated set still never takes the cell end
      {u"[!^1-^6^8-^u65535]", u"ab\x07", kNone, 0},
      {u"[^7]", u"a\x07", 1, 2},               // named, the cell end is found
  });
  // Membership after sorting and merging agrees with a plain reading of the members.
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    ooxml::wordfind::CharSet set;
    set.negated = rng() % 2;
    int members = 1 + static_cast<int>(rng() % 12);
    for (int k = 0; k < members; ++k) {
      // Mostly near one another, so that ranges overlap, touch and repeat.
      unsigned base = (rng() % 3 == 0) ? rng() % 65536 : 0xFF00 + rng() % 256;
      unsigned lo = round % 2 ? base % 300 : base, hi = std::min(65535u, lo + static_cast<unsigned>(rng() % 40));
      set.ranges.emplace_back(static_cast<char16_t>(lo), static_cast<char16_t>(hi));
    }
    auto plain = set.ranges;
    set.seal();
    for (unsigned c = 0; c < 65536; ++c) {
      bool in = false;
      for (const auto& r : plain) in = in || (c >= r.first && c <= r.second);
      bool want = set.negated ? !in && c != 7 : in;
      ASSERT_EQ(set.contains(static_cast<char16_t>(c)), want) << "unit " << c << " in round " << round;
    }
  }
}

TEST(Wildcard, WordStartAndEnd) {
  expectHits({
      {u"<in", u"tin inn", 4, 6},
      {u"in>", u"inner tin", 7, 9},
      {u"<*>", u"one two", 0, 3},
      {u"<[0-9]@>", u"a1 22 3b", 3, 5},
      {u"<t?n>", u"ten; tin", 0, 3},
      {u"<", u"word", kNone, 0},
      {u"<é", u"aé é", 3, 4},            // letters beyond ASCII are word characters
  });
}

TEST(Wildcard, EscapesTakeSpecialCharactersLiterally) {
  expectHits({
      {u"\\*", u"a*b", 1, 2},
      {u"\\?", u"why?", 3, 4},
      {u"\\(x\\)", u"f(x)", 1, 4},
      {u"\\{1\\}", u"a{1}", 1, 4},
      {u"\\<\\>", u"a<>", 1, 3},
      {u"\\!\\@\\\\", u"!@\\", 0, 3},
      {u"!", u"hi!", 2, 3},               // ! is special only in sets
      {u"\\a", u"bab", 1, 2},
  });
}

TEST(Wildcard, CaretCodes) {
  expectHits({
      {u"^p", u"a\rb", 1, 2},
      {u"^13", u"a\rb", 1, 2},
      {u"a\nb", u"a\rb", 0, 3},           // 10 in a pattern stands for the paragraph mark
      {u"^t", u"a\tb", 1, 2},
      {u"^l^m^n", u"\x0b\x0c\x0e", 0, 3},
      {u"^s^~^-", u"\u00a0\x1e\x1f", 0, 3},
      {u"^=^+", u"\u2013\u2014", 0, 2},
      {u"^^", u"a^b", 1, 2},
      {u"^0150", u"x\u2013", 1, 2},       // ^0nnn: code page 1252
      {u"^150", u"x\u2013", 1, 2},
      {u"^u8212", u"x\u2014", 1, 2},
      {u"^65^66", u"xAB", 1, 3},
      {u"^00651", u"A1", 0, 2},           // ^0nnn: a zero and three digits
  });
}

TEST(Wildcard, MatchingIsCaseSensitive) {
  expectHits({
      {u"Word", u"word Word", 5, 9},
      {u"w?rd", u"WORD", kNone, 0},
  });
}

TEST(Wildcard, CellEndIsNeverSplitByAnyOrNegatedSets) {
  expectHits({
      {u"a?b", u"a\x07b", kNone, 0},
      {u"a*b", u"a\r\x07b", kNone, 0},
      {u"[!x]", u"\x07y", 1, 2},
      {u"^13^7", u"a\r\x07", 1, 3},
  });
}

TEST(Wildcard, HitsStartBetweenFromAndToAndMayRunPastTo) {
  WildcardMatcher m(u"a?");
  std::u16string text = u"axbaya";
  EXPECT_EQ(m.find(text, 0, 6), std::make_pair(size_t(0), size_t(2)));
  EXPECT_EQ(m.find(text, 1, 6), std::make_pair(size_t(3), size_t(5)));
  EXPECT_EQ(m.find(text, 1, 4), std::make_pair(size_t(3), size_t(5)));  // runs past 4
  EXPECT_FALSE(m.find(text, 1, 3));
  EXPECT_FALSE(m.find(text, 5, 6));  // "a" at the end has no character after it
  EXPECT_FALSE(m.find(text, 9, 20));
  EXPECT_FALSE(m.find(text, 4, 2));
  // "<" looks at the character before `from`.
  EXPECT_EQ(WildcardMatcher(u"<in").find(u"tin in", 1, 6), std::make_pair(size_t(4), size_t(6)));
}

TEST(Wildcard, PatternsWordRefusesRaiseNamingTheFault) {
  using testing::HasSubstr;
  EXPECT_THAT(errorOf(u""), HasSubstr("empty"));
  EXPECT_THAT(errorOf(u"(ab"), HasSubstr("\"(\" is not closed (at character 1)"));
  EXPECT_THAT(errorOf(u"ab)"), HasSubstr("\")\" closes no group"));
  EXPECT_THAT(errorOf(u"x[ab"), HasSubstr("\"[\" is not closed (at character 2)"));
  EXPECT_THAT(errorOf(u"a]"), HasSubstr("\"]\" closes no set"));
  EXPECT_THAT(errorOf(u"a}"), HasSubstr("\"}\" closes no repeat"));
  EXPECT_THAT(errorOf(u"@a"), HasSubstr("nothing before it to repeat"));
  EXPECT_THAT(errorOf(u"(@)"), HasSubstr("nothing before it to repeat"));
  EXPECT_THAT(errorOf(u"a@@"), HasSubstr("follows another repeat"));
  EXPECT_THAT(errorOf(u"a{2}@"), HasSubstr("follows another repeat"));
  EXPECT_THAT(errorOf(u"*@"), HasSubstr("cannot repeat \"*\""));
  EXPECT_THAT(errorOf(u"<{2}"), HasSubstr("cannot repeat \"<\""));
  EXPECT_THAT(errorOf(u"a{"), HasSubstr("must be followed by a repeat count"));
  EXPECT_THAT(errorOf(u"a{x}"), HasSubstr("must be followed by a repeat count"));
  EXPECT_THAT(errorOf(u"a{2"), HasSubstr("not closed by \"}\""));
  EXPECT_THAT(errorOf(u"a{3,2}"), HasSubstr("first count is above the second"));
  EXPECT_THAT(errorOf(u"a{0}"), HasSubstr("zero times"));
  EXPECT_THAT(errorOf(u"a{70000}"), HasSubstr("above 65535"));
  EXPECT_THAT(errorOf(u"[z-a]"), HasSubstr("range \"z\"-\"a\" is not in ascending order"));
  EXPECT_THAT(errorOf(u"[]"), HasSubstr("\"[\" is not closed"));
  EXPECT_THAT(errorOf(u"[!]]"), HasSubstr("\"]\" closes no set"));
  EXPECT_THAT(errorOf(u"ab\\"), HasSubstr("nothing to take literally"));
  EXPECT_THAT(errorOf(u"a^"), HasSubstr("\"^\" ends the pattern"));
  EXPECT_THAT(errorOf(u"^?"), HasSubstr("cannot be used with wildcards"));
  EXPECT_THAT(errorOf(u"^#"), HasSubstr("cannot be used with wildcards"));
  EXPECT_THAT(errorOf(u"^$"), HasSubstr("cannot be used with wildcards"));
  EXPECT_THAT(errorOf(u"^w"), HasSubstr("cannot be used with wildcards"));
  EXPECT_THAT(errorOf(u"^&"), HasSubstr("replacement"));
  EXPECT_THAT(errorOf(u"^q"), HasSubstr("\"^q\" is not a special code"));
  EXPECT_THAT(errorOf(u"^0"), HasSubstr("not between 1 and 255"));
  EXPECT_THAT(errorOf(u"^256"), HasSubstr("not between 1 and 255"));
  EXPECT_THAT(errorOf(u"^u"), HasSubstr("\"^u\" must be followed"));
  EXPECT_THAT(errorOf(u"^u70000"), HasSubstr("\"^u\" must be followed"));
  EXPECT_THAT(errorOf(u"[a^?]"), HasSubstr("cannot be used with wildcards"));
}

TEST(Wildcard, HugeRepeatsAndDeepNestingAreRefusedNotUnrolled) {
  using testing::HasSubstr;
  EXPECT_THAT(errorOf(u"(?{200}){200}"), HasSubstr("too large"));
  EXPECT_THAT(errorOf(u"a{65535}"), HasSubstr("too large"));
  std::u16string doubling = u"a";
  for (int i = 0; i < 16; ++i) doubling = u"(" + doubling + u"){2}";  // 65536 a's
  EXPECT_THAT(errorOf(doubling), HasSubstr("too large"));
  EXPECT_THAT(errorOf(std::u16string(40, u'(') + u"a" + std::u16string(40, u')')), HasSubstr("nested too deeply"));
  WildcardPattern fits(u"a{1000}");  // within the cap
  EXPECT_LE(fits.code().size(), WildcardPattern::kMaxInstructions);
}

TEST(Wildcard, HostilePatternsOnALongStoryFinishWithTheRightAnswer) {
  std::u16string story(200'000, u'a');
  EXPECT_FALSE(WildcardMatcher(u"(a@)@b").find(story, 0, story.size()));
  EXPECT_FALSE(WildcardMatcher(u"*a*a*a*a*a*b").find(story, 0, story.size()));
  EXPECT_FALSE(WildcardMatcher(u"(?{1,20}){1,20}b").find(std::u16string_view(story).substr(0, 20000), 0, 20000));
  story.back() = u'b';
  EXPECT_EQ(WildcardMatcher(u"(a@)@b").find(story, 0, story.size()), std::make_pair(size_t(0), story.size()));
}

TEST(Wildcard, LargeSetsAndManySetsAnswerRight) {
  // A set of 60000 members over a long story, and 2400 sets a hit may start with (each once
  // cost seconds, every unit walking every member; no test times them, the answers are checked).
  std::u16string big = u"[!";
  for (unsigned c = 0x1000; c < 0x1000 + 60000; ++c) big += static_cast<char16_t>(c);
  big += u"]x";
  std::u16string many;
  for (int i = 0; i < 2400; ++i) many += u"[!a]{0,1}";
  many += u"b";
  std::u16string story(200'000, u'\u0416');
  EXPECT_FALSE(WildcardMatcher(big).find(story, 0, story.size()));
  EXPECT_FALSE(WildcardMatcher(many).find(std::u16string_view(story).substr(0, 100), 0, 100));
  story.back() = u'x';
  EXPECT_EQ(WildcardMatcher(big).find(story, 0, story.size()), std::make_pair(story.size() - 2, story.size()));
}

// An independent check of the virtual machine: a backtracking run of the same program that
// tries alternatives in priority order must agree with it on every small case.
namespace {

struct Backtracker {
  const WildcardPattern& p;
  std::u16string_view t;
  size_t start;
  std::vector<std::vector<bool>> visited;

  static bool word(char16_t c) { return platform::isLetter(c) || platform::isDigit(c); }

  std::optional<size_t> run(uint32_t pc, size_t pos) {
    if (visited[pc][pos]) return std::nullopt;
    visited[pc][pos] = true;
    const Instruction& ins = p.code()[pc];
    bool before = pos > 0 && word(t[pos - 1]), after = pos < t.size() && word(t[pos]);
    switch (ins.op) {
      case Instruction::Op::Match: return pos > start ? std::optional<size_t>(pos) : std::nullopt;
      case Instruction::Op::Jump: return run(ins.target, pos);
      case Instruction::Op::Split:
        if (auto e = run(ins.target, pos)) return e;
        return run(ins.alternative, pos);
      case Instruction::Op::WordStart: return !before && after ? run(pc + 1, pos) : std::nullopt;
      case Instruction::Op::WordEnd: return before && !after ? run(pc + 1, pos) : std::nullopt;
      case Instruction::Op::Char:
        return pos < t.size() && t[pos] == ins.ch ? run(pc + 1, pos + 1) : std::nullopt;
      case Instruction::Op::Any: return pos < t.size() && t[pos] != 7 ? run(pc + 1, pos + 1) : std::nullopt;
      case Instruction::Op::Set:
        return pos < t.size() && p.sets()[ins.target].contains(t[pos]) ? run(pc + 1, pos + 1) : std::nullopt;
    }
    return std::nullopt;
  }

  static Hit find(const WildcardPattern& p, std::u16string_view t) {
    for (size_t s = 0; s < t.size(); ++s) {
      Backtracker b{p, t, s, std::vector<std::vector<bool>>(p.code().size(), std::vector<bool>(t.size() + 1))};
      if (auto e = b.run(0, s)) return std::make_pair(s, *e);
    }
    return std::nullopt;
  }
};

}  // namespace

TEST(Wildcard, AgreesWithABacktrackingRunOnRandomPatterns) {
  const std::vector<std::u16string> pieces = {u"a", u"b", u"?", u"*", u"@", u"{1,2}", u"{2}", u"{1,}", u"(", u")",
                                              u"<", u">", u"[ab]", u"[!a]", u" "};
  std::mt19937 rng(7);
  int compared = 0;
  for (int round = 0; round < 4000; ++round) {
    std::u16string pattern, text;
    int len = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < len; ++i) pattern += pieces[rng() % pieces.size()];
    int tlen = static_cast<int>(rng() % 10);
    for (int i = 0; i < tlen; ++i) text += u"ab "[rng() % 3];
    std::optional<WildcardMatcher> m;
    try {
      m.emplace(pattern);
    } catch (const automation::AutomationError&) {
      continue;
    }
    WildcardPattern p(pattern);
    ++compared;
    EXPECT_EQ(m->find(text, 0, text.size()), Backtracker::find(p, text))
        << "pattern \"" << platform::wideToUtf8(pattern) << "\" in \"" << platform::wideToUtf8(text) << "\"";
  }
  EXPECT_GT(compared, 1000);
}
