#include <gtest/gtest.h>

#include "ooxml/package/Xml.h"
#include "ooxml/word/Story.h"
#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {
const std::u16string kStructures =
    u"Visit Example Site today.\r"
    u"Year 2024 page 7\r"
    u"Kept inserted end\r"
    u"Control Paris\r"
    u"a\x0b" u"b\x0c" u"c\x0e" u"d\te\x1e" u"f\x1f" u"g\x0b\xF061X\r"
    u"alpha\r\a" u"beta\rgamma\r\a\r\a"
    u"Last paragraph\r";
}

TEST(StoryText, ShowsWhatWordsRangeTextShows) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("structures.docx"));
  // Field codes, deleted text and the unchosen AlternateContent branch are not text.
  EXPECT_EQ(storyText(doc), kStructures);
}

TEST(StoryText, ACellEndIsOnePositionShownAsTwoCharacters) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("structures.docx"));
  Ole sel = selectionOf(doc);
  ASSERT_TRUE(find(sel, u"alpha"));
  int alphaEnd = sel.get("End").toInt();
  ASSERT_TRUE(find(sel, u"beta"));
  EXPECT_EQ(sel.get("Start").toInt(), alphaEnd + 1);
  sel.put("Start", alphaEnd);
  sel.put("End", alphaEnd + 1);
  EXPECT_EQ(sel.get("Text").toString(), u"\r\a");
  int total = doc.call("Range").get("End").toInt();
  EXPECT_EQ(static_cast<size_t>(total), kStructures.size() - 3);  // three cell and row ends
}

TEST(StoryText, PythonDocxDocumentReadsAsItsParagraphs) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("python-docx.docx"));
  EXPECT_EQ(storyText(doc),
            u"Hello World and a tab\there\rThe quick brown fox\rjumps over the lazy dog\r"
            u"cell 00\r\acell 01\r\a\r\acell 10\r\acell 11\r\a\r\aAfter the table\r");
  EXPECT_EQ(doc.get("Paragraphs").call("Item", 2).get("Range").get("Text").toString(), u"The quick brown fox\r");
}

// Word wraps a cell's paragraphs in a content control (or custom XML); the last of them still
// ends the cell, so no search or edit runs from one cell into the next.
TEST(StoryText, ACellWhoseContentIsWrappedStillEndsWithItsCellMark) {
  auto doc = ooxml::xml::Document::parse(
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:tbl><w:tr>"
      "<w:tc><w:sdt><w:sdtPr/><w:sdtContent><w:p><w:r><w:t>one</w:t></w:r></w:p></w:sdtContent></w:sdt></w:tc>"
      "<w:tc><w:p><w:r><w:t>two</w:t></w:r></w:p><w:customXml><w:p><w:r><w:t>three</w:t></w:r></w:p></w:customXml></w:tc>"
      "<w:tc><w:sdt><w:sdtContent><w:tbl><w:tr><w:tc><w:p><w:r><w:t>in</w:t></w:r></w:p></w:tc></w:tr></w:tbl></w:sdtContent></w:sdt>"
      "<w:p/></w:tc>"
      "</w:tr></w:tbl><w:p><w:r><w:t>after</w:t></w:r></w:p></w:body></w:document>");
  ooxml::word::Story story(doc->documentElement().child("w:body"));
  EXPECT_EQ(story.text(0, story.length()), u"one\r\atwo\rthree\r\ain\r\a\r\a\r\a\r\aafter\r");

  // A paragraph mark put into the wrapped cell leaves the cell mark on its new last paragraph.
  story.replace(0, 3, u"uno\rdos");
  EXPECT_EQ(story.text(0, story.length()), u"uno\rdos\r\atwo\rthree\r\ain\r\a\r\a\r\a\r\aafter\r");
  EXPECT_EQ(story.searchable(7, 8), u"\a");
}

TEST(StoryText, AParagraphMarkPutInsideASimpleFieldOrAContentControlSplitsThemSoundly) {
  auto doc = ooxml::xml::Document::parse(
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
      "<w:p><w:r><w:t xml:space=\"preserve\">x </w:t></w:r><w:fldSimple w:instr=\" HYPERLINK &quot;http://a&quot; \" w:dirty=\"true\">"
      "<w:fldData>AA==</w:fldData><w:r><w:rPr><w:b/></w:rPr><w:t>link text</w:t></w:r></w:fldSimple><w:r><w:t xml:space=\"preserve\"> y</w:t></w:r></w:p>"
      "<w:p><w:sdt><w:sdtPr><w:id w:val=\"7\"/><w:tag w:val=\"t\"/></w:sdtPr><w:sdtContent><w:r><w:t>my box</w:t></w:r>"
      "</w:sdtContent></w:sdt></w:p></w:body></w:document>");
  ooxml::word::Story story(doc->documentElement().child("w:body"));
  ASSERT_EQ(story.text(0, story.length()), u"x link text y\rmy box\r");

  // The field's code is read once, and its result goes on into the next paragraph.
  story.replace(6, 7, u"\r");
  EXPECT_EQ(story.text(0, story.length()), u"x link\rtext y\rmy box\r");
  const std::string xml = doc->serialize();
  EXPECT_EQ(xml.find("fldSimple"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<w:r><w:rPr><w:b/></w:rPr><w:fldChar w:fldCharType=\"begin\" w:dirty=\"true\"><w:fldData>AA==</w:fldData>"
                     "</w:fldChar></w:r><w:r><w:rPr><w:b/></w:rPr><w:instrText xml:space=\"preserve\"> HYPERLINK \"http://a\" "
                     "</w:instrText></w:r><w:r><w:rPr><w:b/></w:rPr><w:fldChar w:fldCharType=\"separate\"/></w:r>"),
            std::string::npos) << xml;
  EXPECT_NE(xml.find("<w:t xml:space=\"preserve\">text</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:fldChar w:fldCharType=\"end\"/></w:r>"
                     "<w:r><w:t xml:space=\"preserve\"> y</w:t>"),
            std::string::npos) << xml;

  // The part of a content control carried into the new paragraph does not share its id.
  story.replace(16, 17, u"\r");
  EXPECT_EQ(story.text(0, story.length()), u"x link\rtext y\rmy\rbox\r");
  const std::string after = doc->serialize();
  EXPECT_EQ(after.find("w:id"), after.rfind("w:id")) << after;
  EXPECT_NE(after.find("<w:sdtPr><w:tag w:val=\"t\"/></w:sdtPr>"), std::string::npos) << after;
}
