// Hyperlink addresses, floating shapes with their text boxes, and built-in document properties.
#include <gtest/gtest.h>

#include "ooxml/package/Package.h"
#include "ooxml/word/Hyperlinks.h"
#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {

std::string part(const std::string& path, const std::string& name) { return ooxml::Package::open(path)->partBytes(name); }

size_t occurrences(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(Hyperlinks, ElementsAndFieldsInDocumentOrder) {
  Ole word(ooxml::createWordApplication());
  Ole links = open(word, fixturePath("stories.docx")).get("HyperLinks");
  ASSERT_EQ(links.get("count").toInt(), 5);
  const char16_t* addresses[] = {u"http://example.com/head", u"http://example.com/head", u"", u"http://fields.example/a",
                                 u"http://complex.example/head"};
  const char16_t* anchors[] = {u"", u"", u"_Toc1", u"part", u""};
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(links.call("Item", i).get("Address").toString(), addresses[i - 1]) << i;
    EXPECT_EQ(links.call("Item", i).get("SubAddress").toString(), anchors[i - 1]) << i;
  }
  // A table of contents: anchored entries and a HYPERLINK \l field count, the TOC field does not.
  Ole toc = open(word, fixturePath("toc.docx")).get("HyperLinks");
  ASSERT_EQ(toc.get("Count").toInt(), 3);
  EXPECT_EQ(toc.call("Item", 1).get("SubAddress").toString(), u"_Toc100");
  EXPECT_EQ(toc.call("Item", 2).get("SubAddress").toString(), u"_Toc200");
  EXPECT_EQ(toc.call("Item", 2).get("Address").toString(), u"");
  EXPECT_EQ(toc.call("Item", 3).get("Address").toString(), u"http://example.com/head.htm");
}

TEST(Hyperlinks, AssignedAddressesGoIntoTheirOwnRelationshipOrTheFieldCode) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("stories.docx", "stories-links.docx");
  Ole doc = open(word, path);
  Ole links = doc.get("HyperLinks");
  links.call("Item", 1).put("Address", u"http://example.com/[head]#top");  // shares its relationship
  links.call("Item", 3).put("SubAddress", u"_Toc9");
  links.call("Item", 4).put("SubAddress", u"");
  links.call("Item", 4).put("Address", u"http://fields.example/b\\\"q");
  links.call("Item", 5).put("Address", u"http://complex.example/[head]");
  links.call("Item", 5).put("SubAddress", u"sec");
  doc.call("Save");
  doc.call("Close", 0);

  links = open(word, path).get("HyperLinks");
  EXPECT_EQ(links.call("Item", 1).get("Address").toString(), u"http://example.com/[head]#top");
  EXPECT_EQ(links.call("Item", 2).get("Address").toString(), u"http://example.com/head");
  EXPECT_EQ(links.call("Item", 3).get("SubAddress").toString(), u"_Toc9");
  EXPECT_EQ(links.call("Item", 4).get("Address").toString(), u"http://fields.example/b\\\"q");
  EXPECT_EQ(links.call("Item", 4).get("SubAddress").toString(), u"");
  EXPECT_EQ(links.call("Item", 5).get("Address").toString(), u"http://complex.example/[head]");
  EXPECT_EQ(links.call("Item", 5).get("SubAddress").toString(), u"sec");
  std::string rels = part(path, "word/_rels/document.xml.rels");
  EXPECT_EQ(occurrences(rels, "relationships/hyperlink\""), 2u) << rels;
  std::string xml = part(path, "word/document.xml");
  EXPECT_NE(xml.find("HYPERLINK &quot;http://fields.example/b\\\\\\&quot;q&quot; "), std::string::npos) << xml;
  EXPECT_NE(xml.find("HYPERLINK \"http://complex.example/[head]\" \\o \"tip\" \\l \"sec\""), std::string::npos) << xml;
}

TEST(Hyperlinks, AnInternalLinkGivenAnAddressGetsARelationshipAndAnEmptyAddressDropsOne) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("toc.docx", "toc-links.docx");
  Ole doc = open(word, path);
  Ole links = doc.get("HyperLinks");
  links.call("Item", 1).put("Address", u"http://new.example/");
  links.call("Item", 3).put("Address", u"");
  links.call("Item", 2).put("Address", u"b.htm");
  doc.call("Save");
  doc.call("Close", 0);
  std::string rels = part(path, "word/_rels/document.xml.rels");
  EXPECT_NE(rels.find("Target=\"http://new.example/\" TargetMode=\"External\""), std::string::npos) << rels;
  EXPECT_EQ(rels.find("head.htm"), std::string::npos) << rels;
  links = open(word, path).get("HyperLinks");
  EXPECT_EQ(links.call("Item", 1).get("Address").toString(), u"http://new.example/");
  EXPECT_EQ(links.call("Item", 1).get("SubAddress").toString(), u"_Toc100");
  EXPECT_EQ(links.call("Item", 2).get("Address").toString(), u"b.htm");
  EXPECT_EQ(links.call("Item", 2).get("SubAddress").toString(), u"_Toc200");
  EXPECT_EQ(links.call("Item", 3).get("Address").toString(), u"");
}

TEST(Hyperlinks, AnAddressAssignedUnchangedChangesNothing) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("stories.docx"));
  Ole links = doc.get("HyperLinks");
  for (int i = 1; i <= 5; ++i) {
    links.call("Item", i).put("Address", links.call("Item", i).get("Address").toString());
    links.call("Item", i).put("SubAddress", links.call("Item", i).get("SubAddress").toString());
  }
  EXPECT_TRUE(doc.get("Saved").toBool());
}

TEST(HyperlinkFieldCode, QuotedAndBareArgumentsAndSwitches) {
  using ooxml::word::HyperlinkFieldCode;
  HyperlinkFieldCode bare(u" HYPERLINK http://a.b/c \\h ");
  EXPECT_TRUE(bare.isHyperlink());
  EXPECT_EQ(bare.address(), u"http://a.b/c");
  EXPECT_EQ(bare.withSubAddress(u"x"), u" HYPERLINK http://a.b/c \\h \\l \"x\" ");
  HyperlinkFieldCode path(u"hyperlink \"C:\\\\Docs\\\\a.doc\" \\t \"_blank\" \\l \"b\"");
  EXPECT_EQ(path.address(), u"C:\\Docs\\a.doc");
  EXPECT_EQ(path.subAddress(), u"b");
  EXPECT_EQ(path.withAddress(u""), u"hyperlink \\t \"_blank\" \\l \"b\"");
  HyperlinkFieldCode anchorOnly(u" HYPERLINK \\l \"_Toc1\" ");
  EXPECT_EQ(anchorOnly.address(), u"");
  EXPECT_EQ(anchorOnly.withAddress(u"x.htm"), u" HYPERLINK \"x.htm\" \\l \"_Toc1\" ");
  EXPECT_FALSE(HyperlinkFieldCode(u" PAGE ").isHyperlink());
  EXPECT_FALSE(HyperlinkFieldCode(u"").isHyperlink());
}

TEST(Shapes, FloatingShapesOfTheMainTextWithTheirTextBoxes) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("stories.docx", "stories-shapes.docx");
  Ole doc = open(word, path);
  Ole shapes = doc.get("Shapes");
  ASSERT_EQ(shapes.get("count").toInt(), 3);  // the text boxes and the anchored picture, not the inline one
  Ole sel = selectionOf(doc);
  shapes.call("Item", 1).call("Select");
  EXPECT_EQ(sel.get("Text").toString(), u"Box head one\r");
  EXPECT_EQ(sel.get("Start").toInt(), 0);
  EXPECT_EQ(replaceAll(doc, u"head", u"[head]"), 1);
  shapes.call("Item", 2).call("Select");
  EXPECT_EQ(sel.get("Text").toString(), u"");
  EXPECT_FALSE(find(sel, u"head"));
  shapes.call("Item", 3).call("Select");
  EXPECT_EQ(sel.get("Text").toString(), u"Vml head two\r");
  EXPECT_EQ(replaceAll(doc, u"head", u"[head]"), 1);
  EXPECT_THROW(shapes.call("Item", 4), automation::AutomationError);
  doc.call("Save");
  doc.call("Close", 0);

  std::string xml = part(path, "word/document.xml");
  EXPECT_EQ(occurrences(xml, "Box [head] one"), 2u) << "the VML fallback follows the text box";
  EXPECT_EQ(occurrences(xml, "Vml [head] two"), 1u);
  doc = open(word, path);
  EXPECT_EQ(storyText(doc).find(u"[head]"), std::u16string::npos);  // the main text is untouched
}

// Formatting cuts the runs that hold field characters, field codes and drawings; the lists of
// hyperlinks and shapes read before it still name the right elements after it.
TEST(Hyperlinks, LinksAndShapesReadBeforeFormattingStillWorkAfterIt) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("stories.docx", "stories-formatted.docx");
  Ole doc = open(word, path);
  Ole links = doc.get("HyperLinks");
  Ole shapes = doc.get("Shapes");
  ASSERT_EQ(links.get("Count").toInt(), 5);
  ASSERT_EQ(shapes.get("Count").toInt(), 3);
  const std::u16string text = storyText(doc);
  Ole sel = selectionOf(doc);
  for (size_t at = 1; at + 3 < text.size(); at += 7) {  // many small ranges: runs cut all over
    sel.put("Start", static_cast<int>(at));
    sel.put("End", static_cast<int>(at + 3));
    sel.get("Font").put("Bold", true);
  }
  EXPECT_EQ(storyText(doc), text);
  ASSERT_EQ(links.get("Count").toInt(), 5);
  EXPECT_EQ(links.call("Item", 4).get("Address").toString(), u"http://fields.example/a");
  links.call("Item", 5).put("Address", u"http://complex.example/after");
  ASSERT_EQ(shapes.get("Count").toInt(), 3);
  shapes.call("Item", 3).call("Select");
  EXPECT_EQ(sel.get("Text").toString(), u"Vml head two\r");
  doc.call("Save");
  doc.call("Close", 0);

  doc = open(word, path);
  EXPECT_EQ(storyText(doc), text);
  EXPECT_EQ(doc.get("HyperLinks").call("Item", 5).get("Address").toString(), u"http://complex.example/after");
  EXPECT_EQ(doc.get("Shapes").get("Count").toInt(), 3);
}

// Lists kept across edits that split and join paragraphs, some of plain runs (the lists stand)
// and some holding links, fields or shapes: each time they read as the saved file reads.
TEST(Hyperlinks, ListsKeptAcrossSplitsAndJoinsMatchTheSavedDocument) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("stories.docx", "stories-split.docx");
  Ole doc = open(word, path);
  auto lists = [](Ole d) {
    std::u16string seen;
    Ole links = d.get("HyperLinks");
    for (int i = 1; i <= links.get("Count").toInt(); ++i)
      seen += links.call("Item", i).get("Address").toString() + u"#" + links.call("Item", i).get("SubAddress").toString() + u"|";
    return seen + u"shapes " + platform::utf8ToWide(std::to_string(d.get("Shapes").get("Count").toInt()));
  };
  const std::pair<std::u16string, std::u16string> edits[] = {
      {u"Second section", u"Second\rsection"},  // a plain paragraph split
      {u"same site", u"same\rsite"},            // inside a hyperlink
      {u"Links", u"Li\rnks"},                   // a paragraph holding hyperlinks
      {u"field\r", u"field "},                  // a field's paragraph joined with the shapes'
      {u"Shapes here", u"Shapes\rhere"},        // among shapes
      {u"Second\rsection", u"Second section"},  // the plain paragraphs joined again
  };
  int round = 0;
  for (const auto& [what, with] : edits) {
    lists(doc);  // read before the edit, so that a kept list is what gets compared
    EXPECT_GE(replaceAll(doc, what, with), 1) << platform::wideToUtf8(what);
    const std::u16string live = lists(doc);
    std::string copy = platform::joinPath(workFolder(), "stories-split-" + std::to_string(++round) + ".docx");
    doc.call("SaveAs", platform::ansiToWide(copy));
    Ole other(ooxml::createWordApplication());  // the copy read afresh, not the document now named so
    Ole saved = open(other, copy);
    EXPECT_EQ(platform::wideToUtf8(live), platform::wideToUtf8(lists(saved))) << "after " << platform::wideToUtf8(what);
    saved.call("Close", 0);
  }
}

TEST(Properties, SixBuiltinPropertiesReadAndAssigned) {
  Ole word(ooxml::createWordApplication());
  std::string path = copyOf("stories.docx", "stories-properties.docx");
  Ole doc = open(word, path);
  auto value = [&](const char* name) { return doc.get("BuiltinDocumentProperties", name).get("Value").toString(); };
  EXPECT_EQ(value("title"), u"Annual head report");
  EXPECT_EQ(value("SUBJECT"), u"Head office");
  EXPECT_EQ(value("Author"), u"Head Writer");
  EXPECT_EQ(value("keywords"), u"head, report");
  EXPECT_EQ(value("manager"), u"Head Manager");
  EXPECT_EQ(doc.get("BuiltinDocumentProperties").call("Item", "Company").get("Value").toString(), u"Head Company");
  EXPECT_THROW(value("Category"), automation::AutomationError);

  doc.get("BuiltinDocumentProperties", "title").put("Value", u"Annual head report");
  EXPECT_TRUE(doc.get("Saved").toBool());
  doc.get("BuiltinDocumentProperties", "title").put("Value", u"Annual [head] report");
  doc.get("BuiltinDocumentProperties", "company").put("Value", u"[Head] Company");
  EXPECT_FALSE(doc.get("Saved").toBool());
  doc.call("Save");
  doc.call("Close", 0);
  EXPECT_NE(part(path, "docProps/core.xml").find("<dc:title>Annual [head] report</dc:title>"), std::string::npos);
  EXPECT_NE(part(path, "docProps/app.xml").find("<Company>[Head] Company</Company>"), std::string::npos);

  // A document without property parts gets them when a value is assigned.
  std::string bare = copyOf("structures.docx", "structures-properties.docx");
  doc = open(word, bare);
  EXPECT_EQ(value("author"), u"");
  doc.get("BuiltinDocumentProperties", "author").put("Value", u"");
  EXPECT_TRUE(doc.get("Saved").toBool());
  doc.get("BuiltinDocumentProperties", "author").put("Value", u"New Author");
  doc.get("BuiltinDocumentProperties", "manager").put("Value", u"New Manager");
  doc.call("Save");
  doc.call("Close", 0);
  doc = open(word, bare);
  EXPECT_EQ(value("Author"), u"New Author");
  EXPECT_EQ(value("Manager"), u"New Manager");
}
