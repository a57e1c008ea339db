// What a document's owner wrote stays as written when a part is edited and saved: entries the
// package does not use, and text the edit did not touch.
#include <gtest/gtest.h>

#include "ooxml/package/Package.h"
#include "ooxml/package/Xml.h"
#include "ooxml/package/Zip.h"

using namespace ooxml;

namespace {

std::vector<std::string> entryNames(const std::string& zipBytes) {
  ZipReader r(zipBytes);
  std::vector<std::string> names;
  for (const ZipEntry& e : r.entries()) names.push_back(e.name);
  return names;
}

}  // namespace

TEST(Preservation, FolderEntriesSurviveASaveWhereTheyStood) {
  ZipWriter w;
  w.add("[Content_Types].xml", "<Types xmlns=\"urn:t\"/>");
  w.add("word/", "");
  w.add("word/document.xml", "<w:document xmlns:w=\"urn:w\"><w:body><w:p/></w:body></w:document>");
  w.add("word/media/", "");
  w.add("word/media/image1.png", std::string(100, '\x02'));
  w.add("docProps/", "");
  const std::string original = w.finish();

  auto p = Package::fromBytes(original);
  EXPECT_FALSE(p->hasPart("word/"));  // a folder is no part
  xml::Document& doc = p->xmlPart("word/document.xml");
  doc.documentElement().firstElement().appendChild(doc.createElement("w:p"));
  p->markChanged("word/document.xml");
  p->setPartBytes("word/new.xml", "<x/>");

  const std::string saved = p->save();
  EXPECT_EQ(entryNames(saved), (std::vector<std::string>{"[Content_Types].xml", "word/", "word/document.xml", "word/media/",
                                                         "word/media/image1.png", "docProps/", "word/new.xml"}));
  ZipReader r(saved);
  EXPECT_EQ(r.rawRecord(*r.find("word/media/")), ZipReader(original).rawRecord(*ZipReader(original).find("word/media/")));
}

TEST(Preservation, ACarriageReturnWrittenAsAReferenceStaysOne) {
  // Generators write a line end in a property as &#13;&#10;: written back as CR LF it would read as LF.
  auto doc = xml::Document::parse("<d><t>one&#13;&#10;two&#xD;three</t><u>kept</u></d>");
  xml::Node u = doc->documentElement().child("u");
  u.firstChild().setValue("edited");
  EXPECT_EQ(doc->serialize(), "<d><t>one&#13;\ntwo&#13;three</t><u>edited</u></d>");
  auto again = xml::Document::parse(doc->serialize());
  EXPECT_EQ(again->documentElement().child("t").firstChild().value(), "one\r\ntwo\rthree");

  // A copy reads the same as the text it was made from.
  xml::Node copy = doc->documentElement().child("t").clone(true);
  doc->documentElement().appendChild(copy);
  EXPECT_NE(doc->serialize().find("<t>one&#13;\ntwo&#13;three</t></d>"), std::string::npos);

  // Text an edit sets holds what the edit gave, CR included.
  u.firstChild().setValue("a\rb");
  EXPECT_NE(doc->serialize().find("<u>a&#13;b</u>"), std::string::npos);
}

TEST(Preservation, ACarriageReturnWrittenAsItselfIsWrittenBackAsItWasRead) {
  const std::string text = "<?xml version=\"1.0\"?>\r\n<d>\r\n<t>a\r\nb</t>\r\n</d>";
  auto doc = xml::Document::parse(text);
  EXPECT_EQ(doc->serialize(), text);
  xml::Node copy = doc->documentElement().child("t").clone(true);
  doc->documentElement().appendChild(copy);
  EXPECT_EQ(doc->serialize(), "<?xml version=\"1.0\"?>\r\n<d>\r\n<t>a\r\nb</t>\r\n<t>a\r\nb</t></d>");
}
