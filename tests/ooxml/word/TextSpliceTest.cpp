// Edits inside one w:t splice its UTF-8 in place; the text must read back exactly as a
// replacement of its UTF-16 text would, and anything unusual must be left to the slow way.
#include <gtest/gtest.h>

#include <random>

#include "ooxml/package/Xml.h"
#include "ooxml/word/Elements.h"
#include "platform/Text.h"

namespace el = ooxml::word::el;
using ooxml::xml::Document;

namespace {

std::unique_ptr<Document> textElement(const std::string& utf8) {
  return Document::parse("<w:t xmlns:w=\"u\">" + utf8 + "</w:t>");
}

std::u16string withoutEndSpaces(std::u16string s) {
  while (!s.empty() && s.back() == u' ') s.pop_back();
  size_t lead = 0;
  while (lead < s.size() && s[lead] == u' ') ++lead;
  return s.substr(lead);
}

}  // namespace

TEST(TextSplice, ReadsBackAsTheReplacedUtf16Text) {
  std::mt19937 rng(3);
  const std::u16string pieces[] = {u"a", u"Z", u" ", u"\u00e9", u"\u20ac", u"\U0001F600", u"&", u"<"};
  for (int round = 0; round < 500; ++round) {
    std::u16string raw;
    for (int i = 0, n = 1 + rng() % 12; i < n; ++i) raw += pieces[rng() % std::size(pieces)];
    std::string escaped;
    ooxml::xml::appendEscaped(escaped, platform::wideToUtf8(raw), false);
    auto doc = textElement(escaped);
    ooxml::xml::Node t = doc->documentElement();
    // Not marked preserved: the spaces at its ends are not text, and offsets count without them.
    const std::u16string text = withoutEndSpaces(raw);
    ASSERT_EQ(el::textOf(t), text) << round;
    size_t from = rng() % (text.size() + 1), count = rng() % (text.size() - from + 1);
    std::u16string insert = pieces[rng() % std::size(pieces)];
    bool splitsPair = (from > 0 && from < text.size() && text[from] >= 0xDC00 && text[from] <= 0xDFFF) ||
                      (from + count < text.size() && text[from + count] >= 0xDC00 && text[from + count] <= 0xDFFF);
    ASSERT_EQ(el::spliceText(t, from, count, insert), !splitsPair) << round;
    if (splitsPair) {
      EXPECT_EQ(el::textOf(t), text);  // untouched
      continue;
    }
    std::u16string want = text;
    want.replace(from, count, insert);
    EXPECT_EQ(el::textOf(t), want) << round;
    EXPECT_EQ(t.attribute("xml:space"), "preserve");
  }
}

TEST(TextSplice, LeavesSeveralNodesAndMalformedTextToTheCaller) {
  auto parts = Document::parse("<w:t xmlns:w=\"u\">ab<![CDATA[cd]]></w:t>");
  EXPECT_FALSE(el::spliceText(parts->documentElement(), 0, 1, u"x"));
  auto malformed = textElement("ab");
  malformed->documentElement().firstChild().setValue("a\xC0\xAF" "b");  // an overlong slash
  EXPECT_FALSE(el::spliceText(malformed->documentElement(), 2, 1, u"x"));
  EXPECT_TRUE(el::spliceText(malformed->documentElement(), 0, 1, u"x"));  // before the bad bytes
  EXPECT_EQ(malformed->documentElement().firstChild().value(), "x\xC0\xAF" "b");
}

TEST(TextSplice, SpacesAtTheEndsOfAnUnpreservedTextAreNotText) {
  auto doc = Document::parse(
      "<w:p xmlns:w=\"u\"><w:r><w:t>  a b \t</w:t><w:t>\n</w:t></w:r>"
      "<w:r xml:space=\"preserve\"><w:t> kept </w:t><w:t xml:space=\"default\"> dropped </w:t>"
      "<w:instrText> PAGE </w:instrText></w:r></w:p>");
  ooxml::xml::Node first = doc->documentElement().firstElement();
  ooxml::xml::Node t = first.firstElement();
  EXPECT_EQ(el::textOf(t), u"a b");
  EXPECT_EQ(el::textOf(t.nextElement()), u"");
  ooxml::xml::Node kept = first.nextElement().firstElement();
  EXPECT_EQ(el::textOf(kept), u" kept ");
  EXPECT_EQ(el::textOf(kept.nextElement()), u"dropped");
  EXPECT_EQ(el::textOf(kept.nextElement().nextElement()), u" PAGE ");  // a field code, not shown text

  // An edit writes what Word showed, preserved, so that no space appears that was not there.
  ASSERT_TRUE(el::spliceText(t, 2, 1, u"c"));
  EXPECT_EQ(t.firstChild().value(), "a c");
  EXPECT_EQ(t.attribute("xml:space"), "preserve");
  auto other = Document::parse("<w:r xmlns:w=\"u\"><w:t> ab </w:t></w:r>");
  ooxml::xml::Node tail = other->documentElement().firstElement();
  ooxml::xml::Node head = el::splitTextFront(tail, 1);
  ASSERT_TRUE(head);
  EXPECT_EQ(head.firstChild().value(), "a");
  EXPECT_EQ(tail.firstChild().value(), "b");
}
