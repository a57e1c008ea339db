#include <gtest/gtest.h>

#include <set>

#include "ooxml/package/Package.h"
#include "ooxml/package/Zip.h"
#include "platform/FaultyFileSystem.h"
#include "tests/ooxml/word/WordTestSupport.h"

using namespace wordtest;

namespace {

// Writes the bytes as a document, expects Open to fail mentioning `fragment`, and the file
// to be exactly as it was.
void expectOpenFails(const std::string& name, const std::string& bytes, const std::string& fragment) {
  std::string path = platform::joinPath(workFolder(), name);
  ASSERT_TRUE(platform::writeFileAtomically(path, bytes));
  Ole word(ooxml::createWordApplication());
  try {
    open(word, path);
    ADD_FAILURE() << name << " opened";
  } catch (const automation::AutomationError& e) {
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << name << ": " << e.what();
  }
  EXPECT_EQ(word.get("Documents").get("Count").toInt(), 0);
  EXPECT_EQ(platform::readFile(path, 1 << 24), bytes) << name;
}

// The content types and the package's relationship to its main part.
void startPackage(ooxml::ZipWriter& w, const std::string& mainTarget = "word/document.xml") {
  w.add("[Content_Types].xml",
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
  w.add("_rels/.rels",
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"r\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"" +
            mainTarget + "\"/></Relationships>");
}

std::string package(const std::string& documentXml, const std::string& mainTarget = "word/document.xml") {
  ooxml::ZipWriter w;
  startPackage(w, mainTarget);
  if (!documentXml.empty()) w.add("word/document.xml", documentXml);
  return w.finish();
}

const std::string kGoodXml = "<w:document xmlns:w=\"u\"><w:body><w:p><w:r><w:t>x</w:t></w:r></w:p></w:body></w:document>";

}  // namespace

TEST(BadInput, OtherFormatsAndDamagedFilesFailTheOpenCleanly) {
  std::string good = platform::readFile(fixturePath("python-docx.docx"), 1 << 22);
  expectOpenFails("empty.docx", "", "empty");
  expectOpenFails("legacy.doc", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(1000, '\0'), "binary");
  expectOpenFails("letter.rtf", "{\\rtf1\\ansi hello}", "Rich Text");
  expectOpenFails("notes.wps", "plain text", "not a Word document");
  expectOpenFails("truncated.docx", good.substr(0, good.size() / 2), "truncated");
  expectOpenFails("tail-cut.docx", good.substr(0, good.size() - 30), "truncated");
  expectOpenFails("sheet.docx", platform::readFile(fixturePath("not-word.docx"), 1 << 20), "not a Word document");
  expectOpenFails("no-main.docx", package(""), "no main document part");
  expectOpenFails("climbing.docx", package(kGoodXml, "../../word/document.xml"), "climbs out");
  expectOpenFails("malformed.docx", package("<w:document><w:body><w:p></w:body></w:document>"), "Malformed XML");
  expectOpenFails("entities.docx",
                  package("<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]><w:document>&b;</w:document>"),
                  "DOCTYPE");
  expectOpenFails("nobody.docx", package("<w:document xmlns:w=\"u\"/>"), "no body");
  std::string deep = "<w:document xmlns:w=\"u\"><w:body>";
  for (int i = 0; i < 5000; ++i) deep += "<w:sdt>";
  expectOpenFails("deep.docx", package(deep), "nested too deeply");
  // A bomb declares far more than its few bytes hold: 400 MB in every size field.
  ooxml::ZipWriter writer;
  writer.add("[Content_Types].xml", std::string(200000, ' '));
  std::string bomb = writer.finish();
  auto declare = [&](size_t signatureAt, size_t sizeOffset) {
    for (int i = 0; i < 4; ++i) bomb[signatureAt + sizeOffset + i] = static_cast<char>((400u << 20) >> (8 * i));
  };
  declare(0, 22);                              // the local header
  declare(bomb.find("PK\x01\x02"), 24);  // the central record
  expectOpenFails("bomb.docx", bomb, "plausible ratio");
}

TEST(BadInput, AFailedSaveLeavesTheOriginalIntact) {
  std::string path = copyOf("python-docx.docx", "save-fails.docx");
  std::string original = platform::readFile(path, 1 << 22);
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, path);
  replaceAll(doc, u"fox", u"cat");
  for (platform::FileOp op : {platform::FileOp::Open, platform::FileOp::Write, platform::FileOp::Close, platform::FileOp::Rename}) {
    platform::FaultyFileSystem faulty;
    faulty.failAt(op, 1, true);
    platform::ScopedFileSystem scope(faulty);
    EXPECT_THROW(doc.call("Save"), automation::AutomationError);
  }
  EXPECT_EQ(platform::readFile(path, 1 << 22), original);
  size_t files = 0;
  for (auto& e : platform::fileSystem().listFolder(workFolder())) files += e.name.rfind("save-fails.docx", 0) == 0;
  EXPECT_EQ(files, 1u);  // no temporary file left beside it
  EXPECT_THROW(doc.call("SaveAs", u"/no/such/folder/x.docx"), automation::AutomationError);
  doc.call("Save");
  EXPECT_NE(platform::readFile(path, 1 << 22), original);
}

TEST(BadInput, AnAssignmentWithoutAValueIsRefused) {
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, fixturePath("python-docx.docx"));
  const std::u16string title = doc.get("BuiltinDocumentProperties", u"title").get("Value").toString();
  const automation::Args none;
  for (Ole target : {doc, doc.get("BuiltinDocumentProperties", u"title"), selectionOf(doc)}) {
    for (std::string_view member : {"ShowSpellingErrors", "Value", "Text", "Start"}) {
      try {
        target.object()->invoke(member, automation::CallKind::Put, none);
        ADD_FAILURE() << member << " took an assignment without a value";
      } catch (const automation::AutomationError& e) {
        EXPECT_EQ(e.code(), static_cast<int32_t>(0x8002000E)) << member;
      }
    }
  }
  EXPECT_EQ(doc.get("BuiltinDocumentProperties", u"title").get("Value").toString(), title);
  EXPECT_TRUE(doc.get("Saved").toBool());
}

namespace {

const char* kW = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                 "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
const std::string kRelType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// A document of the given body with a header part and these relationships of the main part.
std::string packageWith(const std::string& bodyXml, const std::string& relationships, const std::string& header1 = "",
                        const std::string& header2 = "") {
  ooxml::ZipWriter w;
  startPackage(w);
  w.add("word/document.xml", std::string("<w:document ") + kW + "><w:body>" + bodyXml + "</w:body></w:document>");
  w.add("word/_rels/document.xml.rels",
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + relationships + "</Relationships>");
  if (!header1.empty()) w.add("word/header1.xml", std::string("<w:hdr ") + kW + ">" + header1 + "</w:hdr>");
  if (!header2.empty()) w.add("word/header2.xml", std::string("<w:hdr ") + kW + ">" + header2 + "</w:hdr>");
  return w.finish();
}

std::string paragraph(const std::string& text) { return "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p>"; }

std::string written(const std::string& name, const std::string& bytes) {
  std::string path = platform::joinPath(workFolder(), name);
  EXPECT_TRUE(platform::writeFileAtomically(path, bytes));
  return path;
}

}  // namespace

// Every paragraph kept a copy of the fields open at its start: a field begun in each of a million
// paragraphs and never ended took terabytes.
TEST(BadInput, FieldsNeverEndedAreBoundedAndFieldsThatEndAreNot) {
  const std::string begin = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>";
  std::string unended;
  for (int i = 0; i < 300; ++i) unended += "<w:p>" + begin + "<w:r><w:t>code</w:t></w:r></w:p>";
  expectOpenFails("unended-fields.docx", packageWith(unended + paragraph("x"), ""), "fields are open at once");

  // Thousands of fields that end, and a few left open, read as ever.
  const std::string field = begin + "<w:r><w:instrText>PAGE</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                                    "<w:r><w:t>7</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
  std::string ended;
  for (int i = 0; i < 3000; ++i) ended += "<w:p>" + field + "</w:p>";
  for (int i = 0; i < 10; ++i) ended += "<w:p>" + begin + "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>r</w:t></w:r></w:p>";
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, written("ended-fields.docx", packageWith(ended + paragraph("x"), "")));
  const std::u16string text = storyText(doc);
  EXPECT_EQ(text.substr(0, 4), u"7\r7\r");
  EXPECT_EQ(text.substr(text.size() - 6), u"r\rr\rx\r");
}

// The section a position lies in, and the header a section inherits, were found by walking
// every section before it: a batch visiting each of many sections took their square.
TEST(BadInput, ManySectionsFindTheirOwnOrInheritedHeaders) {
  const int kSections = 3000;
  std::string body;
  for (int i = 1; i < kSections; ++i) {
    std::string refs;
    if (i == 1) refs = "<w:headerReference w:type=\"default\" r:id=\"rFirst\"/>";
    if (i == 2000) refs = "<w:headerReference w:type=\"default\" r:id=\"rLater\"/>";
    body += "<w:p><w:pPr><w:sectPr>" + refs + "</w:sectPr></w:pPr><w:r><w:t>s" + std::to_string(i) + "</w:t></w:r></w:p>";
  }
  body += paragraph("last") + "<w:sectPr/>";
  std::string rels;
  for (int i = 0; i < 5000; ++i)
    rels += "<Relationship Id=\"rMiss" + std::to_string(i) + "\" Type=\"" + kRelType + "header\" Target=\"missing.xml\"/>";
  rels += "<Relationship Id=\"rFirst\" Type=\"" + kRelType + "header\" Target=\"header1.xml\"/>"
          "<Relationship Id=\"rLater\" Type=\"" + kRelType + "header\" Target=\"header2.xml\"/>"
          "<Relationship Id=\"rFirst\" Type=\"" + kRelType + "header\" Target=\"header2.xml\"/>";  // the first of an id counts
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, written("many-sections.docx", packageWith(body, rels, paragraph("Head"), paragraph("Later"))));
  EXPECT_EQ(doc.get("Sections").get("Count").toInt(), kSections);
  for (int section : {1, 2, 1999, 2000, 2500, kSections, 1500, 1}) {
    word.get("Selection").call("GoTo", 0, 1, section);
    seek(doc, 1);
    EXPECT_EQ(currentStory(doc), section < 2000 ? u"Head\r" : u"Later\r") << section;
    seek(doc, 0);
  }
  // The header of the current page: the section the selection is in, wherever it stands.
  Ole sel = selectionOf(doc);
  for (const char16_t* text : {u"s2500", u"s1500", u"s1999", u"s2000", u"last"}) {
    ASSERT_TRUE(find(sel, text, true, true)) << platform::wideToUtf8(text);
    const bool later = text[1] == u'2' || text[0] == u'l';
    seek(doc, 9);
    EXPECT_EQ(currentStory(doc), later ? u"Later\r" : u"Head\r") << platform::wideToUtf8(text);
    seek(doc, 0);
  }
}

// A link given an address of its own gets a new relationship, whose id was found by walking the
// relationships for each candidate: a pass over many links sharing one took their square.
TEST(BadInput, ManyLinksSharingARelationshipEachGetTheirOwnWhenChanged) {
  const int kLinks = 2000;
  std::string links;
  for (int i = 0; i < kLinks; ++i) links += "<w:hyperlink r:id=\"rId3\"><w:r><w:t>l" + std::to_string(i) + "</w:t></w:r></w:hyperlink>";
  const std::string rels = "<Relationship Id=\"rId3\" Type=\"" + kRelType + "hyperlink\" Target=\"http://a.example/\" TargetMode=\"External\"/>"
                           "<Relationship Id=\"rId5\" Type=\"" + kRelType + "hyperlink\" Target=\"http://b.example/\" TargetMode=\"External\"/>"
                           "<Relationship Id=\"rId3\" Type=\"" + kRelType + "hyperlink\" Target=\"http://c.example/\" TargetMode=\"External\"/>";
  std::string path = written("many-links.docx", packageWith("<w:p>" + links + "</w:p>", rels));
  Ole word(ooxml::createWordApplication());
  Ole doc = open(word, path);
  Ole all = doc.get("HyperLinks");
  ASSERT_EQ(all.get("Count").toInt(), kLinks);
  EXPECT_EQ(all.call("Item", 7).get("Address").toString(), u"http://a.example/");  // the first of an id counts
  for (int i = 1; i <= kLinks; ++i) {
    if (i % 500 == 0) all.call("Item", i).put("Address", u"");
    else all.call("Item", i).put("Address", u"http://new.example/" + platform::utf8ToWide(std::to_string(i)));
  }
  doc.call("Save");
  doc.call("Close", 0);

  doc = open(word, path);
  all = doc.get("HyperLinks");
  for (int i : {1, 2, 3, 499, 500, 1999, 2000})
    EXPECT_EQ(all.call("Item", i).get("Address").toString(),
              i % 500 == 0 ? u"" : u"http://new.example/" + platform::utf8ToWide(std::to_string(i))) << i;
  std::string saved = ooxml::Package::open(path)->partBytes("word/_rels/document.xml.rels");
  std::set<std::string> ids;
  size_t count = 0;
  for (size_t at = saved.find("Id=\""); at != std::string::npos; at = saved.find("Id=\"", at + 1), ++count)
    ids.insert(saved.substr(at + 4, saved.find('"', at + 4) - at - 4));
  // The shared one went with the last link naming it; the damaged copy of its id stays, alone now.
  EXPECT_EQ(ids.size(), count);
  EXPECT_EQ(count, 2u + kLinks - kLinks / 500);
  EXPECT_NE(saved.find("http://c.example/"), std::string::npos);
  EXPECT_EQ(saved.find("http://a.example/"), std::string::npos);
  EXPECT_NE(saved.find("Id=\"rId4\""), std::string::npos) << "new ids count on from the entries there were";
}
