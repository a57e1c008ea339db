// The engine's formatting of found and replacement text (search requirements on Find.Font,
// replacement formatting on the selection, set-formatting-only mode) and wildcard rows, run
// through our own Word in process; the saved parts are read back as raw XML.
#include <gtest/gtest.h>

#include <string>

#include "engine/SearchControlWord.h"
#include "engine/TWordObject.h"
#include "ooxml/package/Package.h"
#include "ooxml/word/WordApplication.h"
#include "platform/Files.h"
#include "tables/TFormating.h"

namespace {

constexpr int32_t kHighlight = 1, kFontColor = 8, kBold = 16, kUnderline = 64;

class EngineFormattingOverOurWord : public ::testing::Test {
 protected:
  void SetUp() override {
    ooxml::registerWordInProcess();
    word = std::make_unique<TWordObject>(nullptr);
    ASSERT_TRUE(word->WordRunning());
  }

  std::string copy(const std::string& as) {
    std::string folder = std::string(TAVIMO_BINARY_DIR) + "/engine-formatting";
    platform::fileSystem().createFolder(folder);
    std::string target = platform::joinPath(folder, as);
    platform::writeFileAtomically(
        target, platform::readFile(std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/docx/formatting.docx", 1 << 22));
    return target;
  }

  int32_t row(const std::string& path, const WideString& find, const WideString& with, int32_t controlWord,
              const TFormating* findRecord, const TFormating* replacementRecord) {
    word->OpenDocument(platform::ansiToWide(path));
    word->ReplaceRow(find, with, controlWord, findRecord, replacementRecord);
    int32_t count = word->ReplacementCount();
    word->SaveDocument(u"");
    word->CloseDocument();
    return count;
  }

  static std::string body(const std::string& path) { return ooxml::Package::open(path)->partBytes("word/document.xml"); }

  std::unique_ptr<TWordObject> word;
};

}  // namespace

TEST_F(EngineFormattingOverOurWord, SearchFormattingPicksTheBoldHitAndTheReplacementIsFormatted) {
  std::string path = copy("search-and-set.docx");
  TFormating findRecord, replacement;
  findRecord.Bold = -1;
  replacement.Underline = 5;            // double accounting: Word's double underline
  replacement.FontColor = 0x000000FF;   // red
  replacement.BackColor = 0x00FFFF00;   // cyan fill as character shading
  word->SearchFormattingSet = kBold;
  word->SetFormattingSet = kHighlight | kFontColor | kUnderline;
  EXPECT_EQ(row(path, u"aaa", u"BBB", 0, &findRecord, &replacement), 1);
  std::string xml = body(path);
  EXPECT_NE(xml.find("aaa </w:t>"), std::string::npos);  // the plain one stays
  size_t at = xml.find(">BBB<");
  ASSERT_NE(at, std::string::npos);
  std::string run = xml.substr(xml.rfind("<w:r>", at), at - xml.rfind("<w:r>", at));
  EXPECT_NE(run.find("<w:b/>"), std::string::npos) << run;
  EXPECT_NE(run.find("<w:color w:val=\"FF0000\"/>"), std::string::npos) << run;
  EXPECT_NE(run.find("<w:u w:val=\"double\"/>"), std::string::npos) << run;
  EXPECT_NE(run.find("w:fill=\"00FFFF\""), std::string::npos) << run;
}

TEST_F(EngineFormattingOverOurWord, WildcardRowsAndSetFormattingOnly) {
  std::string path = copy("wildcards-and-marking.docx");
  EXPECT_EQ(row(path, u"[0-9]@", u"#", scwControlCards, nullptr, nullptr), 2);
  EXPECT_NE(body(path).find("Order # and # items"), std::string::npos);
  // Set-formatting-only: the text stays, each hit is made bold.
  word->Mode = TWordObject::kModeSetFormattingOnly;
  word->SetFormattingSet = kBold;
  TFormating bold;
  bold.Bold = -1;
  EXPECT_EQ(row(path, u"colo?r", u"", scwControlCards, nullptr, &bold), 1);  // case-sensitive: not "Colour"
  std::string xml = body(path);
  EXPECT_NE(xml.find("<w:b/></w:rPr><w:t xml:space=\"preserve\">colour</w:t></w:r><w:r><w:t xml:space=\"preserve\"> color Colour"),
            std::string::npos);
}
