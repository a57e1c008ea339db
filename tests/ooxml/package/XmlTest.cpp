#include <gtest/gtest.h>

#include "ooxml/package/PackageError.h"
#include "ooxml/package/Xml.h"

using namespace ooxml;
using namespace ooxml::xml;

namespace {
size_t errorOffset(const std::string& text) {
  try {
    Document::parse(text);
  } catch (const XmlError& e) {
    return e.offset();
  }
  ADD_FAILURE() << "no error for " << text;
  return SIZE_MAX;
}
}  // namespace

TEST(Xml, RoundTripsWhatOoxmlPartsHold) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
      "<!-- made by hand --><w:document xmlns:w=\"urn:w\"><w:body><w:p w:rsidR=\"00A1\">"
      "<w:r><w:t xml:space=\"preserve\"> a &amp; b &lt;c&gt; </w:t></w:r><?pi data?>"
      "<w:r><w:t><![CDATA[x<y]]></w:t></w:r></w:p><w:p/></w:body></w:document>";
  auto doc = Document::parse(text);
  EXPECT_EQ(doc->serialize(), text);
  Node p = doc->documentElement().child("w:body").child("w:p");
  EXPECT_EQ(p.attribute("w:rsidR"), "00A1");
  EXPECT_EQ(p.child("w:r").child("w:t").firstChild().value(), " a & b <c> ");
}

TEST(Xml, PartsInOtherEncodingsAreReadAndWrittenAsUtf8OrRefused) {
  // A single-byte part: its "é" must not become a replacement character, and the saved part
  // must say what it now is.
  auto doc = Document::parse("<?xml version=\"1.0\" encoding=\"windows-1252\"?><t>caf\xE9 \x80</t>");
  EXPECT_EQ(doc->documentElement().firstChild().value(), "caf\u00E9 \u20AC");
  EXPECT_EQ(doc->serialize(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><t>caf\u00E9 \u20AC</t>");
  EXPECT_EQ(Document::parse("<?xml version='1.0' encoding='ISO-8859-1'?><t>\xE9</t>")->documentElement().firstChild().value(),
            "\u00E9");

  // UTF-16 both ways round, with and without a byte order mark.
  const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><t>h\u00E9</t>";
  std::string little = "\xFF\xFE", big;
  for (char16_t c : text) {
    little += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    big += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  }
  for (const std::string& bytes : {little, big}) {
    auto d = Document::parse(bytes);
    EXPECT_EQ(d->documentElement().firstChild().value(), "h\u00E9");
    EXPECT_EQ(d->serialize(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><t>h\u00E9</t>");
  }
  EXPECT_THROW(Document::parse("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><t>\x82\xA0</t>"), XmlError);
  EXPECT_THROW(Document::parse(little + "x"), XmlError);  // half a unit
}

TEST(Xml, PrefixesDeclaredInsideAreDeclaredAtTheTopUnlessItBindsThemOtherwise) {
  auto doc = Document::parse("<w:d xmlns:w='w' xmlns:y='top'><w:r xmlns:x='urn:x' xmlns:y='in'><x:b/></w:r></w:d>");
  Node top = doc->documentElement();
  EXPECT_EQ(top.attribute("xmlns:x"), "urn:x");
  EXPECT_EQ(top.attribute("xmlns:y"), "top");
  // A run made anew and given the old run's properties still names a bound prefix.
  EXPECT_EQ(doc->serialize(), "<w:d xmlns:w=\"w\" xmlns:y=\"top\" xmlns:x=\"urn:x\"><w:r xmlns:x=\"urn:x\" xmlns:y=\"in\"><x:b/></w:r></w:d>");
}

TEST(Xml, DecodesCharacterReferencesAndQuotesAttributesOnWrite) {
  auto doc = Document::parse("<a t='&#x41;&#66;&quot;&apos;&#x20AC;&#x1F600;'>&#9;</a>");
  Node a = doc->documentElement();
  EXPECT_EQ(a.attribute("t"), "AB\"'\u20AC\U0001F600");
  EXPECT_EQ(a.firstChild().value(), "\t");
  EXPECT_EQ(doc->serialize(), "<a t=\"AB&quot;'\u20AC\U0001F600\">\t</a>");
}

// A reader sees a line end or tab written as itself in an attribute value as a space; written
// back as a reference, it would become a real line end for every reader of the saved part.
TEST(Xml, WhiteSpaceWrittenAsItselfInAnAttributeReadsAsASpace) {
  auto doc = Document::parse("<a t=\"one\r\ntwo\nthree\tfour\rfive\" r=\"x&#10;y&#13;&#10;z&#9;\">\r\n</a>");
  Node a = doc->documentElement();
  EXPECT_EQ(a.attribute("t"), "one two three four five");
  EXPECT_EQ(a.attribute("r"), "x\ny\r\nz\t");
  EXPECT_EQ(a.firstChild().value(), "\r\n");  // text keeps what it holds
  EXPECT_EQ(doc->serialize(), "<a t=\"one two three four five\" r=\"x&#10;y&#13;&#10;z&#9;\">\r\n</a>");
}

TEST(Xml, RefusesDoctypesEntitiesAndMalformedInputWithItsOffset) {
  EXPECT_EQ(errorOffset("<!DOCTYPE a [<!ENTITY x \"yy\">]><a>&x;</a>"), 0u);
  EXPECT_EQ(errorOffset("<a>&x;</a>"), 3u);
  EXPECT_EQ(errorOffset("<a>&#0;</a>"), 3u);
  EXPECT_EQ(errorOffset("<a>&#xD800;</a>"), 3u);
  EXPECT_EQ(errorOffset("<a><b></a>"), 6u);
  EXPECT_EQ(errorOffset("<a b=\"1\" b=\"2\"/>"), 9u);
  EXPECT_EQ(errorOffset("<a b=1/>"), 5u);
  EXPECT_NE(errorOffset("<a>"), SIZE_MAX);
  EXPECT_NE(errorOffset("<a/><b/>"), SIZE_MAX);
  EXPECT_NE(errorOffset("text"), SIZE_MAX);
  EXPECT_NE(errorOffset(""), SIZE_MAX);
  EXPECT_NE(errorOffset("<a><![CDATA[x</a>"), SIZE_MAX);
}

// Each attribute was checked against all before it and each inner prefix against all those of
// the top element: a part of a million of either took hours.
TEST(Xml, ManyAttributesAndInnerPrefixesAreReadWhole) {
  std::string many = "<a";
  for (int i = 0; i < 100'000; ++i) many += " n" + std::to_string(i) + "='" + std::to_string(i) + "'";
  auto doc = Document::parse(many + "/>");
  EXPECT_EQ(doc->documentElement().attribute("n99999"), "99999");
  EXPECT_EQ(errorOffset(many + " n77='again'/>"), many.size() + 1);  // a duplicate past the first few
  std::string seventeen = "<a";
  for (int i = 1; i <= 17; ++i) seventeen += " n" + std::to_string(i) + "=''";
  EXPECT_EQ(errorOffset(seventeen + " n1=''/>"), seventeen.size() + 1);

  std::string inner = "<w:d xmlns:w='w' xmlns:p7='top'>";
  for (int i = 0; i < 50'000; ++i) inner += "<w:r xmlns:p" + std::to_string(i) + "='in" + std::to_string(i) + "'/>";
  doc = Document::parse(inner + "<w:r xmlns:p3='again'/></w:d>");
  Node top = doc->documentElement();
  size_t declared = 0;
  for (Attribute a = top.firstAttribute(); a; a = a.next()) ++declared;
  EXPECT_EQ(declared, 50'001u);  // w, then each prefix once
  EXPECT_EQ(top.attribute("xmlns:p7"), "top");
  EXPECT_EQ(top.attribute("xmlns:p3"), "in3");  // the first inner declaration
  EXPECT_EQ(top.attribute("xmlns:p49999"), "in49999");
}

// Six bytes of <w:r/> become a node of several pointers: what a tree may take is what is bounded.
TEST(Xml, NodesAttributesAndTheirMemoryAreBounded) {
  std::string empties = "<a>";
  for (int i = 0; i < 10'000; ++i) empties += "<r/>";
  empties += "</a>";
  auto doc = Document::parse(empties);
  EXPECT_GT(doc->memoryUse(), empties.size() + 10'000 * 4 * sizeof(void*));  // the node's size differs by target
  ParseLimits tight;
  tight.maxMemory = doc->memoryUse() - 1;
  EXPECT_THROW(Document::parse(empties, tight), XmlError);
  tight.maxMemory = doc->memoryUse();
  EXPECT_NO_THROW(Document::parse(empties, tight));

  ParseLimits few;
  few.maxNodes = 5;
  EXPECT_NO_THROW(Document::parse("<a x='1' y='2'><b/>t</a>", few));
  try {
    Document::parse("<a x='1' y='2' z='3'><b/>t</a>", few);  // attributes count as nodes
    ADD_FAILURE() << "six nodes read";
  } catch (const XmlError& e) {
    EXPECT_NE(std::string(e.what()).find("too many XML nodes"), std::string::npos) << e.what();
  }
}

TEST(Xml, NestingDepthIsBounded) {
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "<a>";
  for (int i = 0; i < 300; ++i) deep += "</a>";
  EXPECT_THROW(Document::parse(deep), XmlError);
  ParseLimits generous;
  generous.maxDepth = 400;
  EXPECT_NO_THROW(Document::parse(deep, generous));
}

TEST(Xml, EditsMoveCloneAndDetachNodes) {
  auto doc = Document::parse("<r><a x=\"1\"><t>one</t></a><b/></r>");
  Node r = doc->documentElement();
  Node a = r.child("a"), b = r.child("b");
  Node copy = a.clone(true);
  copy.setAttribute("x", "2&");
  copy.setAttribute("y", "3");
  r.insertAfter(copy, b);
  r.insertBefore(b, a);  // moves b to the front
  a.removeAttribute("x");
  a.child("t").firstChild().setValue("un<");
  EXPECT_EQ(doc->serialize(), "<r><b/><a><t>un&lt;</t></a><a x=\"2&amp;\" y=\"3\"><t>one</t></a></r>");
  copy.detach();
  EXPECT_FALSE(copy.parent());
  Node c = doc->createElement("c");
  c.appendChild(doc->createText("z"));
  r.prependChild(c);
  EXPECT_EQ(doc->serialize(), "<r><c>z</c><b/><a><t>un&lt;</t></a></r>");
  Node empty;
  EXPECT_FALSE(empty.child("x"));
  EXPECT_EQ(empty.attribute("x"), "");
  EXPECT_FALSE(empty.appendChild(c));
}

TEST(Xml, SplicedValuesChangeInPlaceWithoutDisturbingClonesOrTheCount) {
  auto doc = Document::parse("<r><t>hello world</t></r>");
  Node text = doc->documentElement().firstElement().firstChild();
  Node before = text.clone(false);
  uint64_t edits = doc->edits();
  text.spliceValue(0, 5, "goodbye");
  EXPECT_EQ(text.value(), "goodbye world");
  Node after = text.clone(false);
  for (int i = 0; i < 1000; ++i) text.spliceValue(8, 5, i % 2 ? "world" : "earth");
  EXPECT_EQ(text.value(), "goodbye world");
  EXPECT_EQ(before.value(), "hello world");  // clones keep what they were made from
  EXPECT_EQ(after.value(), "goodbye world");
  text.spliceValue(100, 3, "!");  // past the end: appended
  text.setValue("set");
  text.spliceValue(3, 0, "s");
  EXPECT_EQ(text.value(), "sets");
  EXPECT_GT(doc->edits(), edits);
  EXPECT_EQ(doc->serialize(), "<r><t>sets</t></r>");
}
