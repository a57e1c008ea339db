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

}  // namespace

TEST(TextSplice, ReadsBackAsTheReplacedUtf16Text) {
  std::mt19937 rng(3);
  const std::u16string pieces[] = {u"a", u"Z", u" ", u"\u00e9", u"\u20ac", u"\U0001F600", u"&", u"<"};
  for (int round = 0; round < 500; ++round) {
    std::u16string text;
    for (int i = 0, n = 1 + rng() % 12; i < n; ++i) text += pieces[rng() % std::size(pieces)];
    std::string escaped;
    ooxml::xml::appendEscaped(escaped, platform::wideToUtf8(text), false);
    auto doc = textElement(escaped);
    ooxml::xml::Node t = doc->documentElement();
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
