#include <gtest/gtest.h>

#include "automation/Apartment.h"
#include "automation/AutomationFactory.h"
#include "automation/Ole.h"
#include "ooxml/package/Package.h"
#include "platform/Files.h"

using namespace automation;

namespace {

std::string copyFixture(const std::string& name, const std::string& as) {
  std::string target = platform::joinPath(platform::tempFolder(), as);
  platform::writeFileAtomically(target, platform::readFile(std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/docx/" + name, 1 << 22));
  return target;
}

Ole open(Ole word, const std::string& path) {
  return word.get("Documents").call("Open", platform::ansiToWide(path), false, false, false, u"", u"", false, u"", u"", 0);
}

}  // namespace

TEST(WordThroughCom, FoundByWordsProgIdAndClassId) {
  ComApartment apartment;
  EXPECT_EQ(automationFactory().versionedProgId("{000209FF-0000-0000-C000-000000000046}"), "Word.Application.16");
  Ole word(automationFactory().create("Word.Application"));
  word.put("DisplayAlerts", 0);
  EXPECT_EQ(word.get("Version").toString(), u"16.0");
}

TEST(WordThroughCom, OpensFindsReplacesAndSaves) {
  ComApartment apartment;
  std::string path = copyFixture("structures.docx", "tavimo-com-structures.docx");
  {
    Ole word(automationFactory().create("Word.Application"));
    Ole doc = open(word, path);
    EXPECT_EQ(doc.get("ProtectionType").toInt(), -1);
    Ole sel = doc.get("Windows").call("Item", 1).get("Selection");
    sel.put("Start", 0);
    sel.put("End", 0);
    sel.get("Find").call("ClearFormatting");
    sel.get("Find").get("Replacement").call("ClearFormatting");
    ASSERT_TRUE(sel.get("Find").call("Execute", u"example site", false, false, false, false, false, true, 1, false, u"", 0).toBool());
    EXPECT_EQ(sel.get("Text").toString(), u"Example Site");
    sel.put("Text", u"Größe\rnew");
    EXPECT_EQ(sel.get("Text").toString(), u"Größe\rnew");
    EXPECT_FALSE(sel.get("Find").call("Execute", u"nothing", false, false, false, false, false, true, 1, false, u"", 0).toBool());
    doc.call("Save");
    doc.call("Close", 0, Variant(), Variant());
    EXPECT_EQ(word.get("Documents").get("Count").toInt(), 0);
    Ole again = open(word, path);
    std::u16string text = again.call("Range").get("Text").toString();
    EXPECT_EQ(text.substr(0, 26), u"Visit Größe\rnew today.\rYea");
    word.call("Quit", 0, Variant(), Variant());
  }
  platform::fileSystem().remove(path);
}

TEST(WordThroughCom, AFileThatIsNotAWordPackageFailsWithItsReason) {
  ComApartment apartment;
  std::string path = platform::joinPath(platform::tempFolder(), "tavimo-com-legacy.doc");
  platform::writeFileAtomically(path, std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
  Ole word(automationFactory().create("Word.Application"));
  try {
    open(word, path);
    FAIL() << "opened";
  } catch (const AutomationError& e) {
    EXPECT_NE(std::string(e.what()).find("binary"), std::string::npos) << e.what();
  }
  platform::fileSystem().remove(path);
}
