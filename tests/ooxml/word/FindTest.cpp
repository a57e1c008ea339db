#include <gtest/gtest.h>

#include "ooxml/package/Xml.h"
#include "ooxml/word/FindDriver.h"
#include "ooxml/word/Matcher.h"
#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;
using ooxml::word::Matcher;

namespace {

std::optional<ooxml::word::Hit> first(std::u16string_view text, std::u16string_view pattern, bool matchCase = false,
                                      bool wholeWord = false) {
  return Matcher(pattern, matchCase, wholeWord).search(text, 0, text.size());
}

struct Sel {
  int start, end;
  bool operator==(const Sel&) const = default;
};
Sel where(Ole sel) { return {sel.get("Start").toInt(), sel.get("End").toInt()}; }

}  // namespace

TEST(Matcher, CaseWholeWordAndUnicodeCase) {
  EXPECT_EQ(first(u"a Straße STRASSE", u"straße")->start, 2u);
  EXPECT_FALSE(first(u"a Straße", u"straße", true));
  EXPECT_EQ(first(u"ÄRGER ärger", u"ärger", true)->start, 6u);
  EXPECT_EQ(first(u"ΣΟΦΙΑ", u"σοφια")->start, 0u);
  EXPECT_EQ(first(u"cat catalog cat.", u"cat", false, true)->start, 0u);
  auto m = Matcher(u"cat", false, true);
  std::u16string t = u"catalog bobcat cat2 cat";
  EXPECT_EQ(m.search(t, 1, t.size())->start, 20u);
  // A find text holding punctuation is tested at its own ends, the same way.
  EXPECT_EQ(first(u"xa.b a.b", u"a.b", false, true)->start, 5u);
}

TEST(Matcher, CaretCodes) {
  EXPECT_EQ(first(u"one\rtwo", u"e^pt")->start, 2u);
  EXPECT_EQ(first(u"a\tb\x0b" u"c\x0e" u"d\x0c" u"e", u"^tb^lc^nd^me")->start, 1u);
  EXPECT_EQ(first(u"x\xA0y\x1e" u"z\x1f" u"w", u"x^sy^~z^-w")->start, 0u);
  EXPECT_EQ(first(u"ab12 x9", u"^$^#")->start, 1u);
  EXPECT_EQ(first(u"a12b", u"^?^#^#^$")->start, 0u);
  auto ws = first(u"a \t\xA0 b", u"a^wb");
  ASSERT_TRUE(ws);
  EXPECT_EQ(ws->end, 6u);
  EXPECT_EQ(first(u"2^3", u"2^^3")->start, 0u);
  EXPECT_EQ(first(u"xAy", u"x^65y")->start, 0u);
  EXPECT_EQ(first(u"x\u20ACy", u"x^0128y")->start, 0u);
  EXPECT_EQ(first(u"a\u2013b\u2014c", u"a^=b^+c")->start, 0u);
  EXPECT_THROW(Matcher(u"^y", false, false), automation::AutomationError);
  EXPECT_THROW(Matcher(u"abc^", false, false), automation::AutomationError);
  EXPECT_THROW(Matcher(u"^999", false, false), automation::AutomationError);
}

TEST(Matcher, CodesForSignsAndNoWidthBreaksAreFound) {
  EXPECT_EQ(first(u"art. \u00a7 5 \u00b6 2", u"^% 5 ^v")->start, 5u);
  EXPECT_EQ(first(u"ab\u200cc\u200dd", u"b^xc^zd")->start, 1u);
}

TEST(FindExecute, SearchesInsideTheSelectionThenAfterItThenWraps) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("python-docx.docx"));
  Ole sel = selectionOf(doc);
  // "o" in "Hello World": a selection over "Hello" is searched inside first.
  sel.put("Start", 0);
  sel.put("End", 5);
  ASSERT_TRUE(find(sel, u"o"));
  EXPECT_EQ(where(sel), (Sel{4, 5}));
  // Selected by the previous find: the search goes on after it.
  ASSERT_TRUE(find(sel, u"o"));
  EXPECT_EQ(where(sel), (Sel{7, 8}));
  // Without wrap the end of the story ends the search and the selection stays.
  ASSERT_TRUE(find(sel, u"after the"));
  Sel last = where(sel);
  EXPECT_FALSE(find(sel, u"hello", false, false, 0));
  EXPECT_EQ(where(sel), last);
  // With wrap it starts again at the top.
  ASSERT_TRUE(find(sel, u"hello"));
  EXPECT_EQ(where(sel), (Sel{0, 5}));
  EXPECT_FALSE(find(sel, u"no such text"));
  EXPECT_EQ(where(sel), (Sel{0, 5}));
}

TEST(FindDriver, AWholeWordAtASelectionsEndIsJudgedByTheCharacterAfterIt) {
  auto doc = ooxml::xml::Document::parse(
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
      "<w:p><w:r><w:t>catalog cat</w:t></w:r></w:p></w:body></w:document>");
  ooxml::word::Story story(doc->documentElement().child("w:body"));
  // The selection covers the "cat" of "catalog": searched inside first, it holds no whole word.
  ooxml::word::SelectionState sel{0, 3, {}};
  ASSERT_TRUE(ooxml::word::findNext(story, sel, Matcher(u"cat", false, true), ooxml::word::Wrap::Continue));
  EXPECT_EQ(8u, sel.start);
  EXPECT_EQ(11u, sel.end);
  // Without whole word the selection's own text is the hit.
  ooxml::word::SelectionState plain{0, 3, {}};
  ASSERT_TRUE(ooxml::word::findNext(story, plain, Matcher(u"cat", false, false), ooxml::word::Wrap::Continue));
  EXPECT_EQ(0u, plain.start);
}

TEST(FindExecute, TextSpreadOverRunsHyperlinksFieldsAndControlsIsFound) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("structures.docx"));
  Ole sel = selectionOf(doc);
  for (const char16_t* text : {u"Visit Example Site today", u"Year 2024 page 7", u"Kept inserted end", u"Control Paris",
                               u"beta^pgamma"}) {
    selectAll(doc);
    EXPECT_TRUE(find(sel, text)) << platform::wideToUtf8(text);
  }
  selectAll(doc);
  EXPECT_FALSE(find(sel, u"gone"));  // deleted text is not searched
  EXPECT_FALSE(find(sel, u"DATE"));  // nor is a field code
  EXPECT_FALSE(find(sel, u"Fallback"));  // nor the fallback of AlternateContent
  EXPECT_TRUE(find(sel, u"^?^w^#"));
}

TEST(FindExecute, OptionsThisWordDoesNotOfferRaise) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("structures.docx"));
  Ole f = selectionOf(doc).get("Find");
  EXPECT_THROW(f.call("Execute", u"a", false, false, false, true, false, true, 1, false, u"", 0), automation::AutomationError);
  EXPECT_THROW(f.call("Execute", u"a", false, false, false, false, false, true, 1, false, u"b", 2), automation::AutomationError);
}
