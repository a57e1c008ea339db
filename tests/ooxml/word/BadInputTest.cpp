#include <gtest/gtest.h>

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

std::string package(const std::string& documentXml, const std::string& mainTarget = "word/document.xml") {
  ooxml::ZipWriter w;
  w.add("[Content_Types].xml",
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
  w.add("_rels/.rels",
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"r\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"" +
            mainTarget + "\"/></Relationships>");
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
