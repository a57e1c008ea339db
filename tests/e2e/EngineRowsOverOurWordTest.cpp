// Single table rows through the engine's Word wrapper and our own Word, in process, on a
// python-docx document: the caret codes, the capital rule, the empty-replacement rule,
// hyperlink addresses and the properties, checked in the saved parts.
#include <gtest/gtest.h>

#include <string>

#include "engine/SearchControlWord.h"
#include "engine/TWordObject.h"
#include "ooxml/package/Package.h"
#include "ooxml/word/WordApplication.h"
#include "platform/Files.h"
#include "settings/TUserParameters.h"

namespace {

class RowsOverOurWord : public ::testing::Test {
 protected:
  void SetUp() override {
    ooxml::registerWordInProcess();
    word = std::make_unique<TWordObject>(nullptr);
    ASSERT_TRUE(word->WordRunning());
    params.SetBoolParameter("LeaveCapitalAsIs", true);
    word->Parameters = &params;
    std::string folder = std::string(TAVIMO_BINARY_DIR) + "/engine-rows";
    platform::fileSystem().createFolder(folder);
    path = platform::joinPath(folder, ::testing::UnitTest::GetInstance()->current_test_info()->name() + std::string(".docx"));
    platform::writeFileAtomically(path, platform::readFile(std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/docx/rows.docx", 1 << 22));
  }

  // Applies one row, saves when something was replaced, and returns the count.
  int32_t row(const WideString& find, const WideString& with, int32_t controlWord) {
    word->OpenDocument(platform::ansiToWide(path));
    word->ReplaceRow(find, with, controlWord, nullptr, nullptr);
    int32_t count = word->ReplacementCount();
    if (count) word->SaveDocument(u"");
    word->CloseDocument();
    return count;
  }
  std::string part(const std::string& name) { return ooxml::Package::open(path)->partBytes(name); }
  std::string body() { return part("word/document.xml"); }

  TUserParameters params;
  std::unique_ptr<TWordObject> word;
  std::string path;
};

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST_F(RowsOverOurWord, FoundTextCodeWrapsEachHitOnce) {
  // Two in the text and one in the title; the replacement holds the find text, yet no hit
  // is replaced twice.
  EXPECT_EQ(row(u"x", u"[^&]", scwCaseSensitive | scwWholeWord), 3);
  EXPECT_NE(body().find("[x] y [x]"), std::string::npos);
  EXPECT_EQ(count(body(), "[[x]]"), 0u);
  EXPECT_NE(part("docProps/core.xml").find("[x] title"), std::string::npos);
}

TEST_F(RowsOverOurWord, ParagraphCodeInTheReplacementStartsANewParagraph) {
  size_t before = count(body(), "<w:p>") + count(body(), "<w:p ");
  EXPECT_EQ(row(u"JOIN", u"a^pb", scwCaseSensitive), 1);
  std::string xml = body();
  EXPECT_EQ(count(xml, "<w:p>") + count(xml, "<w:p "), before + 1);
  size_t a = xml.find(">a<"), b = xml.find(">b<");
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(b, std::string::npos);
  EXPECT_NE(xml.substr(a, b - a).find("</w:p>"), std::string::npos);  // a ends one paragraph, b starts the next
}

TEST_F(RowsOverOurWord, CapitalRuleKeepsTheFoundCapitalUnlessCaseMatters) {
  EXPECT_EQ(row(u"term", u"word", scwWholeWord), 2);
  EXPECT_NE(body().find("Word word terms"), std::string::npos);

  SetUp();  // a fresh copy
  EXPECT_EQ(row(u"term", u"word", scwWholeWord | scwCaseSensitive), 1);
  EXPECT_NE(body().find("Term word terms"), std::string::npos);
}

TEST_F(RowsOverOurWord, EmptyReplacementDeletesOrWithTheIgnoreBitDoesNothing) {
  std::string before = platform::readFile(path, 1 << 22);
  EXPECT_EQ(row(u"remove ", u"", scwSecondCellEmptyIgnore), 0);
  EXPECT_EQ(platform::readFile(path, 1 << 22), before);
  EXPECT_EQ(row(u"remove ", u"", 0), 1);
  EXPECT_NE(body().find(">this word<"), std::string::npos);
}

TEST_F(RowsOverOurWord, AMatchingHyperlinkAddressTakesItsAnchorAlong) {
  EXPECT_EQ(row(u"a.htm", u"c.htm", 0), 1);
  EXPECT_NE(part("word/_rels/document.xml.rels").find("Target=\"c.htm#top\""), std::string::npos);
  EXPECT_EQ(body().find("w:anchor=\"top\""), std::string::npos);
}

TEST_F(RowsOverOurWord, PropertiesChangeOnlyWhenReplacing) {
  word->Mode = TWordObject::kModeSetFormattingOnly;
  EXPECT_EQ(row(u"title", u"name", 0), 0);  // nothing in the text, and properties are left alone
  word->Mode = TWordObject::kModeReplace;
  EXPECT_EQ(row(u"title", u"name", 0), 1);
  EXPECT_NE(part("docProps/core.xml").find("x name"), std::string::npos);
}
