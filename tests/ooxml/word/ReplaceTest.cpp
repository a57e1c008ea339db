#include <gtest/gtest.h>

#include "ooxml/package/Package.h"
#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {

// The saved document's main part, for checks our own reader would not make.
std::string mainXml(const std::string& path) {
  return ooxml::Package::open(path)->partBytes("word/document.xml");
}

Ole reopen(Ole word, Ole doc, const std::string& path) {
  doc.call("SaveAs", platform::ansiToWide(path));
  doc.call("Close", 0);
  return open(word, path);
}

}  // namespace

TEST(Replace, TextSplitOverRunsTakesTheFirstCharactersFormatting) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("python-docx.docx", "replace-runs.docx");
  Ole doc = open(word, path);
  EXPECT_EQ(replaceAll(doc, u"hello world", u"Goodbye Earth"), 1);
  doc = reopen(word, doc, path);
  EXPECT_EQ(doc.get("Paragraphs").call("Item", 1).get("Range").get("Text").toString(), u"Goodbye Earth and a tab\there\r");
  std::string xml = mainXml(path);
  // "Hel" was bold: the new text is one bold run.
  EXPECT_NE(xml.find("<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Goodbye Earth</w:t></w:r>"), std::string::npos) << xml;
}

TEST(Replace, ParagraphMarksInFindAndReplacementSplitAndJoinParagraphs) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("python-docx.docx", "replace-marks.docx");
  Ole doc = open(word, path);
  EXPECT_EQ(replaceAll(doc, u"quick ", u"slow\r"), 1);
  EXPECT_EQ(replaceAll(doc, u"fox^pjumps", u"fox jumps"), 1);
  EXPECT_EQ(replaceAll(doc, u"lazy", u"very\rlazy\rold"), 1);
  doc = reopen(word, doc, path);
  EXPECT_EQ(storyText(doc).substr(0, 80), std::u16string(u"Hello World and a tab\there\rThe slow\rbrown fox jumps over the very\rlazy\rold dog\rcell 00").substr(0, 80));
}

TEST(Replace, SelectionCoversTheNewTextAndFindsInsideItFirst) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("python-docx.docx"));
  Ole sel = selectionOf(doc);
  ASSERT_TRUE(find(sel, u"quick"));
  sel.put("Text", u"[quick]");
  EXPECT_EQ(sel.get("Text").toString(), u"[quick]");
  ASSERT_TRUE(find(sel, u"quick"));  // the hit inside the replacement is reported
  EXPECT_EQ(sel.get("Text").toString(), u"quick");
  EXPECT_EQ(replaceAll(doc, u"o", u"[o]"), 6);
  EXPECT_EQ(doc.get("Paragraphs").call("Item", 1).get("Range").get("Text").toString(), u"Hell[o] W[o]rld and a tab\there\r");
}

TEST(Replace, SpecialCharactersBecomeTheirElements) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("python-docx.docx", "replace-specials.docx");
  Ole doc = open(word, path);
  EXPECT_EQ(replaceAll(doc, u"brown", u"a\tb\x0b" u"c\x0c" u"d\x0e" u"e\x1e" u"f\x1f" u"g\r\nh"), 1);
  doc = reopen(word, doc, path);
  EXPECT_EQ(doc.get("Paragraphs").call("Item", 2).get("Range").get("Text").toString(),
            u"The quick a\tb\x0b" u"c\x0c" u"d\x0e" u"e\x1e" u"f\x1f" u"g\r");
  std::string xml = mainXml(path);
  for (const char* element : {"<w:tab/>", "<w:br/>", "<w:br w:type=\"page\"/>", "<w:br w:type=\"column\"/>", "<w:noBreakHyphen/>",
                              "<w:softHyphen/>"})
    EXPECT_NE(xml.find(element), std::string::npos) << element;
}

TEST(Replace, InsideHyperlinksFieldsControlsAndTables) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("structures.docx", "replace-structures.docx");
  Ole doc = open(word, path);
  EXPECT_EQ(replaceAll(doc, u"Example Site", u"Sample Place"), 1);
  EXPECT_EQ(replaceAll(doc, u"2024", u"2025"), 1);
  EXPECT_EQ(replaceAll(doc, u"Paris", u"Rome"), 1);
  EXPECT_EQ(replaceAll(doc, u"inserted", u"added"), 1);
  EXPECT_EQ(replaceAll(doc, u"beta^pgamma", u"delta"), 1);
  EXPECT_EQ(replaceAll(doc, u"alpha", u"one\rtwo"), 1);
  doc = reopen(word, doc, path);
  EXPECT_EQ(storyText(doc),
            u"Visit Sample Place today.\rYear 2025 page 7\rKept added end\rControl Rome\r"
            u"a\x0b" u"b\x0c" u"c\x0e" u"d\te\x1e" u"f\x1f" u"g\x0b\xF061X\r"
            u"one\rtwo\r\adelta\r\a\r\aLast paragraph\r");
  std::string xml = mainXml(path);
  // The text stays inside its hyperlink, field result, insertion and content control; the
  // field code and the deletion are untouched.
  EXPECT_NE(xml.find("<w:hyperlink r:id=\"rIdH\"><w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Sample Place</w:t></w:r>"),
            std::string::npos) << xml;
  EXPECT_NE(xml.find("DATE \\@ \"yyyy\""), std::string::npos);
  EXPECT_NE(xml.find("<w:delText>gone </w:delText>"), std::string::npos);
  EXPECT_NE(xml.find("<w:ins w:id=\"1\" w:author=\"a\" w:date=\"2024-01-01T00:00:00Z\"><w:r><w:t xml:space=\"preserve\">added </w:t></w:r>"),
            std::string::npos);
}

TEST(Replace, DeletingAcrossAParagraphMarkBeforeATableKeepsTheTable) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("structures.docx"));
  Ole sel = selectionOf(doc);
  ASSERT_TRUE(find(sel, u"X^pal"));
  sel.put("Text", u"");
  EXPECT_NE(storyText(doc).find(u"g\x0b\xF061\rpha\r\a"), std::u16string::npos);
}

TEST(Replace, TextAcrossTableCellsKeepsTheCellsAndRows) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("structures.docx", "replace-cells.docx");
  Ole doc = open(word, path);
  Ole sel = selectionOf(doc);
  ASSERT_TRUE(find(sel, u"pha"));
  int start = sel.get("Start").toInt();
  ASSERT_TRUE(find(sel, u"be"));
  sel.put("Start", start);
  sel.put("Text", u"X\rY");
  EXPECT_EQ(sel.get("Text").toString(), u"X\rY");
  doc = reopen(word, doc, path);
  std::u16string text = storyText(doc);
  EXPECT_NE(text.find(u"\ralX\rY\r\ata\rgamma\r\a\r\aLast"), std::u16string::npos) << platform::wideToUtf8(text);
}

TEST(Replace, InsertedTextTakesTheCharacterBeforeAndDeletionLeavesNoEmptyRuns) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("python-docx.docx", "insert-delete.docx");
  Ole doc = open(word, path);
  Ole sel = selectionOf(doc);
  ASSERT_TRUE(find(sel, u"brown fox"));
  sel.put("Start", sel.get("End").toInt());  // collapsed before the paragraph mark
  sel.put("Text", u" jumps");
  EXPECT_EQ(replaceAll(doc, u"The quick ", u""), 1);
  EXPECT_EQ(replaceAll(doc, u"Hello World", u""), 1);
  doc = reopen(word, doc, path);
  EXPECT_EQ(storyText(doc).substr(0, 32), u" and a tab\there\rbrown fox jumps\r");
  std::string xml = mainXml(path);
  // The inserted text is 14-point like "brown fox" before it; no run is left empty.
  EXPECT_NE(xml.find("<w:r><w:rPr><w:sz w:val=\"28\"/></w:rPr><w:t xml:space=\"preserve\"> jumps</w:t></w:r>"), std::string::npos) << xml;
  EXPECT_EQ(xml.find("<w:t xml:space=\"preserve\"/>"), std::string::npos);
  EXPECT_EQ(xml.find("</w:rPr></w:r>"), std::string::npos);
}

TEST(Replace, TextPutAtTheVeryEndGoesBeforeTheLastParagraphMark) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("python-docx.docx"));
  Ole sel = selectionOf(doc);
  int end = doc.call("Range").get("End").toInt();
  sel.put("Start", end);
  sel.put("Text", u" and more");
  EXPECT_EQ(sel.get("Text").toString(), u" and more");
  EXPECT_EQ(sel.get("End").toInt(), end - 1 + 9);
  std::u16string text = storyText(doc);
  EXPECT_EQ(text.substr(text.size() - 25), u"After the table and more\r");
}

TEST(Save, UntouchedPartsStayByteIdentical) {
  Ole word(ooxml::createWordApplication());
  std::string source = fixturePath("python-docx.docx");
  std::string path = platform::joinPath(workFolder(), "identical.docx");
  Ole doc = open(word, source);
  replaceAll(doc, u"fox", u"cat");
  doc.call("SaveAs", platform::ansiToWide(path));
  ooxml::ZipReader before(platform::readFile(source, 1 << 22)), after(platform::readFile(path, 1 << 22));
  ASSERT_EQ(before.entries().size(), after.entries().size());
  for (size_t i = 0; i < before.entries().size(); ++i) {
    EXPECT_EQ(before.entries()[i].name, after.entries()[i].name);
    if (before.entries()[i].name != "word/document.xml") {
      EXPECT_EQ(before.rawRecord(before.entries()[i]), after.rawRecord(after.entries()[i])) << before.entries()[i].name;
    }
  }
  // The source was only read.
  EXPECT_EQ(platform::readFile(source, 1 << 22), platform::readFile(fixturePath("python-docx.docx"), 1 << 22));
}
