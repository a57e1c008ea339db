#include <gtest/gtest.h>

#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {

constexpr int kUndefined = 9999999, kAuto = -16777216;

struct Doc {
  Ole word{ooxml::createWordApplication()};
  Ole doc;
  std::u16string text;
  explicit Doc(const std::string& path) : doc(open(word, path)), text(storyText(doc)) {}
  // The selection over the nth occurrence of s.
  Ole select(const std::u16string& s, size_t nth = 0) {
    size_t at = text.find(s);
    while (nth-- > 0) at = text.find(s, at + 1);
    EXPECT_NE(at, std::u16string::npos);
    Ole sel = selectionOf(doc);
    sel.put("Start", 0);
    sel.put("End", static_cast<int>(at + s.size()));
    sel.put("Start", static_cast<int>(at));
    return sel;
  }
  Ole font(const std::u16string& s) { return select(s).get("Font"); }
};

}  // namespace

TEST(RangeFont, ReadsDirectFormattingOfEachAttribute) {
  Doc d(fixturePath("formatting.docx"));
  EXPECT_EQ(d.font(u"bold").get("Bold").toInt(), -1);
  EXPECT_EQ(d.font(u"plain").get("Bold").toInt(), 0);
  EXPECT_EQ(d.font(u"italic").get("Italic").toInt(), -1);
  EXPECT_EQ(d.font(u"under").get("Underline").toInt(), 1);
  EXPECT_EQ(d.font(u"double").get("Underline").toInt(), 3);
  EXPECT_EQ(d.font(u"big").get("Size").toDouble(), 16.0);
  EXPECT_EQ(d.font(u"arial").get("Name").toString(), u"Arial");
  EXPECT_EQ(d.font(u"red").get("Color").toInt(), 0x0000FF);  // 0x00BBGGRR
  EXPECT_EQ(d.font(u"plain").get("Color").toInt(), kAuto);
  EXPECT_EQ(d.select(u"marked").get("Range").get("HighlightColorIndex").toInt(), 7);
  EXPECT_EQ(d.select(u"plain").get("Range").get("HighlightColorIndex").toInt(), 0);
  EXPECT_EQ(d.font(u"shaded").get("Shading").get("BackgroundPatternColor").toInt(), 0x00FF00);
  EXPECT_EQ(d.font(u"plain").get("Shading").get("BackgroundPatternColor").toInt(), kAuto);
}

TEST(RangeFont, ResolvesStylesThemeFontsAndDefaults) {
  Doc d(fixturePath("formatting.docx"));
  // Plain text: the document defaults (11 pt, the theme's body font, which this theme makes Cambria).
  Ole plain = d.font(u"plain");
  EXPECT_EQ(plain.get("Size").toDouble(), 11.0);
  EXPECT_EQ(plain.get("Name").toString(), u"Cambria");
  // The paragraph style's chain: bold, 14 pt, the heading font, its colour.
  Ole heading = d.font(u"Heading text");
  EXPECT_EQ(heading.get("Bold").toInt(), -1);
  EXPECT_EQ(heading.get("Size").toDouble(), 14.0);
  EXPECT_EQ(heading.get("Name").toString(), u"Calibri");
  EXPECT_EQ(heading.get("Color").toInt(), 0x915F36);
  // A character style, and direct formatting over it.
  EXPECT_EQ(d.font(u"strong").get("Bold").toInt(), -1);
  EXPECT_EQ(d.font(u"not").get("Bold").toInt(), 0);
  // A chain through basedOn, and styles based on each other in a loop.
  Ole derived = d.font(u"Derived style");
  EXPECT_EQ(derived.get("Bold").toInt(), -1);
  EXPECT_EQ(derived.get("Italic").toInt(), -1);
  EXPECT_EQ(derived.get("Size").toDouble(), 9.0);
  EXPECT_EQ(d.font(u"Looping style").get("Underline").toInt(), 1);
  // A document without styles: Word's own defaults.
  Doc bare(fixturePath("structures.docx"));
  Ole f = bare.select(bare.text.substr(0, 3)).get("Font");
  EXPECT_EQ(f.get("Size").toDouble(), 10.0);
  EXPECT_EQ(f.get("Name").toString(), u"Times New Roman");
}

TEST(RangeFont, MixedFormattingReadsUndefined) {
  Doc d(fixturePath("formatting.docx"));
  Ole f = d.font(u"plain bold italic under double big arial red marked shaded");
  for (const char* member : {"Bold", "Italic", "Underline", "Size", "Color"})
    EXPECT_EQ(f.get(member).toInt(), kUndefined) << member;
  EXPECT_EQ(f.get("Name").toString(), u"");
  EXPECT_EQ(f.get("Shading").get("BackgroundPatternColor").toInt(), kUndefined);
  EXPECT_EQ(d.select(u"marked shaded").get("Range").get("HighlightColorIndex").toInt(), kUndefined);
  // A collapsed selection reads the character before it.
  Ole sel = d.select(u"bold");
  sel.put("Start", sel.get("End").toInt());
  EXPECT_EQ(sel.get("Font").get("Bold").toInt(), -1);
}

TEST(RangeFont, WritesEachAttributeSplittingRunsAtTheSelectionEnds) {
  std::string path = copyOf("formatting.docx", "format-applied.docx");
  {
    Doc d(path);
    // Inside one run "plain ": "lai" only.
    Ole sel = d.select(u"lai");
    Ole f = sel.get("Font");
    f.put("Bold", -1);
    f.put("Italic", -1);
    f.put("Size", 13.5);
    f.put("Name", u"Courier New");
    f.put("Color", 0x00FF0000);  // blue
    f.put("Underline", 3);
    sel.get("Range").put("HighlightColorIndex", 0);
    f.get("Shading").put("BackgroundPatternColor", 0x0000FFFF);  // yellow
    Ole again = d.font(u"lai");
    EXPECT_EQ(again.get("Bold").toInt(), -1);
    EXPECT_EQ(again.get("Size").toDouble(), 13.5);
    EXPECT_EQ(again.get("Name").toString(), u"Courier New");
    EXPECT_EQ(d.font(u"p").get("Bold").toInt(), 0);  // the characters around keep theirs
    EXPECT_EQ(d.font(u"n ").get("Italic").toInt(), 0);
    // Over mixed runs, one value for all; highlight removed; shading turned off again.
    Ole mixed = d.select(u"red marked shaded");
    mixed.get("Range").put("HighlightColorIndex", 0);
    mixed.get("Font").put("Bold", 0);
    d.select(u"shaded").get("Font").get("Shading").put("BackgroundPatternColor", kAuto);
    d.select(u"Heading").get("Font").put("Bold", 0);  // off against the style's bold
    d.select(u"end").get("Range").put("HighlightColorIndex", 4);
    d.select(u"red").get("Font").put("Color", kAuto);
    EXPECT_EQ(d.select(u"red marked shaded").get("Range").get("HighlightColorIndex").toInt(), 0);
    EXPECT_EQ(d.font(u"Heading text").get("Bold").toInt(), kUndefined);
    // Values Word refuses raise and change nothing.
    EXPECT_THROW(f.put("Size", 0.5), automation::AutomationError);
    EXPECT_THROW(f.put("Underline", 5), automation::AutomationError);
    EXPECT_THROW(f.put("Color", 0x01000000), automation::AutomationError);
    EXPECT_THROW(f.put("Name", u""), automation::AutomationError);
    EXPECT_THROW(sel.get("Range").put("HighlightColorIndex", 17), automation::AutomationError);
    EXPECT_EQ(storyText(d.doc), d.text);
    d.doc.call("Save");
  }
  // Read back by this engine after saving; python-docx checks the same file (check_formatting.py).
  Doc back(path);
  Ole f = back.font(u"lai");
  EXPECT_EQ(f.get("Italic").toInt(), -1);
  EXPECT_EQ(f.get("Color").toInt(), 0x00FF0000);
  EXPECT_EQ(f.get("Underline").toInt(), 3);
  EXPECT_EQ(f.get("Shading").get("BackgroundPatternColor").toInt(), 0x0000FFFF);
  EXPECT_EQ(back.select(u"end").get("Range").get("HighlightColorIndex").toInt(), 4);
}

TEST(RangeFont, TextAssignedThenFormattedAsThePlugInDoes) {
  std::string path = copyOf("formatting.docx", "format-replaced.docx");
  Doc d(path);
  Ole sel = d.select(u"bold");
  sel.put("Text", u"heavy text");
  sel.get("Range").put("HighlightColorIndex", 0);
  sel.get("Font").get("Shading").put("BackgroundPatternColor", 0x00FFFFFF);
  sel.get("Font").put("Underline", 1);
  EXPECT_EQ(sel.get("Font").get("Bold").toInt(), -1);  // the replaced text's own formatting stays
  EXPECT_EQ(sel.get("Font").get("Underline").toInt(), 1);
  EXPECT_EQ(d.font(u"plain").get("Underline").toInt(), 0);
  d.doc.call("Save");
}

TEST(WordOptions, DefaultHighlightColorIndexIsKeptPerApplication) {
  Ole a(ooxml::createWordApplication()), b(ooxml::createWordApplication());
  EXPECT_EQ(a.get("Options").get("DefaultHighlightColorIndex").toInt(), 7);
  a.get("Options").put("DefaultHighlightColorIndex", 0);
  EXPECT_EQ(a.get("Options").get("DefaultHighlightColorIndex").toInt(), 0);
  EXPECT_EQ(b.get("Options").get("DefaultHighlightColorIndex").toInt(), 7);
}
