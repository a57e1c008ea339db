#include <gtest/gtest.h>

#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {

struct WildcardExecute : ::testing::Test {
  Ole word{ooxml::createWordApplication()};
  Ole doc;
  Ole sel;
  std::u16string text;
  void load(const std::string& path) {
    doc = open(word, path);
    sel = selectionOf(doc);
    text = storyText(doc);
    place(0, 0);
  }
  void SetUp() override { load(fixturePath("formatting.docx")); }
  void place(int start, int end) {
    sel.put("Start", 0);
    sel.put("End", end);
    sel.put("Start", start);
  }
  bool execute(const std::u16string& pattern, bool matchCase = false, bool wholeWord = false, int wrap = 1,
               bool format = false) {
    return sel.get("Find")
        .call("Execute", pattern, matchCase, wholeWord, true, false, false, true, wrap, format, u"", 0)
        .toBool();
  }
  std::u16string selected() { return sel.get("Text").toString(); }
  int at(const std::u16string& s) { return static_cast<int>(text.find(s)); }
};

}  // namespace

TEST_F(WildcardExecute, AHitSelectsTheMatch) {
  ASSERT_TRUE(execute(u"<[0-9]{3}>"));
  EXPECT_EQ(selected(), u"123");
  EXPECT_EQ(sel.get("Start").toInt(), at(u"123"));
  ASSERT_TRUE(execute(u"[0-9]@"));
  EXPECT_EQ(selected(), u"4567");
  ASSERT_TRUE(execute(u"Colour^p"));  // caret codes work here too
  EXPECT_EQ(sel.get("End").toInt(), at(u"Colour") + 7);
}

TEST_F(WildcardExecute, CaseSensitiveWholeWordIgnored) {
  ASSERT_TRUE(execute(u"Colo?r", false));
  EXPECT_EQ(sel.get("Start").toInt(), at(u"Colour"));
  place(0, 0);
  ASSERT_TRUE(execute(u"colo?r", false));
  EXPECT_EQ(selected(), u"colour");
  ASSERT_TRUE(execute(u"colo", false, true));  // "colo" is no whole word; wildcards ignore that
  EXPECT_EQ(selected(), u"colo");
}

TEST_F(WildcardExecute, SearchesInsideTheSelectionFirstThenWrapsOrStops) {
  place(at(u"4567"), at(u" items"));
  sel.put("Text", u"89 10");  // a selection just assigned is searched inside first
  ASSERT_TRUE(execute(u"[0-9]@"));
  EXPECT_EQ(selected(), u"89");
  place(at(u"Colour"), at(u"Colour"));
  EXPECT_FALSE(execute(u"[0-9]@", false, false, 0));
  EXPECT_EQ(sel.get("Start").toInt(), at(u"Colour"));  // no hit leaves the selection
  ASSERT_TRUE(execute(u"[0-9]@", false, false, 1));
  EXPECT_EQ(selected(), u"123");
}

TEST_F(WildcardExecute, WithFormatRequirements) {
  sel.get("Find").get("Font").put("Bold", -1);
  // The "a" of "Heading" is bold by its paragraph style; the first bold word of a's is the second "aaa".
  ASSERT_TRUE(execute(u"a@", true, false, 0, true));
  EXPECT_EQ(sel.get("Start").toInt(), at(u"ading"));
  ASSERT_TRUE(execute(u"<a@>", true, false, 0, true));
  EXPECT_EQ(sel.get("Start").toInt(), at(u"aaa then"));
}

TEST_F(WildcardExecute, MalformedPatternsRaiseNamingTheProblem) {
  for (const char16_t* bad : {u"[z-a]", u"(abc", u"a{2,1}", u"@x", u"[abc"}) {
    try {
      execute(bad);
      ADD_FAILURE() << "no error for a malformed pattern";
    } catch (const automation::AutomationError& e) {
      EXPECT_GT(std::string(e.what()).size(), 10u);
    }
  }
  EXPECT_EQ(sel.get("Start").toInt(), 0);
}

TEST_F(WildcardExecute, ReplacingEveryHitInALoop) {
  load(copyOf("formatting.docx", "wildcard-replaced.docx"));
  int count = 0, lastEnd = -1;
  while (execute(u"[0-9]@", false, false, 0) && count < 10) {
    sel.put("Text", u"#");
    int end = sel.get("End").toInt();
    if (end <= lastEnd) break;
    lastEnd = end;
    // The next search starts after the replacement: the plug-in's loop sees the previous hit.
    sel.put("Start", end);
    ++count;
  }
  EXPECT_EQ(count, 2);
  EXPECT_NE(storyText(doc).find(u"Order # and # items; colour color Colour"), std::u16string::npos);
  doc.call("Save");
}
