#include <gtest/gtest.h>

#include <string>

#include "engine/TRenamerFileStructure.h"
#include "platform/Clock.h"

namespace {

// 2024-03-05 12:00:00 UTC: noon keeps the local date the same in every time zone but the
// extreme ones, and the tests compare with the local time the platform reports anyway.
constexpr int64_t kNoon = (1709640000LL + 11644473600LL) * 10000000LL;

std::string expand(const std::string& mask, const std::string& file = "abcdef.doc",
                   const std::string& folder = "C:\\Work\\Docs\\") {
  TRenamerFileStructure r;
  r.Mask = mask;
  return ExpandNameMask(r, folder, file, kNoon);
}

std::string two(int v) { return PadNumber(v, 2); }

}  // namespace

TEST(NameMask, DefaultMaskReproducesTheNameAndDropsAFinalDot) {
  EXPECT_EQ(expand("[N].[E]", "report.final.doc"), "report.final.doc");
  EXPECT_EQ(expand("[N].[E]", "README"), "README");
  EXPECT_EQ(expand("[N].[E]", ".profile"), ".profile");  // empty name, extension "profile"
  EXPECT_EQ(expand("copy of [N]..", "a.b"), "copy of a.");  // only one dot is removed
}

TEST(NameMask, RangesSelectCharactersOfTheNamedPart) {
  EXPECT_EQ(expand("[N2-4].[E]"), "bcd.doc");
  EXPECT_EQ(expand("[N2,3].[E]"), "bcd.doc");
  EXPECT_EQ(expand("[N3-].[E]"), "cdef.doc");
  EXPECT_EQ(expand("[N-3-1]"), "def");
  EXPECT_EQ(expand("[N-2,1]"), "e");
  EXPECT_EQ(expand("[2-4N]"), "bcd");  // the range may stand before the letter
  EXPECT_EQ(expand("[N3].[E]"), "abcdef.doc");  // a single number selects nothing
  EXPECT_EQ(expand("[1-3]"), "abc");            // no letter: the whole file name
  EXPECT_EQ(expand("[-4-1]"), ".doc");
  EXPECT_EQ(expand("[N9-12].[E]"), ".doc");  // a range past the end selects nothing
}

TEST(NameMask, FolderWinsOverNameAndNameOverExtension) {
  EXPECT_EQ(expand("[F]"), "Docs");
  EXPECT_EQ(expand("[EN]"), "abcdef");
  EXPECT_EQ(expand("[NF]"), "Docs");
  EXPECT_EQ(expand("[F]", "a.doc", "C:\\"), "C:");
  EXPECT_EQ(expand("[F]", "a.doc", ""), "");
  EXPECT_EQ(expand("[F]", "a.doc", "/home/x/"), "x");
}

TEST(NameMask, CaseModesLastFromTheirBracketOn) {
  EXPECT_EQ(expand("[U][N].[E]", "Mixed.Doc"), "MIXED.DOC");
  EXPECT_EQ(expand("[U][N][n].[E]", "Mixed.Doc"), "MIXED.Doc");
  EXPECT_EQ(expand("[L]X[N]", "Mixed.Doc"), "xmixed");
  EXPECT_EQ(expand("[NU]-[E]", "Mixed.Doc"), "MIXED-DOC");
}

#ifndef _WIN32
TEST(NameMask, LiteralCharactersOfSeveralBytesKeepWholeThroughCaseAndTheCut) {
  // "é" and "€" are two and three bytes in UTF-8, the Linux batch's file-name encoding.
  EXPECT_EQ(expand("[U][N]_\xc3\xa9\xe2\x82\xac.[E]", "a.doc"), "A_\xc3\x89\xe2\x82\xac.DOC");
  EXPECT_EQ(expand("[L]\xc3\x89", "a.doc"), "\xc3\xa9");
  // 259 bytes, then a character of two: it would cross 260 and goes whole.
  EXPECT_EQ(expand(std::string(259, 'x') + "\xc3\xa9"), std::string(259, 'x'));
}
#endif

TEST(NameMask, DateAndTimeAreLocalAndPadded) {
  platform::LocalTime t = platform::fileTimeToLocal(kNoon);
  EXPECT_EQ(expand("[Y]-[M]-[D]"), std::to_string(t.year) + "-" + two(t.month) + "-" + two(t.day));
  EXPECT_EQ(expand("[h][m][s]"), two(t.hour) + two(t.minute) + two(t.second));
  EXPECT_EQ(expand("[Y]").size(), 4u);
}

TEST(NameMask, CounterFollowsIndexStartStepAndWidth) {
  TRenamerFileStructure r;
  r.Mask = "[N]_[C].[E]";
  r.CounterIndex = 1;
  EXPECT_EQ(ExpandNameMask(r, "d/", "a.doc", kNoon), "a_00000.doc");
  r.CounterIndex = 3;
  EXPECT_EQ(ExpandNameMask(r, "d/", "a.doc", kNoon), "a_00002.doc");
  r.CounterStart = 10;
  r.CounterStep = 5;
  r.CounterWidth = 1;
  EXPECT_EQ(ExpandNameMask(r, "d/", "a.doc", kNoon), "a_20.doc");
  // Values beyond 32 bits saturate instead of wrapping to a negative number.
  r.CounterIndex = 2000000000;
  r.CounterStep = 2000000000;
  EXPECT_EQ(ExpandNameMask(r, "d/", "a.doc", kNoon), "a_2147483647.doc");
}

TEST(NameMask, UnclosedBracketAndUnknownLettersContributeNothing) {
  EXPECT_EQ(expand("[N].[E"), "abcdef");
  EXPECT_EQ(expand("[xyz]a[]"), "a");
  EXPECT_EQ(expand("["), "");
}

TEST(NameMask, NameIsCutBeforeTheTokenThatCrossesTheLimit) {
  std::string longName(250, 'n');
  EXPECT_EQ(expand("[N]-[N]", longName + ".doc"), longName + "-");
  EXPECT_EQ(expand(std::string(10000, 'x')).size(), 260u);
  EXPECT_EQ(expand(std::string(5000, '[') + "N]"), "abcdef");
}

TEST(NameMask, TwentyDigitNumbersSaturate) {
  EXPECT_EQ(expand("[N99999999999999999999-]"), "");
  EXPECT_EQ(expand("[N-99999999999999999999,2]"), "ab");
  EXPECT_EQ(expand("[N1,99999999999999999999]"), "abcdef");
}

TEST(SubstringRange, FollowsTheRangeRules) {
  EXPECT_EQ(SelectSubstring("", 1, 2, false), "");
  EXPECT_EQ(SelectSubstring("abcdef", 2, 0, false), "bcdef");
  EXPECT_EQ(SelectSubstring("abcdef", 2, -5, false), "bcde");
  EXPECT_EQ(SelectSubstring("abcdef", 5, -2, false), "");  // a backward range
  EXPECT_EQ(SelectSubstring("abcdef", -2, 0, false), "ef");
  EXPECT_EQ(SelectSubstring("abcdef", -10, 2, false), "ab");
  EXPECT_EQ(SelectSubstring("abcdef", -3, -2, true), "cd");
  EXPECT_EQ(SelectSubstring("abcdef", INT32_MIN, INT32_MIN, true), "a");
  EXPECT_EQ(SelectSubstring("abcdef", INT32_MAX, INT32_MAX, false), "");
  EXPECT_EQ(SelectSubstring("abcdef", 1, INT32_MAX, false), "abcdef");
}

TEST(SubstringRange, PadNumberPutsZerosBeforeTheSign) {
  EXPECT_EQ(PadNumber(7, 3), "007");
  EXPECT_EQ(PadNumber(-7, 4), "00-7");
  EXPECT_EQ(PadNumber(12345, 2), "12345");
  EXPECT_EQ(PadNumber(1, -5), "1");
}

TEST(MaskedNameSafety, NamesThatWouldLeaveTheFolderOrMeanADeviceAreRefused) {
  for (const char* bad : {"", ".", "..", "...", ". .", "a\\b.doc", "a/b.doc", "C:x.doc", "a*.doc",
                          "a?.doc", "a|b", "a<b", "a>b", "a\"b", "a\tb", "CON", "nul.docx", "Com1.doc",
                          "lpt9", "aux .txt", "a.doc.", "a.doc ", "a.doc. ."})
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  for (const char* good : {"a.doc", ".hidden", "con1.doc", "console.doc", "x..y", "a b.doc", "COM.doc"})
    EXPECT_TRUE(IsPlainFileName(good)) << good;
}

TEST(MaskedNameSafety, DriverCallReportsAMaskThatEscapesTheSourceFolder) {
  TRenamerFileStructure r;
  AnsiString name = "unchanged";
  for (const char* mask : {"..\\[N].[E]", "../[N].[E]", "[F]", ".", "[N9-]", "C:\\[N].[E]"}) {
    r.Mask = mask;
    EXPECT_FALSE(NewFileNameByMask(r, "C:\\", "a.doc", kNoon, name)) << mask;
    EXPECT_EQ(name, "unchanged");
  }
  r.Mask = "[N]_new.[E]";
  EXPECT_TRUE(NewFileNameByMask(r, "C:\\Work\\", "a.doc", kNoon, name));
  EXPECT_EQ(name, "a_new.doc");
}
