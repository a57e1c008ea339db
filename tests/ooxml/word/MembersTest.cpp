#include <gtest/gtest.h>

#include "automation/AutomationFactory.h"
#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

TEST(WordMembers, ApplicationDocumentsAndClose) {
  Ole word(ooxml::createWordApplication());
  word.put("DisplayAlerts", 0);
  word.put("Visible", false);
  EXPECT_EQ(word.get("Version").toString(), u"16.0");
  Ole options = word.get("Options");
  options.put("DefaultHighlightColorIndex", 0);
  EXPECT_EQ(options.get("DefaultHighlightColorIndex").toInt(), 0);
  Ole a = open(word, fixturePath("python-docx.docx"));
  Ole b = open(word, fixturePath("structures.docx"));
  EXPECT_EQ(word.get("Documents").get("Count").toInt(), 2);
  a.put("ShowGrammaticalErrors", false);
  a.put("ShowSpellingErrors", false);
  // Application.Selection is the active (last opened) document's.
  word.get("Selection").put("End", 5);
  EXPECT_EQ(word.get("Selection").get("Text").toString(), u"Visit");
  a.call("Close", 0, Variant(), Variant());
  EXPECT_EQ(word.get("Documents").get("Count").toInt(), 1);
  EXPECT_THROW(a.get("ProtectionType"), automation::AutomationError);
  word.call("Quit", 0, Variant(), Variant());
  EXPECT_EQ(word.get("Documents").get("Count").toInt(), 0);
}

TEST(WordMembers, ProtectionTypeComesFromEnforcedProtection) {
  Ole word(ooxml::createWordApplication());
  EXPECT_EQ(open(word, fixturePath("protected.docm")).get("ProtectionType").toInt(), 3);
  EXPECT_EQ(open(word, fixturePath("unenforced.docx")).get("ProtectionType").toInt(), -1);
  EXPECT_EQ(open(word, fixturePath("python-docx.docx")).get("ProtectionType").toInt(), -1);
}

TEST(WordMembers, DocumentStartAsThePlugInSelectsIt) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("python-docx.docx"));
  doc.get("Paragraphs").call("Item", 1).get("Range").call("Select");
  Ole sel = selectionOf(doc);
  EXPECT_EQ(sel.get("End").toInt(), 27);
  doc.call("Range").call("GoTo", 1, 1);
  sel.put("Start", 30);
  EXPECT_EQ(sel.get("End").toInt(), 30);  // Start beyond End moves End along
  sel.put("End", 10);
  EXPECT_EQ(sel.get("Start").toInt(), 10);
}

TEST(WordMembers, UnknownMembersRaiseNamingThem) {
  Ole word(ooxml::createWordApplication());
  try {
    word.get("Documents").call("Add");
    FAIL();
  } catch (const automation::AutomationError& e) {
    EXPECT_NE(std::string(e.what()).find("Documents.Add"), std::string::npos) << e.what();
  }
  Ole doc = open(word, fixturePath("python-docx.docx"));
  EXPECT_THROW(selectionOf(doc).get("Font").get("Superscript"), automation::AutomationError);
}

TEST(WordMembers, RegisteredInProcessUnderWordsNames) {
  ooxml::registerWordInProcess();
  automation::InProcessFactory& f = automation::inProcessFactory();
  EXPECT_EQ(f.versionedProgId("{000209FF-0000-0000-C000-000000000046}"), "Word.Application.16");
  Ole word(f.create("Word.Application"));
  EXPECT_EQ(word.get("Documents").get("Count").toInt(), 0);
  EXPECT_TRUE(f.create("Word.Application.16") != nullptr);
}

TEST(WordMembers, NamesMatchWhateverTheirCaseAndLength) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("python-docx.docx"));
  Ole sel = selectionOf(doc);
  // One to seven letters, exactly eight, and past eight: each length is folded its own way.
  sel.put("END", 5);
  EXPECT_EQ(sel.get("end").toInt(), 5);
  EXPECT_EQ(sel.get("eNd").toInt(), 5);
  EXPECT_EQ(sel.get("TEXT").toString(), u"Hello");
  EXPECT_EQ(doc.get("SAVED").toBool(), doc.get("saved").toBool());
  EXPECT_EQ(doc.get("PARAGRAPHS").get("COUNT").toInt(), doc.get("Paragraphs").get("Count").toInt());
  EXPECT_EQ(doc.get("FULLNAME").toString(), doc.get("fullName").toString());
  EXPECT_EQ(doc.get("PROTECTIONTYPE").toInt(), -1);
  EXPECT_FALSE(doc.get("SHOWGRAMMATICALERRORS").isObject());
  // Only letters fold: a name one character off is still unknown.
  EXPECT_THROW(sel.get("Ent"), automation::AutomationError);
  EXPECT_THROW(sel.get("Tex["), automation::AutomationError);
  EXPECT_THROW(doc.get(std::string(70, 'A')), automation::AutomationError);
}
