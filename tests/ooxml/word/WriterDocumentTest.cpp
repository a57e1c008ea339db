// A document written by an independent word processor, with its own habits: text boxes as a
// drawing with a legacy copy of the same text, empty runs opening content controls, hyperlinks
// with an anchor as fields, and headers for first, left and right pages.
#include <gtest/gtest.h>

#include "ooxml/package/Package.h"
#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {

size_t occurrences(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(WriterDocument, EveryStoryIsReplacedAndBothCopiesOfTheTextBoxAgree) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("writer-stories.docx");
  Ole doc = open(word, path);
  int count = replaceAll(doc, u"apple", u"pear");
  for (int view : {1, 2, 3, 4, 7, 8}) {
    seek(doc, view);
    count += replaceAll(doc, u"apple", u"pear");
  }
  seek(doc, 0);
  ASSERT_EQ(doc.get("Shapes").get("Count").toInt(), 1);
  doc.get("Shapes").call("Item", 1).call("Select");
  count += replaceAll(doc, u"apple", u"pear");
  EXPECT_EQ(count, 15);
  doc.call("SaveAs", platform::ansiToWide(path));
  doc.call("Close", 0);

  doc = open(word, path);
  EXPECT_EQ(storyText(doc),
            u"pear one, a note\x2 and an end note\x2.\rControl pear control, pear inserted, ref pear one, pear link.\r"
            u"\x1" u"Box pear.\rNested pear\r\a\r\a\r\aCell pear\r\a\r\a\r");
  seek(doc, 2);
  EXPECT_EQ(currentStory(doc), u"First header pear\r");
  seek(doc, 3);
  EXPECT_EQ(currentStory(doc), u"Left header pear\r");
  seek(doc, 7);
  EXPECT_EQ(currentStory(doc), u"\x2\tFootnote pear.\r");
  seek(doc, 0);
  doc.get("Shapes").call("Item", 1).call("Select");
  EXPECT_EQ(currentStory(doc), u"Box pear\r");

  std::string xml = ooxml::Package::open(path)->partBytes("word/document.xml");
  EXPECT_EQ(occurrences(xml, ">Box pear<"), 2u) << "the drawing and its legacy copy";
  EXPECT_EQ(occurrences(xml, "deleted apple"), 1u) << "deleted text is not text";
  EXPECT_EQ(occurrences(xml, "REF mark"), 1u) << "field codes are not text";
}
