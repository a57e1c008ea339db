// The engine's Word wrapper applying table rows to real documents through our own Word, in
// process, as the plug-in would through Word itself. check_engine_real_word.py reads the saved
// files again with python-docx.
#include <gtest/gtest.h>

#include <string>

#include "engine/SearchControlWord.h"
#include "engine/TWordObject.h"
#include "ooxml/package/Package.h"
#include "ooxml/word/WordApplication.h"
#include "platform/Files.h"

namespace {

std::string outputCopy(const std::string& fixture, const std::string& as) {
  std::string folder = std::string(TAVIMO_BINARY_DIR) + "/engine-real-word";
  platform::fileSystem().createFolder(folder);
  std::string target = platform::joinPath(folder, as);
  platform::writeFileAtomically(
      target, platform::readFile(std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/docx/" + fixture, 1 << 22));
  return target;
}

std::string part(const std::string& path, const std::string& name) { return ooxml::Package::open(path)->partBytes(name); }

size_t occurrences(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class EngineOverOurWord : public ::testing::Test {
 protected:
  void SetUp() override {
    ooxml::registerWordInProcess();
    word = std::make_unique<TWordObject>(nullptr);
    ASSERT_TRUE(word->WordRunning());
  }

  // One row over the whole document, saved in place.
  int32_t applyRow(const std::string& path, const WideString& find, const WideString& replacement, int32_t controlWord) {
    word->OpenDocument(platform::ansiToWide(path));
    EXPECT_FALSE(word->IsProtected());
    word->ReplaceRow(find, replacement, controlWord, nullptr, nullptr);
    int32_t count = word->ReplacementCount();
    word->SaveDocument(u"");
    word->CloseDocument();
    return count;
  }

  std::unique_ptr<TWordObject> word;
};

}  // namespace

TEST_F(EngineOverOurWord, EveryHeaderAndFooterChangesOnceAcrossLinkedSections) {
  std::string path = outputCopy("sections-python-docx.docx", "sections.docx");
  // Two body paragraphs and six headers and footers; the second section shows the first's by link.
  EXPECT_EQ(applyRow(path, u"head", u"[head]", scwWholeWord), 8);
  EXPECT_EQ(word->WordVersion(), 16);
  EXPECT_EQ(occurrences(part(path, "word/document.xml"), "[head]"), 2u);
}

TEST_F(EngineOverOurWord, EveryStoryOfADocumentChangesOnce) {
  std::string path = outputCopy("stories.docx", "stories.docx");
  // Whole words: main text 3, headers and footers 7, notes 2, text boxes 2; hyperlink addresses
  // (any case, any part of a word) 3; the six properties 6.
  EXPECT_EQ(applyRow(path, u"head", u"[head]", scwWholeWord), 23);
  std::string main = part(path, "word/document.xml");
  EXPECT_EQ(occurrences(main, "Box [head] one"), 2u);  // the text box and its VML copy
  EXPECT_EQ(occurrences(main, "[[head]]"), 0u);
  for (int i = 1; i <= 7; ++i) {
    std::string name = i <= 3 ? "word/header" + std::to_string(i) + ".xml" : "word/footer" + std::to_string(i) + ".xml";
    EXPECT_EQ(occurrences(part(path, name), "[head]"), 1u) << name;
  }
}

TEST_F(EngineOverOurWord, TableOfContentsKeepsItsLinksAndAnExternalAddressChanges) {
  std::string path = outputCopy("toc.docx", "toc.docx");
  // "Chapter head A" twice, "Chapter head B" twice, "The head text", "the head site"; the address.
  EXPECT_EQ(applyRow(path, u"head", u"[head]", 0), 7);
  std::string main = part(path, "word/document.xml");
  EXPECT_NE(main.find("w:anchor=\"_Toc100\""), std::string::npos);
  EXPECT_NE(main.find("HYPERLINK \\l \"_Toc200\""), std::string::npos) << main;
  EXPECT_NE(part(path, "word/_rels/document.xml.rels").find("Target=\"http://example.com/[head].htm\""), std::string::npos);
}
