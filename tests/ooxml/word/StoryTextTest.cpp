#include <gtest/gtest.h>

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
