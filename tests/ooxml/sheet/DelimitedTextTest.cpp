// Text files of values opened as workbooks: what each cell holds and shows, and files that are
// no text.
#include <gtest/gtest.h>

#include "ooxml/package/PackageError.h"
#include "ooxml/sheet/CellAccess.h"
#include "ooxml/sheet/DelimitedTextReader.h"
#include "ooxml/sheet/XlsxWriter.h"
#include "tests/ooxml/sheet/SheetFixtures.h"

using namespace ooxml::sheet;

namespace {

std::string shown(Workbook& book, uint32_t row, uint32_t column) {
  return platform::wideToUtf8(CellAccess(book, book.active(), row, column).text());
}

std::string utf16le(std::u16string_view text) { return "\xFF\xFE" + platform::wideToUtf16Bytes(text, true); }

}  // namespace

TEST(DelimitedText, QuotesSeparatorsAndLineEndsAsExcelReadsThem) {
  auto book = loadDelimitedText("colour,color\r\n\"a, b\",\"say \"\"hi\"\"\"\n\"two\r\nlines\",x\"y\"\r,,third\n", ',', u"list");
  EXPECT_EQ(platform::wideToUtf8(book->active().name), "list");
  EXPECT_EQ(shown(*book, 1, 1), "colour");
  EXPECT_EQ(shown(*book, 1, 2), "color");
  EXPECT_EQ(shown(*book, 2, 1), "a, b");
  EXPECT_EQ(shown(*book, 2, 2), "say \"hi\"");
  EXPECT_EQ(shown(*book, 3, 1), "two\nlines");  // a line end inside quotes stays in the cell
  EXPECT_EQ(shown(*book, 3, 2), "x\"y\"");      // a quote inside a field is text
  EXPECT_EQ(shown(*book, 4, 1), "");
  EXPECT_EQ(shown(*book, 4, 3), "third");
  EXPECT_EQ(book->active().find(4, 1), nullptr);  // empty fields leave no cell
  // A file written with semicolons (Excel where the decimal mark is a comma) is read as one;
  // where a first line holds as many commas outside quotes or more, commas it is.
  auto semicolons = loadDelimitedText("\"a;b\";c;1,5\nd;e\n", ',', u"s");
  EXPECT_EQ(shown(*semicolons, 1, 1), "a;b");
  EXPECT_EQ(shown(*semicolons, 1, 3), "1,5");
  EXPECT_EQ(shown(*semicolons, 2, 2), "e");
  auto commas = loadDelimitedText("\"a;b;c\",d;e,f\n", ',', u"c");
  EXPECT_EQ(shown(*commas, 1, 1), "a;b;c");
  EXPECT_EQ(shown(*commas, 1, 2), "d;e");
  EXPECT_EQ(shown(*commas, 1, 3), "f");
  // TAB-separated files keep commas in their texts.
  auto tabs = loadDelimitedText("a,b\tc\n", '\t', u"t");
  EXPECT_EQ(shown(*tabs, 1, 1), "a,b");
  EXPECT_EQ(shown(*tabs, 1, 2), "c");
}

TEST(DelimitedText, ValuesAreTakenAsTypedOnesAreButFormulasStayText) {
  auto book = loadDelimitedText("007,\"1.50\",TRUE,=A1+1,'12,-0,1e400\n", ',', u"v");
  EXPECT_EQ(book->active().find(1, 1)->kind, CellKind::Number);
  EXPECT_EQ(shown(*book, 1, 1), "7");
  EXPECT_EQ(shown(*book, 1, 2), "1.5");  // quotes group, they do not make text
  EXPECT_EQ(book->active().find(1, 3)->kind, CellKind::Boolean);
  EXPECT_EQ(shown(*book, 1, 4), "=A1+1");
  EXPECT_EQ(book->active().find(1, 4)->kind, CellKind::String);
  EXPECT_EQ(shown(*book, 1, 5), "'12");
  EXPECT_EQ(shown(*book, 1, 7), "1e400");  // too large for a number: text
}

TEST(DelimitedText, ByteOrderMarksSayTheEncodingAndBinaryIsRefused) {
  auto utf8 = loadDelimitedText("\xEF\xBB\xBF" "f\xC3\xA4rg,\xE6\x96\x87\n", ',', u"u");
  EXPECT_EQ(shown(*utf8, 1, 1), "f\xC3\xA4rg");
  EXPECT_EQ(shown(*utf8, 1, 2), "\xE6\x96\x87");
  auto wide = loadDelimitedText(utf16le(u"colour\tf\u00e4rg\r\n"), '\t', u"w");
  EXPECT_EQ(shown(*wide, 1, 2), "f\xC3\xA4rg");
  EXPECT_THROW(loadDelimitedText(std::string("PK\x03\x04\0\0junk", 10), ',', u"b"), ooxml::PackageError);
  EXPECT_EQ(loadDelimitedText("", ',', u"e")->active().cells.size(), 0u);
}

TEST(DelimitedText, LimitsHold) {
  WorkbookLimits limits;
  limits.maxCells = 3;
  EXPECT_THROW(loadDelimitedText("a,b\nc,d\n", ',', u"x", limits), ooxml::PackageError);
  limits = {};
  limits.maxTextLength = 4;
  auto cut = loadDelimitedText("abcdefgh\n", ',', u"x", limits);
  EXPECT_EQ(shown(*cut, 1, 1), "abcd");  // cut where a cell's text ends, as Excel does
  // Past the last row and column nothing is kept, and nothing fails.
  std::string wideRow;
  for (uint32_t i = 0; i <= kMaxColumns; ++i) wideRow += "x,";
  auto book = loadDelimitedText(wideRow + "\n", ',', u"x");
  EXPECT_EQ(book->active().cells.size(), kMaxColumns);
  auto many = loadDelimitedText(std::string(kMaxRows + 10, '\n') + "late\n", ',', u"x");
  EXPECT_TRUE(many->active().cells.empty());
}

using automation::Ole;

class DelimitedTextFiles : public SheetScratch {};

TEST_F(DelimitedTextFiles, ExcelOpensATextFileByItsNameAndAPackageByItsContent) {
  platform::writeFileAtomically(scratch("list.CSV"), "two,2\n");
  Ole excel{ooxml::createExcelApplication()};
  Ole book = excel.get("Workbooks").call("Add", scratch("list.CSV").c_str());
  EXPECT_EQ(platform::wideToUtf8(excel.get("Cells").get("Item", 1, 2).get("Text").toString()), "2");
  book.call("Close", false);
  EXPECT_EQ(platform::wideToUtf8(loadWorkbook(scratch("list.CSV"))->active().name), "list");

  // A workbook saved under a text file's name is still read as the workbook it is.
  Workbook model;
  CellAccess(model, model.active(), 1, 1).assign(automation::Variant(u"packaged"));
  platform::writeFileAtomically(scratch("renamed.csv"), workbookBytes(model));
  auto reread = loadWorkbook(scratch("renamed.csv"));
  EXPECT_EQ(shown(*reread, 1, 1), "packaged");
  // Text under a workbook's name is not one.
  platform::writeFileAtomically(scratch("text.xlsx"), "a,b\n");
  EXPECT_THROW(loadWorkbook(scratch("text.xlsx")), ooxml::PackageError);
}
