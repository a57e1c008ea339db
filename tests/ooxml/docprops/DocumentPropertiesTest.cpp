#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "automation/Dispatch.h"
#include "ooxml/docprops/DocumentProperties.h"
#include "ooxml/package/PackageError.h"

using ooxml::Package;
using ooxml::docprops::DocumentProperties;
using testing::HasSubstr;

namespace {

const char* const kNames[] = {"title", "subject", "author", "keywords", "manager", "company"};

std::unique_ptr<Package> fixture(const std::string& name) {
  return Package::open(std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/docprops/" + name);
}

WideString w(const char* utf8) { return platform::utf8ToWide(utf8); }

std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Saves the package where the independent reader (check_props.py) finds it, with the six
// values it must read back; returns the package as our own reader opens it again.
std::unique_ptr<Package> saveForReader(Package& package, const std::string& name) {
  std::string folder = std::string(TAVIMO_BINARY_DIR) + "/docprops-output";
  std::filesystem::create_directories(folder);
  std::string path = folder + "/" + name + ".docx";
  package.saveAs(path);
  auto again = Package::open(path);
  DocumentProperties props(*again);
  std::ofstream json(path + ".json", std::ios::binary);
  json << "{";
  for (const char* n : kNames) json << (n == kNames[0] ? "" : ", ") << jsonString(n) << ": " << jsonString(platform::wideToUtf8(props.value(w(n))));
  json << "}\n";
  return again;
}

std::map<std::string, std::string> allParts(Package& p) {
  std::map<std::string, std::string> parts;
  for (const std::string& n : p.partNames()) parts[n] = p.partBytes(n);
  return parts;
}

}  // namespace

TEST(DocumentProperties, ReadsTheSixPropertiesWhateverTheCaseOfTheName) {
  auto p = fixture("python-docx.docx");
  DocumentProperties props(*p);
  EXPECT_EQ(props.value(u"Title"), u"Annual report");
  EXPECT_EQ(props.value(u"TITLE"), u"Annual report");
  EXPECT_EQ(props.value(u"subject"), u"Sales & costs");
  EXPECT_EQ(props.value(u"Author"), u"Ann Author");
  EXPECT_EQ(props.value(u"Keywords"), u"");  // present and empty
  EXPECT_EQ(props.value(u"Manager"), u"");   // no element
  EXPECT_EQ(props.value(u"COMPANY"), u"Acme Ltd");
}

TEST(DocumentProperties, FindsPartsThroughRelationshipsAndElementsByNamespace) {
  auto p = fixture("odd-prefixes.docx");
  DocumentProperties props(*p);
  EXPECT_EQ(props.value(u"title"), w("Fish & chips \u00a9 <raw>"));  // entity, reference, CDATA
  EXPECT_EQ(props.value(u"keywords"), u"one two");
  EXPECT_EQ(props.value(u"manager"), u"Mary");
  EXPECT_EQ(props.value(u"author"), u"");
  EXPECT_EQ(props.value(u"company"), u"");
}

TEST(DocumentProperties, KeptReadingsFollowEditsOfThePartsAndRelationships) {
  auto p = fixture("python-docx.docx");
  DocumentProperties props(*p);
  ASSERT_EQ(props.value(u"Title"), u"Annual report");
  ASSERT_TRUE(props.setValue(u"Title", u"Budget"));
  EXPECT_EQ(props.value(u"title"), u"Budget");
  EXPECT_FALSE(props.setValue(u"Title", u"Budget"));
  // The part edited behind its back, as another member of the object model may.
  std::string core;
  for (const ooxml::Relationship& r : p->relationships(""))
    if (r.type.ends_with("/core-properties")) core = Package::resolveTarget("", r.target);
  ooxml::xml::Node title = p->xmlPart(core).documentElement().firstElement();
  while (title && title.name() != "dc:title") title = title.nextElement();
  ASSERT_TRUE(title);
  title.firstChild().setValue("Edited");
  EXPECT_EQ(props.value(u"Title"), u"Edited");
  EXPECT_TRUE(props.setValue(u"Title", u"Budget"));
  // The package relationships replaced: the property now lives in another part.
  std::string rels = p->partBytes("_rels/.rels");
  size_t at = rels.find(core);
  ASSERT_NE(at, std::string::npos);
  p->setPartBytes("docProps/other.xml", p->partBytes(core));
  p->setPartBytes("_rels/.rels", rels.replace(at, core.size(), "docProps/other.xml"));
  p->xmlPart("docProps/other.xml");
  EXPECT_EQ(props.value(u"Title"), u"Budget");
  EXPECT_TRUE(props.setValue(u"Title", u"Other"));
  EXPECT_EQ(DocumentProperties(*Package::fromBytes(p->save())).value(u"Title"), u"Other");
}

TEST(DocumentProperties, OtherNamesRaise) {
  auto p = fixture("python-docx.docx");
  DocumentProperties props(*p);
  EXPECT_TRUE(DocumentProperties::isBuiltinName(u"kEyWoRdS"));
  EXPECT_FALSE(DocumentProperties::isBuiltinName(u"Comments"));
  try {
    props.value(u"Comments");
    FAIL() << "no error";
  } catch (const automation::AutomationError& e) {
    EXPECT_THAT(e.what(), HasSubstr("\"Comments\" is not supported"));
  }
  EXPECT_THROW(props.setValue(u"", u"x"), automation::AutomationError);
}

TEST(DocumentProperties, AssigningTheValuesTheyHaveChangesNoPart) {
  auto p = fixture("python-docx.docx");
  auto before = allParts(*p);
  DocumentProperties props(*p);
  for (const char* n : kNames) EXPECT_FALSE(props.setValue(w(n), props.value(w(n)))) << n;
  for (const auto& [name, bytes] : before) EXPECT_FALSE(p->isChanged(name)) << name;
  auto again = Package::fromBytes(p->save());
  EXPECT_EQ(allParts(*again), before);
}

TEST(DocumentProperties, AssignmentsToExistingPartsReachAnIndependentReader) {
  auto p = fixture("python-docx.docx");
  auto before = allParts(*p);
  DocumentProperties props(*p);
  EXPECT_TRUE(props.setValue(u"Title", w("New & <improved> \"title\" ]]>")));
  EXPECT_TRUE(props.setValue(u"author", w("Zo\u00eb \U0001F600")));
  EXPECT_TRUE(props.setValue(u"KEYWORDS", u"a, b"));  // the empty element gets text
  EXPECT_TRUE(props.setValue(u"Manager", u"Max"));    // a new element in app.xml
  EXPECT_TRUE(props.setValue(u"Company", u""));       // emptied, not removed
  auto again = saveForReader(*p, "existing-parts");
  DocumentProperties read(*again);
  EXPECT_EQ(read.value(u"title"), w("New & <improved> \"title\" ]]>"));
  EXPECT_EQ(read.value(u"author"), w("Zo\u00eb \U0001F600"));
  EXPECT_EQ(read.value(u"keywords"), u"a, b");
  EXPECT_EQ(read.value(u"manager"), u"Max");
  EXPECT_EQ(read.value(u"company"), u"");
  EXPECT_EQ(read.value(u"subject"), u"Sales & costs");
  EXPECT_THAT(again->partBytes("docProps/app.xml"), HasSubstr("<Manager>Max</Manager>"));
  for (const auto& [name, bytes] : before) {
    if (name == "docProps/core.xml" || name == "docProps/app.xml") continue;
    EXPECT_EQ(again->partBytes(name), bytes) << name;
  }
}

TEST(DocumentProperties, MissingPartsAreCreatedWithContentTypeAndRelationship) {
  auto p = fixture("no-props.docx");
  DocumentProperties props(*p);
  EXPECT_EQ(props.value(u"Title"), u"");
  EXPECT_TRUE(props.setValue(u"Title", u"Made here"));
  EXPECT_TRUE(props.setValue(u"Company", u"C & Co"));
  EXPECT_EQ(p->contentType("docProps/core.xml"), "application/vnd.openxmlformats-package.core-properties+xml");
  EXPECT_EQ(p->contentType("docProps/app.xml"), "application/vnd.openxmlformats-officedocument.extended-properties+xml");
  auto again = saveForReader(*p, "created-parts");
  std::map<std::string, std::string> targetById;
  for (const auto& r : again->relationships("")) targetById[r.id] = r.target;
  EXPECT_EQ(targetById["rId2"], "custom/x.xml");  // the existing id is not reused
  EXPECT_EQ(targetById["rId3"], "docProps/core.xml");
  EXPECT_EQ(targetById["rId4"], "docProps/app.xml");
  DocumentProperties read(*again);
  EXPECT_EQ(read.value(u"title"), u"Made here");
  EXPECT_EQ(read.value(u"company"), u"C & Co");
  EXPECT_EQ(read.value(u"author"), u"");
}

TEST(DocumentProperties, ARelationshipToAMissingPartGetsThatPartAndNoSecondRelationship) {
  auto p = fixture("dangling-core.docx");
  DocumentProperties props(*p);
  EXPECT_EQ(props.value(u"Subject"), u"");
  EXPECT_TRUE(props.setValue(u"Subject", u"Found"));
  EXPECT_TRUE(p->hasPart("docProps/core.xml"));
  EXPECT_FALSE(p->isChanged("_rels/.rels"));
  auto again = saveForReader(*p, "dangling-core");
  EXPECT_EQ(again->relationships("").size(), 2u);
  EXPECT_EQ(DocumentProperties(*again).value(u"subject"), u"Found");
}

TEST(DocumentProperties, AnEmptyValueForAMissingPropertyCreatesNothing) {
  auto p = fixture("no-props.docx");
  auto before = allParts(*p);
  DocumentProperties props(*p);
  for (const char* n : kNames) EXPECT_FALSE(props.setValue(w(n), u"")) << n;
  EXPECT_EQ(allParts(*p), before);
  auto q = fixture("python-docx.docx");
  DocumentProperties some(*q);
  EXPECT_FALSE(some.setValue(u"Manager", u""));  // part exists, element does not
  EXPECT_FALSE(q->isChanged("docProps/app.xml"));
}

TEST(DocumentProperties, NewElementsUseThePartsOwnPrefixesOrDeclareOne) {
  auto p = fixture("odd-prefixes.docx");
  DocumentProperties props(*p);
  EXPECT_TRUE(props.setValue(u"Title", u"Fish"));
  EXPECT_TRUE(props.setValue(u"Subject", u"Food"));
  EXPECT_TRUE(props.setValue(u"Company", u"Chippy"));
  std::string core = p->partBytes("meta/c.xml");
  EXPECT_THAT(core, HasSubstr("<d:title>Fish</d:title>"));
  EXPECT_THAT(core, HasSubstr("<d:subject>Food</d:subject>"));
  EXPECT_THAT(core, HasSubstr("<title>not Dublin Core</title>"));  // same name, no namespace: untouched
  EXPECT_THAT(core, HasSubstr("<!-- kept -->"));
  EXPECT_THAT(p->partBytes("meta/a.xml"), HasSubstr("<ep:Company>Chippy</ep:Company>"));
  auto again = saveForReader(*p, "odd-prefixes");
  EXPECT_EQ(DocumentProperties(*again).value(u"subject"), u"Food");
}

TEST(DocumentProperties, AuthorGetsADublinCoreDeclarationWhenThePartHasNone) {
  auto p = fixture("odd-prefixes.docx");
  // Rewrite the core part without the dc namespace; the element must still be Dublin Core.
  p->setPartBytes("meta/c.xml",
                  "<p:coreProperties xmlns:p=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
                  "xmlns:dc=\"urn:something-else\"><dc:creator>not this</dc:creator></p:coreProperties>");
  DocumentProperties props(*p);
  EXPECT_EQ(props.value(u"Author"), u"");
  EXPECT_TRUE(props.setValue(u"Author", u"Al"));
  std::string core = p->partBytes("meta/c.xml");
  EXPECT_THAT(core, HasSubstr("xmlns:dc2=\"http://purl.org/dc/elements/1.1/\""));
  EXPECT_THAT(core, HasSubstr("<dc2:creator>Al</dc2:creator>"));
  auto again = saveForReader(*p, "declared-namespace");
  EXPECT_EQ(DocumentProperties(*again).value(u"author"), u"Al");
}

TEST(DocumentProperties, CharactersXmlCannotCarryAreDroppedAndLineEndsKept) {
  auto p = fixture("python-docx.docx");
  DocumentProperties props(*p);
  std::u16string value = u"a\x01" u"b\rc\r\nd\xFFFF" u"e";
  value += static_cast<char16_t>(0xD800);  // a lone surrogate
  value += u"f";
  EXPECT_TRUE(props.setValue(u"Title", value));
  EXPECT_EQ(props.value(u"Title"), u"ab\nc\nd" u"ef");
  EXPECT_FALSE(props.setValue(u"Title", u"ab\r\nc\nd" u"ef"));  // the same once stored
  auto again = saveForReader(*p, "control-characters");
  EXPECT_EQ(DocumentProperties(*again).value(u"title"), u"ab\nc\nd" u"ef");
}

TEST(DocumentProperties, APartThatIsNotWellFormedRaisesNamingIt) {
  auto p = fixture("broken-core.docx");
  DocumentProperties props(*p);
  try {
    props.value(u"Title");
    FAIL() << "no error";
  } catch (const ooxml::PackageError& e) {
    EXPECT_THAT(e.what(), HasSubstr("docProps/core.xml"));
  }
  EXPECT_THROW(props.setValue(u"Subject", u"x"), ooxml::PackageError);
  EXPECT_EQ(props.value(u"Company"), u"");  // the other part is unaffected
}
