// What our Word keeps between calls (the first paragraph, the settings root, the main part's
// relationship lookups) must follow every change of what it was read from.
#include <gtest/gtest.h>

#include "ooxml/word/Layout.h"
#include "ooxml/word/WordDocument.h"
#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {

std::u16string paragraphText(Ole doc, int index) {
  return doc.get("Paragraphs").call("Item", index).get("Range").get("Text").toString();
}

constexpr const char* kRelationshipsHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
constexpr const char* kSettingsType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";

std::string relationships(const std::string& settingsTarget) {
  return std::string(kRelationshipsHead) + "<Relationship Id=\"rId5\" Type=\"" + kSettingsType + "\" Target=\"" +
         settingsTarget + "\"/></Relationships>";
}

}  // namespace

TEST(KeptAnswers, FirstParagraphFollowsEditsOfTheMainText) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("python-docx.docx"));
  EXPECT_EQ(paragraphText(doc, 1), u"Hello World and a tab\there\r");
  EXPECT_EQ(paragraphText(doc, 1), u"Hello World and a tab\there\r");  // asked again, unchanged

  EXPECT_EQ(replaceAll(doc, u"Hello", u"Hi"), 1);  // shorter
  EXPECT_EQ(paragraphText(doc, 1), u"Hi World and a tab\there\r");
  EXPECT_EQ(replaceAll(doc, u"World", u"W\rorld"), 1);  // a paragraph mark splits it
  EXPECT_EQ(paragraphText(doc, 1), u"Hi W\r");
  EXPECT_EQ(paragraphText(doc, 2), u"orld and a tab\there\r");
  EXPECT_EQ(paragraphText(doc, 1), u"Hi W\r");
}

TEST(KeptAnswers, SettingsAndRelationshipLookupsFollowTheirParts) {
  auto doc = ooxml::word::WordDocument::open(fixturePath("python-docx.docx"));
  ooxml::Package& package = doc->package();
  ASSERT_EQ(doc->partByType("/settings"), "word/settings.xml");
  EXPECT_EQ(doc->relatedPart("rId5"), "word/settings.xml");
  ASSERT_TRUE(doc->settingsRoot());
  EXPECT_FALSE(doc->settingsRoot().child("w:evenAndOddHeaders"));

  // The settings part replaced: its new root is read.
  const std::string settings =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
      "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:evenAndOddHeaders/></w:settings>";
  package.setPartBytes("word/settings.xml", settings);
  EXPECT_TRUE(doc->settingsRoot().child("w:evenAndOddHeaders"));

  // The relationships replaced: the lookups and the settings root follow them.
  package.setPartBytes("word/_rels/document.xml.rels", relationships("other-settings.xml"));
  EXPECT_EQ(doc->partByType("/settings"), "word/other-settings.xml");
  EXPECT_EQ(doc->relatedPart("rId5"), "word/other-settings.xml");
  EXPECT_EQ(doc->relatedPart("rId3"), "");  // the styles relationship is gone
  EXPECT_FALSE(doc->settingsRoot());        // no such part

  // Edited in place rather than replaced: followed too.
  ooxml::xml::Node rel = package.xmlPart("word/_rels/document.xml.rels").documentElement().firstElement();
  rel.setAttribute("Target", "settings.xml");
  package.markChanged("word/_rels/document.xml.rels");
  EXPECT_EQ(doc->relatedPart("rId5"), "word/settings.xml");
  EXPECT_TRUE(doc->settingsRoot().child("w:evenAndOddHeaders"));
}

TEST(KeptAnswers, HeaderStoriesFollowTheRelationshipsThatNameThem) {
  auto doc = ooxml::word::WordDocument::open(fixturePath("sections-python-docx.docx"));
  ooxml::word::DocumentLayout layout(*doc);
  auto header = [&](size_t section, int kind) {
    ooxml::word::Story& s = layout.headerFooter(section, false, kind);
    return s.text(0, s.length());
  };
  ASSERT_EQ(layout.sectionCount(), 2u);
  EXPECT_EQ(header(1, 1).substr(0, 19), u"Primary head header");
  EXPECT_EQ(header(2, 1).substr(0, 19), u"Primary head header");  // the second section takes the first's
  EXPECT_EQ(header(2, 2).substr(0, 22), u"First page head header");

  // The primary header's relationship pointed at another part: both sections follow it.
  ooxml::Package& package = doc->package();
  for (ooxml::xml::Node r = package.xmlPart("word/_rels/document.xml.rels").documentElement().firstElement(); r;
       r = r.nextElement())
    if (r.attribute("Id") == "rId9") r.setAttribute("Target", "header3.xml");
  package.markChanged("word/_rels/document.xml.rels");
  EXPECT_EQ(header(1, 1).substr(0, 21), u"Even page head header");
  EXPECT_EQ(header(2, 1).substr(0, 21), u"Even page head header");
  EXPECT_EQ(header(2, 2).substr(0, 22), u"First page head header");
}
