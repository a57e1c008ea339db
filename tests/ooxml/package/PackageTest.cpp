#include <gtest/gtest.h>

#include "ooxml/package/Package.h"
#include "ooxml/package/PackageError.h"
#include "platform/FaultyFileSystem.h"
#include "platform/Files.h"

using namespace ooxml;

namespace {

const char* kTypes =
    "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" ContentType=\"main+xml\"/></Types>";
const char* kRootRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";
const char* kDocRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId5\" Type=\"t/hyperlink\" Target=\"http://example.com/a%20b\" TargetMode=\"External\"/>"
    "<Relationship Id=\"rId6\" Type=\"t/image\" Target=\"media/image%201.png\"/></Relationships>";

std::string samplePackage() {
  ZipWriter w;
  w.add("[Content_Types].xml", kTypes);
  w.add("_rels/.rels", kRootRels);
  w.add("word/document.xml", "<w:document xmlns:w=\"urn:w\"><w:body/></w:document>");
  w.add("word/_rels/document.xml.rels", kDocRels);
  w.add("word/media/image 1.png", std::string(300, '\x01'));
  return w.finish();
}

std::string tempPath(const std::string& name) { return platform::joinPath(platform::tempFolder(), name); }

}  // namespace

TEST(Package, FindsTheMainPartItsContentTypeAndRelationships) {
  auto p = Package::fromBytes(samplePackage());
  EXPECT_EQ(p->mainPartName(), "word/document.xml");
  EXPECT_EQ(p->contentType("word/document.xml"), "main+xml");
  EXPECT_EQ(p->contentType("word/_rels/document.xml.rels"), "application/vnd.openxmlformats-package.relationships+xml");
  auto rels = p->relationships("word/document.xml");
  ASSERT_EQ(rels.size(), 2u);
  EXPECT_TRUE(rels[0].external);
  EXPECT_EQ(rels[0].target, "http://example.com/a%20b");
  EXPECT_EQ(Package::resolveTarget("word/document.xml", rels[1].target), "word/media/image 1.png");
  EXPECT_TRUE(p->hasPart("WORD/Document.xml"));
}

TEST(Package, RelationshipsFollowEditsOfTheirPart) {
  auto p = Package::fromBytes(samplePackage());
  ASSERT_EQ(p->relationships("word/document.xml").size(), 2u);
  // Edited in place, as a new hyperlink adds its relationship.
  xml::Document& rels = p->xmlPart("word/_rels/document.xml.rels");
  xml::Node added = rels.createElement("Relationship");
  added.setAttribute("Id", "rId7");
  added.setAttribute("Target", "x.xml");
  rels.documentElement().appendChild(added);
  ASSERT_EQ(p->relationships("word/document.xml").size(), 3u);
  rels.documentElement().firstElement().setAttribute("Target", "http://changed/");
  EXPECT_EQ(p->relationships("word/document.xml")[0].target, "http://changed/");
  // Replaced as a whole, and made where there was none.
  p->setPartBytes("word/_rels/document.xml.rels", "<Relationships xmlns=\"urn:r\"/>");
  EXPECT_TRUE(p->relationships("word/document.xml").empty());
  EXPECT_TRUE(p->relationships("word/other.xml").empty());
  p->setPartBytes("word/_rels/other.xml.rels", kDocRels);
  EXPECT_EQ(p->relationships("word/other.xml").size(), 2u);
}

TEST(Package, TargetsThatClimbOutOfThePackageAreRefused) {
  EXPECT_EQ(Package::resolveTarget("word/document.xml", "../customXml/item1.xml"), "customXml/item1.xml");
  EXPECT_EQ(Package::resolveTarget("word/document.xml", "media/a.png"), "word/media/a.png");
  EXPECT_EQ(Package::resolveTarget("document.xml", "media/a.png"), "media/a.png");
  EXPECT_EQ(Package::resolveTarget("word\\sub//document.xml", "a.xml"), "word/sub/a.xml");
  EXPECT_EQ(Package::resolveTarget("word/document.xml", "media//a%20b.png"), "word/media/a b.png");
  EXPECT_EQ(Package::resolveTarget("word/document.xml", "/word/./styles.xml"), "word/styles.xml");
  EXPECT_THROW(Package::resolveTarget("word/document.xml", "../../etc/passwd"), PackageError);
  EXPECT_THROW(Package::resolveTarget("", "..\\x.xml"), PackageError);
}

TEST(Package, SaveWritesOnlyChangedPartsAnewAndKeepsOrder) {
  std::string original = samplePackage();
  auto p = Package::fromBytes(original);
  p->xmlPart("word/_rels/document.xml.rels");  // parsed but untouched: copied as it was
  xml::Document& doc = p->xmlPart("word/document.xml");
  doc.documentElement().child("w:body").appendChild(doc.createElement("w:p"));
  p->markChanged("word/document.xml");
  p->setContentTypeOverride("word/extra.xml", "extra+xml");
  p->setPartBytes("word/extra.xml", "<x/>");
  ZipReader before(original), after(p->save());
  ASSERT_EQ(after.entries().size(), 6u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(after.entries()[i].name, before.entries()[i].name);
    bool changed = i == 0 || i == 2;
    EXPECT_EQ(after.rawRecord(after.entries()[i]) == before.rawRecord(before.entries()[i]), !changed) << i;
  }
  EXPECT_EQ(after.read(after.entries()[2]), "<w:document xmlns:w=\"urn:w\"><w:body><w:p/></w:body></w:document>");
  auto again = Package::fromBytes(after.bytes());
  EXPECT_EQ(again->contentType("word/extra.xml"), "extra+xml");
  EXPECT_EQ(again->partBytes("word/extra.xml"), "<x/>");
}

TEST(Package, AFailedSaveLeavesTheTargetAsItWasAndNoTemporaryFile) {
  std::string folder = tempPath("tavimo-package-save");
  platform::fileSystem().createFolder(folder);
  std::string target = platform::joinPath(folder, "doc.docx");
  ASSERT_TRUE(platform::writeFileAtomically(target, "original"));
  auto p = Package::fromBytes(samplePackage());
  for (platform::FileOp op : {platform::FileOp::Open, platform::FileOp::Write, platform::FileOp::Rename}) {
    platform::FaultyFileSystem faulty;
    faulty.failAt(op, 1, true);
    platform::ScopedFileSystem scope(faulty);
    EXPECT_THROW(p->saveAs(target), PackageError);
  }
  EXPECT_EQ(platform::readFile(target, 100), "original");
  auto left = platform::fileSystem().listFolder(folder);
  ASSERT_EQ(left.size(), 1u);
  p->saveAs(target);
  EXPECT_EQ(Package::open(target)->mainPartName(), "word/document.xml");
  EXPECT_THROW(p->saveAs(platform::joinPath(tempPath("tavimo-no-such-folder"), "x.docx")), PackageError);
  platform::fileSystem().remove(target);
}

TEST(Package, APartStoredTwiceMakesTheWholePackageDamaged) {
  // Readers differ on which copy counts: an edit of the first could go unseen.
  ZipWriter w;
  w.add("[Content_Types].xml", kTypes);
  w.add("word/document.xml", "<a/>");
  w.add("Word/Document.xml", "<b/>");
  EXPECT_THROW(Package::fromBytes(w.finish()), PackageError);
}

TEST(Package, MalformedPartsReportThePartAndOffset) {
  ZipWriter w;
  w.add("[Content_Types].xml", kTypes);
  w.add("_rels/.rels", "<Relationships><Relationship Id=\"a\" Target=\"x\"></Relationships>");
  auto p = Package::fromBytes(w.finish());
  try {
    p->mainPartName();
    FAIL();
  } catch (const XmlError& e) {
    EXPECT_NE(std::string(e.what()).find("_rels/.rels"), std::string::npos) << e.what();
  }
}

// A file of a few kilobytes held parts of millions of empty elements, each a hundred-byte node:
// gigabytes once parsed. What the parts parsed may take grows with the file, within bounds.
TEST(Package, ThePartsParsedShareAMemoryBudgetThatGrowsWithTheFile) {
  std::string empties = "<a>";
  for (int i = 0; i < 20'000; ++i) empties += "<r/>";
  empties += "</a>";
  const size_t oneTree = xml::Document::parse(empties)->memoryUse();
  ZipWriter w;
  w.add("one.xml", empties);
  w.add("two.xml", empties);
  w.add("three.xml", empties);
  const std::string bytes = w.finish();

  PackageLimits limits;
  limits.minXmlMemory = 2 * oneTree + oneTree / 2;  // room for two trees, whatever the file's size
  auto p = Package::fromBytes(bytes, limits);
  EXPECT_NO_THROW(p->xmlPart("one.xml"));
  EXPECT_NO_THROW(p->xmlPart("two.xml"));
  try {
    p->xmlPart("three.xml");
    ADD_FAILURE() << "a third tree was parsed";
  } catch (const PackageError& e) {
    EXPECT_NE(std::string(e.what()).find("too large to open"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("three.xml"), std::string::npos) << e.what();
  }
  p->setPartBytes("one.xml", "<a/>");  // a part replaced gives back what its tree took
  EXPECT_NO_THROW(p->xmlPart("three.xml"));
  EXPECT_NO_THROW(p->xmlPart("one.xml"));

  // The same file, larger in proportion to what it holds, may take more.
  limits.xmlMemoryPerByte = (3 * oneTree + 4096) / bytes.size() + 1;
  p = Package::fromBytes(bytes, limits);
  for (const char* name : {"one.xml", "two.xml", "three.xml"}) EXPECT_NO_THROW(p->xmlPart(name)) << name;
  limits.maxXmlMemory = limits.minXmlMemory;  // but never past the ceiling
  p = Package::fromBytes(bytes, limits);
  p->xmlPart("one.xml");
  p->xmlPart("two.xml");
  EXPECT_THROW(p->xmlPart("three.xml"), PackageError);
}
