// Sections, their headers and footers, the notes, and the views that reach them.
#include <gtest/gtest.h>

#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {

Ole window(Ole doc) { return doc.get("Windows").call("Item", 1); }

void goToSection(Ole word, int i) { word.get("Selection").call("GoTo", 0, 1, i); }

}  // namespace

TEST(Stories, SectionsReadTheirPageSetupAndLinksFromTheDocument) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("stories.docx"));
  Ole sections = doc.get("Sections");
  ASSERT_EQ(sections.get("Count").toInt(), 2);
  for (int i : {1, 2}) {
    Ole setup = sections.call("Item", i).get("PageSetup");
    EXPECT_EQ(setup.get("DifferentFirstPageHeaderFooter").toInt(), -1);
    EXPECT_EQ(setup.get("OddAndEvenPagesHeaderFooter").toInt(), -1);
  }
  EXPECT_EQ(doc.get("PageSetup").get("DifferentFirstPageHeaderFooter").toInt(), -1);
  Ole second = sections.call("Item", 2);
  for (int k : {1, 2, 3}) {
    EXPECT_FALSE(sections.call("Item", 1).get("Headers").call("Item", k).get("LinkToPrevious").toBool()) << k;
    EXPECT_TRUE(second.get("Headers").call("Item", k).get("LinkToPrevious").toBool()) << k;
    EXPECT_TRUE(second.get("Headers").call("Item", k).get("Exists").toBool()) << k;
  }
  EXPECT_FALSE(second.get("Footers").call("Item", 1).get("LinkToPrevious").toBool());
  EXPECT_TRUE(second.get("Footers").call("Item", 2).get("LinkToPrevious").toBool());
  EXPECT_EQ(second.get("Headers").call("Item", 1).get("Range").get("Text").toString(), u"Primary header head\r");
  EXPECT_THROW(sections.call("Item", 3), automation::AutomationError);

  // python-docx's own sections: the second has no header of its own.
  Ole made = open(word, fixturePath("sections-python-docx.docx"));
  EXPECT_EQ(made.get("Sections").get("Count").toInt(), 2);
  EXPECT_TRUE(made.get("Sections").call("Item", 2).get("Footers").call("Item", 1).get("LinkToPrevious").toBool());
  EXPECT_EQ(made.get("PageSetup").get("OddAndEvenPagesHeaderFooter").toInt(), -1);

  // One section without settings: no first page, no even pages, nothing distinct.
  Ole plain = open(word, fixturePath("structures.docx"));
  EXPECT_EQ(plain.get("Sections").get("Count").toInt(), 1);
  EXPECT_EQ(plain.get("PageSetup").get("DifferentFirstPageHeaderFooter").toInt(), 0);
  EXPECT_EQ(plain.get("Sections").call("Item", 1).get("PageSetup").get("OddAndEvenPagesHeaderFooter").toInt(), 0);
  EXPECT_FALSE(plain.get("Sections").call("Item", 1).get("Headers").call("Item", 2).get("Exists").toBool());
}

TEST(Stories, SeekViewOpensEachHeaderAndFooterOfTheSelectionsSection) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("stories.docx"));
  goToSection(word, 1);
  const char16_t* first[] = {u"Primary header head\r", u"First header head\r", u"Even header head\r",
                             u"Primary footer head\r", u"First footer head\r", u"Even footer head\r"};
  for (int v = 1; v <= 6; ++v) {
    seek(doc, v);
    EXPECT_EQ(selectionOf(doc).get("Start").toInt(), 0);
    EXPECT_EQ(window(doc).get("ActivePane").get("View").get("SeekView").toInt(), v);
    EXPECT_EQ(currentStory(doc), first[v - 1]) << v;
  }
  seek(doc, 0);
  EXPECT_EQ(currentStory(doc).substr(0, 13), u"Body head one");

  // Section 2 starts after the paragraph that ends section 1; it links all but its primary footer.
  goToSection(word, 2);
  Ole sel = selectionOf(doc);
  EXPECT_EQ(sel.get("Start").toInt(), sel.get("End").toInt());
  sel.put("End", sel.get("Start").toInt() + 14);
  EXPECT_EQ(sel.get("Text").toString(), u"Second section");
  goToSection(word, 2);
  const char16_t* second[] = {u"Primary header head\r", u"First header head\r", u"Even header head\r",
                              u"Second footer head\r", u"First footer head\r", u"Even footer head\r"};
  for (int v = 1; v <= 6; ++v) {
    seek(doc, v);
    EXPECT_EQ(currentStory(doc), second[v - 1]) << v;
  }
  goToSection(word, 7);  // past the last: the last section
  seek(doc, 4);
  EXPECT_EQ(currentStory(doc), u"Second footer head\r");
}

TEST(Stories, CurrentPageIsTheFirstPageAtASectionsStart) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("stories.docx"));
  goToSection(word, 1);
  seek(doc, 9);
  EXPECT_EQ(currentStory(doc), u"First header head\r");
  seek(doc, 10);  // the footer of the same page
  EXPECT_EQ(currentStory(doc), u"First footer head\r");
  seek(doc, 0);
  selectionOf(doc).put("Start", 5);
  seek(doc, 10);
  EXPECT_EQ(currentStory(doc), u"Primary footer head\r");

  // Without a distinct first page the current page shows the primary ones.
  Ole made = open(word, fixturePath("python-docx.docx"));
  goToSection(word, 1);
  seek(made, 9);
  EXPECT_EQ(currentStory(made), u"");  // python-docx's template has no header
}

TEST(Stories, NotesStoriesHoldEveryUserNoteInOrder) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("stories.docx"));
  EXPECT_EQ(doc.get("FootNotes").get("Count").toInt(), 2);
  EXPECT_EQ(doc.get("EndNotes").get("Count").toInt(), 1);
  seek(doc, 7);
  EXPECT_EQ(currentStory(doc), u"\x02 Foot head one\r\x02 Foot two\r");
  seek(doc, 8);
  EXPECT_EQ(currentStory(doc), u"\x02 End head note\r");
  seek(doc, 0);

  Ole plain = open(word, fixturePath("structures.docx"));
  EXPECT_EQ(plain.get("FootNotes").get("Count").toInt(), 0);
  EXPECT_EQ(plain.get("EndNotes").get("Count").toInt(), 0);
}

TEST(Stories, AKindNoSectionHasIsAnEmptyStoryWhereNothingIsFound) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("structures.docx"));
  for (int v : {1, 2, 6, 7, 8, 9, 10}) {
    seek(doc, v);
    EXPECT_EQ(currentStory(doc), u"") << v;
    EXPECT_FALSE(find(selectionOf(doc), u"Paris")) << v;
  }
  seek(doc, 0);
  EXPECT_TRUE(find(selectionOf(doc), u"Paris"));
}

TEST(Stories, NormalViewRefusesSeekViewAndSplitsANotesPaneInstead) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("stories.docx"));
  Ole view = window(doc).get("View");
  EXPECT_EQ(view.get("Type").toInt(), 3);
  view.put("Type", 1);
  EXPECT_EQ(window(doc).get("ActivePane").get("View").get("Type").toInt(), 1);
  EXPECT_THROW(seek(doc, 1), automation::AutomationError);
  EXPECT_EQ(window(doc).get("Panes").get("Count").toInt(), 1);

  window(doc).get("ActivePane").get("View").put("SplitSpecial", 8);
  EXPECT_EQ(view.get("SplitSpecial").toInt(), 8);
  EXPECT_EQ(window(doc).get("Panes").get("Count").toInt(), 2);
  EXPECT_EQ(currentStory(doc), u"\x02 End head note\r");
  window(doc).get("Panes").call("Item", 2).call("Close");
  EXPECT_EQ(view.get("SplitSpecial").toInt(), 0);
  EXPECT_EQ(currentStory(doc).substr(0, 4), u"Body");
  EXPECT_THROW(window(doc).get("Panes").call("Item", 2), automation::AutomationError);

  // Master view, as the plug-in sets it, shows headers again.
  window(doc).get("ActivePane").get("View").put("Type", 5);
  seek(doc, 1);
  EXPECT_EQ(currentStory(doc), u"Primary header head\r");
  EXPECT_THROW(seek(doc, 11), automation::AutomationError);
}

TEST(Stories, ReplacingInAHeaderOrTheNotesChangesOnlyThatPart) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("stories.docx", "stories-headers.docx");
  Ole doc = open(word, path);
  goToSection(word, 2);
  seek(doc, 1);  // linked: the first section's primary header
  EXPECT_EQ(replaceAll(doc, u"head", u"[head]", false, true), 1);
  seek(doc, 4);
  EXPECT_EQ(replaceAll(doc, u"head", u"[head]", false, true), 1);
  seek(doc, 7);
  EXPECT_EQ(replaceAll(doc, u"head", u"[head]", false, true), 1);
  seek(doc, 0);
  EXPECT_FALSE(doc.get("Saved").toBool());
  doc.call("Save");
  doc.call("Close", 0);
  doc = open(word, path);
  EXPECT_EQ(doc.get("Sections").call("Item", 1).get("Headers").call("Item", 1).get("Range").get("Text").toString(),
            u"Primary header [head]\r");
  EXPECT_EQ(doc.get("Sections").call("Item", 2).get("Footers").call("Item", 1).get("Range").get("Text").toString(),
            u"Second footer [head]\r");
  EXPECT_EQ(doc.get("Sections").call("Item", 1).get("Footers").call("Item", 1).get("Range").get("Text").toString(),
            u"Primary footer head\r");
  EXPECT_EQ(storyText(doc).substr(0, 13), u"Body head one");
}
