#include <gtest/gtest.h>

#include "platform/Text.h"

using namespace platform;

TEST(CaseMapping, MapsLatinGreekCyrillicBothWays) {
  EXPECT_EQ(toUpper(u"äéωжabc"), u"ÄÉΩЖABC");
  EXPECT_EQ(toLower(u"ÄÉΩЖABC"), u"äéωжabc");
  EXPECT_EQ(toUpper(u'ā'), u'Ā');  // alternating pairs of Latin Extended-A
  EXPECT_EQ(toLower(u'Ł'), u'ł');
}

TEST(CaseMapping, PartnersFarAwayInOtherBlocksAreFound) {
  EXPECT_EQ(toUpper(u'\u00FF'), u'\u0178');  // ÿ: its capital lies in the next block
  EXPECT_EQ(toLower(u'\u2126'), u'\u03C9');  // the ohm sign folds to Greek omega, far below
  EXPECT_EQ(toLower(u'\u10A0'), u'\u2D00');  // Georgian capitals and their small letters
  EXPECT_EQ(toUpper(u'\uFF41'), u'\uFF21');  // fullwidth a, in the last block
  EXPECT_EQ(toUpper(u'\uFFFF'), u'\uFFFF');
  EXPECT_EQ(toLower(u'\u0100'), u'\u0101');  // the first unit of a block
}

TEST(CaseMapping, LeavesUnitsWithoutAOneUnitPartnerAlone) {
  EXPECT_EQ(toUpper(u'ß'), u'ß');  // upper case is two units (SS)
  EXPECT_EQ(toUpper(u'1'), u'1');
  EXPECT_EQ(toUpper(u'\xD801'), u'\xD801');  // a lone surrogate unit
  EXPECT_EQ(toLower(u'İ'), u'İ');           // lower case is two units (i + dot)
}

TEST(CharacterClasses, LettersAndDigits) {
  EXPECT_TRUE(isLetter(u'a'));
  EXPECT_TRUE(isLetter(u'Ж'));
  EXPECT_TRUE(isLetter(u'中'));
  EXPECT_FALSE(isLetter(u' '));
  EXPECT_FALSE(isLetter(u'-'));
  EXPECT_FALSE(isLetter(u'×'));
  EXPECT_TRUE(isDigit(u'7'));
  EXPECT_TRUE(isDigit(u'٣'));
  EXPECT_FALSE(isDigit(u'a'));
}

TEST(Utf8, RoundTripsAllPlanes) {
  std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a é € 😀
  WideString w = utf8ToWide(s);
  ASSERT_EQ(w.size(), 5u);
  EXPECT_EQ(w[1], u'é');
  EXPECT_EQ(wideToUtf8(w), s);
}

TEST(Utf8, AsciiRunsAreWidenedWholeBeforeAndAfterOtherCharacters) {
  EXPECT_EQ(utf8ToWide(""), u"");
  EXPECT_EQ(utf8ToWide(std::string_view("a\0b", 3)), WideString(u"a\0b", 3));
  EXPECT_EQ(utf8ToWide(std::string(300, 'x') + "\xC3\xA9" + "yz"), WideString(300, u'x') + u"\u00E9yz");
  EXPECT_EQ(utf8ToWide("\x7F\x80"), u"\x7F\uFFFD");
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(utf8ToWide("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(utf8ToWide("\xC0\x80"), u"\uFFFD\uFFFD");      // overlong NUL
  EXPECT_EQ(utf8ToWide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(utf8ToWide("\xE2\x82"), u"\uFFFD\uFFFD");      // cut short
  EXPECT_EQ(wideToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(CodePages, DecodeAndEncodeWindows1250And1252) {
  EXPECT_EQ(codePageToWide("\x80\xE9", 1252), u"€é");
  EXPECT_EQ(codePageToWide("\xB3\xF5", 1250), u"łő");
  EXPECT_EQ(wideToCodePage(u"łő€", 1250), "\xB3\xF5\x80");
  EXPECT_EQ(wideToCodePage(u"Ж", 1252), "?");
  EXPECT_THROW(codePageToWide("x", 437), std::invalid_argument);
}

TEST(Ansi, RoundTripsAsciiOnEveryTarget) {
  EXPECT_EQ(wideToAnsi(ansiToWide("C:\\docs\\a b.docx")), "C:\\docs\\a b.docx");
}

TEST(ByteOrderMarks, AreToldApartAndUtf16BytesGoBothWays) {
  EXPECT_EQ(byteOrderMarkOf("\xEF\xBB\xBFx"), ByteOrderMark::Utf8);
  EXPECT_EQ(byteOrderMarkOf("\xFF\xFE"), ByteOrderMark::Utf16Le);
  EXPECT_EQ(byteOrderMarkOf("\xFE\xFFx"), ByteOrderMark::Utf16Be);
  EXPECT_EQ(byteOrderMarkOf("\xEF\xBB"), ByteOrderMark::None);
  EXPECT_EQ(byteOrderMarkOf("plain"), ByteOrderMark::None);
  EXPECT_EQ(byteOrderMarkSize(ByteOrderMark::Utf8), 3u);
  EXPECT_EQ(wideToUtf16Bytes(u"A\u00E9\u6587", true), std::string("A\0\xE9\0\x87\x65", 6));
  EXPECT_EQ(wideToUtf16Bytes(u"A\u00E9\u6587", false), std::string("\0A\0\xE9\x65\x87", 6));
  EXPECT_EQ(utf16BytesToWide(std::string("A\0\xE9\0\x87\x65\x01", 7), true), u"A\u00E9\u6587");  // odd byte dropped
  EXPECT_EQ(utf16BytesToWide(std::string("\0A\xD8\x3D\xDE\x00", 6), false), u"A\U0001F600");
}
