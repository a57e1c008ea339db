#include <gtest/gtest.h>

#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {

constexpr int kUndefined = 9999999;

struct FormatFind : ::testing::Test {
  Ole word{ooxml::createWordApplication()};
  Ole doc;
  Ole sel;
  std::u16string text;
  void load(const std::string& path) {
    doc = open(word, path);
    sel = selectionOf(doc);
    text = storyText(doc);
    home();
  }
  void SetUp() override { load(fixturePath("formatting.docx")); }
  void home() {
    sel.put("Start", 0);
    sel.put("End", 0);
  }
  Ole font() { return sel.get("Find").get("Font"); }
  // Execute as the plug-in calls it, Format true.
  bool execute(const std::u16string& what, int wrap = 0) {
    return sel.get("Find").call("Execute", what, false, false, false, false, false, true, wrap, true, u"", 0).toBool();
  }
  std::u16string selected() { return sel.get("Text").toString(); }
  int at(const std::u16string& s) { return static_cast<int>(text.find(s)); }
};

}  // namespace

TEST_F(FormatFind, EachRequirementAloneFindsTheTextCarryingIt) {
  struct Case {
    const char* member;
    Variant value;
    std::u16string hit;
  } cases[] = {
      {"Italic", Variant(-1), u"italic"},       {"Underline", Variant(1), u"under"},
      {"Underline", Variant(3), u"double"},     {"Size", Variant(16.0), u"big"},
      {"Name", Variant(u"ARIAL"), u"arial"},    {"Color", Variant(0x0000FF), u"red"},
      {"Bold", Variant(-1), u"bold"},
  };
  for (const Case& c : cases) {
    sel.get("Find").call("ClearFormatting");
    font().put(c.member, c.value);
    home();
    ASSERT_TRUE(execute(u"")) << c.member;
    EXPECT_EQ(selected(), c.hit) << c.member;
    EXPECT_EQ(sel.get("Start").toInt(), at(c.hit)) << c.member;
  }
  sel.get("Find").call("ClearFormatting");
  font().get("Shading").put("BackgroundPatternColor", 0x00FF00);
  home();
  ASSERT_TRUE(execute(u""));
  EXPECT_EQ(selected(), u"shaded");
}

TEST_F(FormatFind, FormattingOnlyHitsAreTheLongestStretchesInOrder) {
  font().put("Bold", -1);
  std::vector<std::u16string> hits;
  while (execute(u"")) hits.push_back(selected());
  // Bold from a paragraph style and a character style counts; a stretch runs over runs and
  // stops at a paragraph mark.
  EXPECT_EQ(hits, (std::vector<std::u16string>{u"bold", u"Heading text", u"strong", u"aaa", u"one two", u"Derived style"}));
  font().put("Italic", -1);
  home();
  ASSERT_TRUE(execute(u""));
  EXPECT_EQ(selected(), u"two");
}

TEST_F(FormatFind, TextHitsMustCarryTheRequirementsOverAllCharacters) {
  font().put("Bold", -1);
  ASSERT_TRUE(execute(u"aaa"));
  EXPECT_EQ(sel.get("Start").toInt(), at(u"aaa then"));
  // A hit partly bold is refused.
  home();
  EXPECT_FALSE(execute(u"then one"));
  // Format false: the requirements do not count.
  home();
  ASSERT_TRUE(sel.get("Find").call("Execute", u"aaa", false, false, false, false, false, true, 0, false, u"", 0).toBool());
  EXPECT_EQ(sel.get("Start").toInt(), at(u"aaa"));
  // Bold 0 asks for text that is not bold.
  font().put("Bold", 0);
  home();
  EXPECT_FALSE(execute(u"strong", 1)) << "the only one is bold";
  ASSERT_TRUE(execute(u"aaa", 1));
  EXPECT_EQ(sel.get("Start").toInt(), at(u"aaa"));
}

TEST_F(FormatFind, ClearFormattingClearsEveryRequirement) {
  Ole f = font();
  EXPECT_EQ(f.get("Bold").toInt(), kUndefined);
  EXPECT_EQ(f.get("Name").toString(), u"");
  f.put("Bold", -1);
  f.put("Size", 16.0);
  f.put("Name", u"Arial");
  f.get("Shading").put("BackgroundPatternColor", 0xFFFFFF);
  EXPECT_EQ(f.get("Bold").toInt(), -1);
  EXPECT_EQ(f.get("Size").toDouble(), 16.0);
  EXPECT_FALSE(execute(u""));  // nothing carries all four
  // The requirements belong to the document's Find, whichever Find object set them.
  EXPECT_EQ(selectionOf(doc).get("Find").get("Font").get("Name").toString(), u"Arial");
  sel.get("Find").call("ClearFormatting");
  EXPECT_EQ(f.get("Bold").toInt(), kUndefined);
  EXPECT_EQ(f.get("Shading").get("BackgroundPatternColor").toInt(), kUndefined);
  EXPECT_FALSE(execute(u""));  // Format true with nothing required and nothing to find
  ASSERT_TRUE(execute(u"aaa"));
  EXPECT_EQ(sel.get("Start").toInt(), at(u"aaa"));
  EXPECT_THROW(f.put("Underline", 5), automation::AutomationError);
  EXPECT_THROW(f.put("Size", 2000.0), automation::AutomationError);
}

TEST_F(FormatFind, ThePlugInsLoopReplacesOnlyFormattedHits) {
  load(copyOf("formatting.docx", "format-find-replaced.docx"));
  auto replaceFormatted = [&](const std::u16string& what, const std::u16string& with) {
    home();
    int count = 0;
    for (int guard = 0; guard < 10; ++guard) {
      Ole find = sel.get("Find");
      find.call("ClearFormatting");
      find.get("Replacement").call("ClearFormatting");
      find.get("Font").put("Bold", -1);
      if (!execute(what, 1)) break;
      sel.put("Text", with);
      ++count;
    }
    return count;
  };
  EXPECT_EQ(replaceFormatted(u"aaa", u"BBB"), 1);
  EXPECT_EQ(replaceFormatted(u"one two", u"X"), 1);
  doc.call("Save");
}

TEST_F(FormatFind, MarksAloneNeverMeetARequirement) {
  // Taken as met, a bold "^p" row joined every paragraph of the document.
  font().put("Bold", -1);
  EXPECT_FALSE(execute(u"^p", 1));
}
