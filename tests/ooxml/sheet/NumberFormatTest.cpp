// The displayed text of numbers (Range.Text) and the kind of value a format makes Value hand out.
#include <gtest/gtest.h>

#include "ooxml/sheet/NumberFormat.h"
#include "ooxml/sheet/Workbook.h"

using namespace ooxml::sheet;

namespace {

std::string shown(double v, const char* code, bool date1904 = false) {
  return platform::wideToUtf8(formatNumber(v, platform::utf8ToWide(code), date1904));
}
std::string builtin(double v, uint32_t id) { return platform::wideToUtf8(formatNumber(v, builtinFormatCode(id))); }

TEST(NumberFormat, GeneralFitsElevenCharactersLikeAStandardColumn) {
  EXPECT_EQ(platform::wideToUtf8(formatGeneral(12)), "12");
  EXPECT_EQ(platform::wideToUtf8(formatGeneral(-1.5)), "-1.5");
  EXPECT_EQ(platform::wideToUtf8(formatGeneral(1.0 / 3)), "0.333333333");
  EXPECT_EQ(platform::wideToUtf8(formatGeneral(-1.0 / 3)), "-0.33333333");
  EXPECT_EQ(platform::wideToUtf8(formatGeneral(12345678901.0)), "12345678901");
  EXPECT_EQ(platform::wideToUtf8(formatGeneral(123456789012.0)), "1.23457E+11");
  EXPECT_EQ(platform::wideToUtf8(formatGeneral(0.000000000123)), "1.23E-10");
  EXPECT_EQ(platform::wideToUtf8(formatGeneral(1e300)), "1E+300");
  EXPECT_EQ(platform::wideToUtf8(formatGeneral(0.1 + 0.2)), "0.3");
}

TEST(NumberFormat, BuiltInNumberFormats) {
  EXPECT_EQ(builtin(12, 2), "12.00");
  EXPECT_EQ(builtin(12.345, 1), "12");
  EXPECT_EQ(builtin(1234567.891, 3), "1,234,568");
  EXPECT_EQ(builtin(1234567.891, 4), "1,234,567.89");
  EXPECT_EQ(builtin(-1234.5, 4), "-1,234.50");
  EXPECT_EQ(builtin(0.256, 9), "26%");
  EXPECT_EQ(builtin(0.256, 10), "25.60%");
  EXPECT_EQ(builtin(12345, 11), "1.23E+04");
  EXPECT_EQ(builtin(0.00012345, 11), "1.23E-04");
  EXPECT_EQ(builtin(12345, 48), "12.3E+3");
  EXPECT_EQ(builtin(1.5, 12), "1 1/2");
  EXPECT_EQ(builtin(0.3333, 13), "  1/3 ");
  EXPECT_EQ(builtin(-1234, 37), "(1,234)");
  EXPECT_EQ(builtin(1234, 37), "1,234 ");
  EXPECT_EQ(builtin(42, 49), "42");
  EXPECT_EQ(builtin(0.5, 1), "1");  // halves round away from zero
  EXPECT_EQ(builtin(0, 2), "0.00");
}

TEST(NumberFormat, BuiltInIdsWeDoNotListShowAsGeneralNotAsNothing) {
  // East-Asian workbooks use ids 27 to 36 and 50 to 81 for dates without writing their codes;
  // shown as empty text, such a number would make a row delete every text it finds.
  Styles styles;
  styles.cellFormats = {CellFormat{}, CellFormat{31}, CellFormat{57}, CellFormat{2}, CellFormat{200}};
  for (uint32_t xf : {1u, 2u, 4u}) EXPECT_EQ(platform::wideToUtf8(styles.formatCode(xf)), "General") << xf;
  EXPECT_EQ(platform::wideToUtf8(styles.formatCode(3)), "0.00");
}

TEST(NumberFormat, CustomCodesWithLiteralsSectionsAndScaling) {
  EXPECT_EQ(shown(5, "0.0 \"kg\""), "5.0 kg");
  EXPECT_EQ(shown(-5, "0;[Red]\\(0\\)"), "(5)");
  EXPECT_EQ(shown(0, "0;-0;\"zero\""), "zero");
  EXPECT_EQ(shown(1500000, "#,##0,,\"M\""), "2M");
  EXPECT_EQ(shown(7, "000"), "007");
  EXPECT_EQ(shown(3.1, "#.##"), "3.1");
  EXPECT_EQ(shown(3, "#.##"), "3.");
  EXPECT_EQ(shown(1234.5, "[$\xE2\x82\xAC-407] #,##0.00"), "\xE2\x82\xAC 1,234.50");
  EXPECT_EQ(shown(150, "[>100]\"big\";\"small\""), "big");
  EXPECT_EQ(shown(50, "[>100]\"big\";\"small\""), "small");
  EXPECT_EQ(shown(1.25, "# ?/4"), "1 1/4");
  EXPECT_EQ(shown(-0.001, "0.00"), "0.00");
  EXPECT_EQ(shown(2, ";;;"), "");
}

TEST(NumberFormat, DatesAndTimesFromSerialNumbers) {
  EXPECT_EQ(builtin(45000, 14), "03-15-23");
  EXPECT_EQ(builtin(45000, 15), "15-Mar-23");
  EXPECT_EQ(builtin(45000.75, 22), "3/15/23 18:00");
  EXPECT_EQ(builtin(0.5625, 18), "1:30 PM");
  EXPECT_EQ(builtin(0.0001, 21), "0:00:09");
  EXPECT_EQ(builtin(1.5, 46), "36:00:00");
  EXPECT_EQ(builtin(0.00071, 47), "0101.3");
  EXPECT_EQ(shown(45000, "dddd, mmmm d, yyyy"), "Wednesday, March 15, 2023");
  EXPECT_EQ(shown(60, "yyyy-mm-dd"), "1900-02-29");  // the phantom leap day of the 1900 system
  EXPECT_EQ(shown(61, "yyyy-mm-dd ddd"), "1900-03-01 Thu");
  EXPECT_EQ(shown(1, "yyyy-mm-dd", true), "1904-01-02");
  EXPECT_EQ(shown(0.999999, "h:mm:ss"), "0:00:00");  // rounds into the next day
  EXPECT_EQ(builtin(1.005, 2), "1.01");               // rounded on fifteen digits, halves away from zero
  EXPECT_EQ(shown(-1, "yyyy-mm-dd"), "-1");
}

TEST(NumberFormat, TextFormatsAndTheTextSection) {
  EXPECT_EQ(formatText(u"abc", u"@"), u"abc");
  EXPECT_EQ(formatText(u"abc", u"0;0;0;\"<\"@\">\""), u"<abc>");
  EXPECT_EQ(formatText(u"abc", u"0.00"), u"abc");
}

TEST(NumberFormat, KindsDecideWhatValueHandsOut) {
  EXPECT_EQ(classifyFormat(u"General"), FormatKind::General);
  EXPECT_EQ(classifyFormat(u""), FormatKind::General);
  EXPECT_EQ(classifyFormat(u"0.00"), FormatKind::Number);
  EXPECT_EQ(classifyFormat(builtinFormatCode(14)), FormatKind::Date);
  EXPECT_EQ(classifyFormat(builtinFormatCode(46)), FormatKind::Date);
  EXPECT_EQ(classifyFormat(builtinFormatCode(7)), FormatKind::Currency);
  EXPECT_EQ(classifyFormat(builtinFormatCode(44)), FormatKind::Currency);
  EXPECT_EQ(classifyFormat(u"[$\u20AC-407] #,##0.00"), FormatKind::Currency);
  EXPECT_EQ(classifyFormat(u"[Red]0.0"), FormatKind::Number);
  EXPECT_EQ(classifyFormat(u"@"), FormatKind::Text);
  EXPECT_EQ(classifyFormat(u"\"days\" 0"), FormatKind::Number);
}

TEST(NumberFormat, OleDatesAndSerialsConvertBothWays) {
  EXPECT_EQ(serialToOleDate(45000, false), 45000);
  EXPECT_EQ(serialToOleDate(1, false), 2);  // 1900-01-01
  EXPECT_EQ(oleDateToSerial(serialToOleDate(59, false), false), 59);
  EXPECT_EQ(serialToOleDate(0, true), 1462);
}

}  // namespace
