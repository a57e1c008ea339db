// The workbook loader on malformed and oversized input, and on every workbook kind.
#include <gtest/gtest.h>

#include "ooxml/package/PackageError.h"
#include "ooxml/package/Zip.h"
#include "ooxml/sheet/CellAccess.h"
#include "ooxml/sheet/SheetXml.h"
#include "ooxml/sheet/XlsxWriter.h"
#include "ooxml/sheet/XlsxReader.h"
#include "tests/ooxml/sheet/SheetFixtures.h"

using namespace ooxml::sheet;

namespace {

const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// A workbook of one sheet with the given sheetData content and shared string items, and a
// styles part with the given content when there is one.
std::string workbookWith(const std::string& rows, const std::string& sharedItems = "", const std::string& styles = "",
                         const std::string& columns = "") {
  ooxml::ZipWriter zip;
  zip.add("[Content_Types].xml",
          "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
          "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
          "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
          "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>");
  zip.add("_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"rId1\" Type=\"" + kRel + "officeDocument\" Target=\"/xl/workbook.xml\"/></Relationships>");
  zip.add("xl/workbook.xml", "<x:workbook xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
          "xmlns:r=\"rels\"><x:sheets><x:sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></x:sheets></x:workbook>");
  zip.add("xl/_rels/workbook.xml.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"rId1\" Type=\"" + kRel + "worksheet\" Target=\"worksheets/s.xml\"/><Relationship Id=\"rId2\" "
          "Type=\"" + kRel + "sharedStrings\" Target=\"strings.xml\"/><Relationship Id=\"rId3\" Type=\"" + kRel +
          "styles\" Target=\"styles.xml\"/></Relationships>");
  if (!styles.empty())
    zip.add("xl/styles.xml", "<x:styleSheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + styles +
            "</x:styleSheet>");
  zip.add("xl/worksheets/s.xml", "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
          columns + "<x:sheetData>" + rows + "</x:sheetData></x:worksheet>");
  zip.add("xl/strings.xml", "<x:sst xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + sharedItems + "</x:sst>");
  return zip.finish();
}

TEST(XlsxReader, PrefixedNamesImplicitPositionsAndSlicedPartsRead) {
  std::string rows;
  for (int r = 1; r <= 300; ++r)
    rows += "<x:row><x:c t=\"s\"><x:v>" + std::to_string(r % 2) + "</x:v></x:c><x:c><x:v>" + std::to_string(r) +
            "</x:v></x:c><x:c t=\"inlineStr\"><x:is><x:t>in</x:t></x:is></x:c></x:row>";
  rows += "<x:row r=\"400\"/>";
  std::string bytes = workbookWith(rows, "<x:si><x:t>even</x:t></x:si><x:si><x:r><x:t>o</x:t></x:r><x:r><x:t>dd</x:t></x:r></x:si>");
  auto book = loadWorkbookBytes(bytes);
  const Sheet& s = book->active();
  ASSERT_EQ(s.cells.size(), 900u);
  EXPECT_EQ(book->strings.at(s.find(1, 1)->string).text, u"odd");
  EXPECT_EQ(s.find(300, 2)->number, 300);
  EXPECT_EQ(book->strings.at(s.find(300, 3)->string).text, u"in");

  // The same read a few items at a time gives the same cells.
  std::vector<int> seen;
  forEachItem("<a><row>1</row><row/><row>3</row><!-- row --><row>4</row></a>", "row",
              [&](ooxml::xml::Node n) { seen.push_back(static_cast<int>(textOf(n).empty() ? 0 : textOf(n)[0] - '0')); }, 8);
  EXPECT_EQ(seen, (std::vector<int>{1, 0, 3, 4}));
}

TEST(XlsxReader, ATextBrokenByACommentOrCDataIsReadWhole) {
  auto book = loadWorkbookBytes(workbookWith(
      "<x:row><x:c t=\"s\"><x:v>0</x:v></x:c><x:c t=\"inlineStr\"><x:is><x:t>p<![CDATA[q]]>r</x:t></x:is></x:c></x:row>",
      "<x:si><x:t>x<!-- a note -->y</x:t></x:si>"));
  const Sheet& s = book->active();
  EXPECT_EQ(book->strings.at(s.find(1, 1)->string).text, u"xy");
  EXPECT_EQ(book->strings.at(s.find(1, 2)->string).text, u"pqr");
}

TEST(XlsxReader, FormulasKeepTheirTextAndCachedResultThroughASave) {
  auto book = loadWorkbookBytes(workbookWith(
      "<x:row r=\"1\"><x:c t=\"str\"><x:f>A2&amp;\"x\"</x:f><x:v>ax</x:v></x:c><x:c><x:f>1+1</x:f><x:v>2</x:v></x:c></x:row>"));
  auto again = loadWorkbookBytes(workbookBytes(*book));
  for (Workbook* b : {book.get(), again.get()}) {
    CellAccess text(*b, b->active(), 1, 1), number(*b, b->active(), 1, 2);
    EXPECT_EQ(text.value(), automation::Variant(u"ax"));
    EXPECT_EQ(text.formulaR1C1(), u"=A2&\"x\"");
    EXPECT_EQ(number.value(), automation::Variant(2.0));
    EXPECT_EQ(number.formulaR1C1(), u"=1+1");
  }
}

// Formulas written to be calculated on opening carry an empty <v/>: a blank, not a bad number.
TEST(XlsxReader, AnEmptyValueElementReadsAsABlankCell) {
  auto book = loadWorkbookBytes(workbookWith(
      "<x:row r=\"1\"><x:c><x:f>SUM(B1:B2)</x:f><x:v></x:v></x:c><x:c t=\"s\"><x:v/></x:c><x:c t=\"n\"><x:v> </x:v></x:c>"
      "<x:c t=\"str\"><x:f>\"\"</x:f><x:v/></x:c></x:row>"));
  for (uint32_t column = 1; column <= 3; ++column)
    EXPECT_TRUE(CellAccess(*book, book->active(), 1, column).value().isEmpty()) << column;
  EXPECT_EQ(CellAccess(*book, book->active(), 1, 1).formulaR1C1(), u"=SUM(B1:B2)");
  EXPECT_EQ(CellAccess(*book, book->active(), 1, 4).value(), automation::Variant(u""));
}

// Excel writes no record for an empty cell of a formatted column or row: the cell still shows
// that format (a replacement column coloured as a whole, its empty cells left empty).
TEST(XlsxReader, EmptyCellsShowTheFormatOfTheirRowOrColumn) {
  const std::string styles =
      "<x:fonts><x:font/><x:font><x:b/></x:font><x:font><x:i/></x:font></x:fonts><x:fills><x:fill/><x:fill/>"
      "<x:fill><x:patternFill patternType=\"solid\"><x:fgColor rgb=\"FFFFFF00\"/></x:patternFill></x:fill></x:fills>"
      "<x:cellXfs><x:xf/><x:xf fontId=\"1\" fillId=\"2\"/><x:xf fontId=\"2\"/></x:cellXfs>";
  auto book = loadWorkbookBytes(workbookWith(
      "<x:row r=\"2\" s=\"2\" customFormat=\"1\"/><x:row r=\"3\"><x:c r=\"B3\"/></x:row><x:row r=\"4\" s=\"2\"/>", "",
      styles, "<x:cols><x:col min=\"4\" max=\"4\" width=\"9\"/><x:col min=\"2\" max=\"3\" style=\"1\"/></x:cols>"));
  CellAccess(*book, book->active(), 5, 3).assign(automation::Variant(u"typed"));
  auto again = loadWorkbookBytes(workbookBytes(*book));  // and the same after a save
  for (Workbook* b : {book.get(), again.get()}) {
    auto at = [&](uint32_t row, uint32_t column) { return CellAccess(*b, b->active(), row, column); };
    const automation::Variant yellow(static_cast<double>(0x00FFFF)), white(16777215.0), yes(true), no(false);
    EXPECT_EQ(at(1, 2).interiorColor(), yellow);  // column B
    EXPECT_EQ(at(1, 3).font(FontProperty::Bold), yes);
    EXPECT_EQ(at(1, 4).interiorColor(), white);   // a width, no format
    EXPECT_EQ(at(2, 1).font(FontProperty::Italic), yes);  // the formatted row
    EXPECT_EQ(at(2, 2).font(FontProperty::Bold), no);     // the row's format before the column's
    EXPECT_EQ(at(3, 2).interiorColor(), white);   // a record of its own, in the default format
    EXPECT_EQ(at(4, 1).font(FontProperty::Italic), no);   // s without customFormat counts for nothing
    EXPECT_EQ(at(5, 3).interiorColor(), yellow);  // a value typed in keeps the column's format
  }
}

TEST(XlsxReader, MalformedSheetsFailWithAReason) {
  EXPECT_NE(failure(workbookWith("<x:row r=\"2\"/><x:row r=\"1\"/>")).find("bad row number"), std::string::npos);
  EXPECT_NE(failure(workbookWith("<x:row r=\"1048577\"/>")).find("bad row number"), std::string::npos);
  EXPECT_NE(failure(workbookWith("<x:row r=\"1\"><x:c r=\"B1\"/><x:c r=\"A1\"/></x:row>")).find("bad cell reference"), std::string::npos);
  EXPECT_NE(failure(workbookWith("<x:row r=\"1\"><x:c r=\"XFE1\"/></x:row>")).find("bad cell reference"), std::string::npos);
  EXPECT_NE(failure(workbookWith("<x:row r=\"1\"><x:c><x:v>12abc</x:v></x:c></x:row>")).find("number"), std::string::npos);
  EXPECT_NE(failure(workbookWith("<x:row r=\"1\"><x:c t=\"s\"><x:v>0</x:v></x:c></x:row>")).find("shared string"), std::string::npos);
  EXPECT_NE(failure(workbookWith("<x:row r=\"1\"><x:c>")).find("at byte"), std::string::npos);
}

TEST(XlsxReader, LimitsOnCellsAndTextStopOversizedWorkbooks) {
  std::string rows;
  for (int r = 1; r <= 20; ++r) rows += "<x:row><x:c t=\"inlineStr\"><x:is><x:t>0123456789</x:t></x:is></x:c></x:row>";
  WorkbookLimits few;
  few.maxCells = 10;
  EXPECT_NE(failure(workbookWith(rows), few).find("more than 10 cells"), std::string::npos);
  WorkbookLimits little;
  little.maxTotalText = 100;
  EXPECT_NE(failure(workbookWith(rows), little).find("more text"), std::string::npos);
  EXPECT_EQ(failure(workbookWith(rows)), "loaded");
}

// A megabyte file of empty shared texts or one-letter runs used to take gigabytes: they are
// counted, and runs that go on in the same font become one.
TEST(XlsxReader, EmptySharedTextsAndRichTextRunsAreCountedAgainstLimits) {
  const std::string cell = "<x:row><x:c t=\"s\"><x:v>0</x:v></x:c></x:row>";
  std::string empty;
  for (int i = 0; i < 20; ++i) empty += "<x:si></x:si>";
  WorkbookLimits few;
  few.maxCells = 10;
  EXPECT_NE(failure(workbookWith(cell, empty), few).find("more than 10 shared texts"), std::string::npos);

  std::string alternating, same;
  for (int i = 0; i < 20; ++i) {
    alternating += i % 2 ? "<x:r><x:rPr><x:b/></x:rPr><x:t>b</x:t></x:r>" : "<x:r><x:t>p</x:t></x:r>";
    same += "<x:r><x:rPr><x:i/></x:rPr><x:t>i</x:t></x:r>";
  }
  WorkbookLimits fewRuns;
  fewRuns.maxRuns = 10;
  EXPECT_NE(failure(workbookWith(cell, "<x:si>" + alternating + "</x:si>"), fewRuns).find("over 10"), std::string::npos);
  EXPECT_NE(failure(workbookWith(cell + "<x:row><x:c t=\"inlineStr\"><x:is>" + alternating + "</x:is></x:c></x:row>",
                                 "<x:si><x:t>a</x:t></x:si>"), fewRuns).find("over 10"), std::string::npos);

  auto book = loadWorkbookBytes(workbookWith(cell, "<x:si><x:r><x:t>p</x:t></x:r>" + same + "</x:si>"), fewRuns);
  const RichString& merged = book->strings.at(0);
  ASSERT_EQ(merged.runs.size(), 2u);
  EXPECT_EQ(merged.runs[1].text, std::u16string(20, u'i'));
  EXPECT_TRUE(merged.runs[1].font->italic);
  CellAccess a1(*book, book->active(), 1, 1);
  EXPECT_TRUE(a1.font(FontProperty::Italic).isNull());
}

// Half a megabyte of compressed <x:font/> used to become ten gigabytes of nodes and fonts.
TEST(XlsxReader, AStylesPartOfMillionsOfElementsIsRefusedInBoundedMemory) {
  std::string fonts;
  for (int i = 0; i < 2'100'000; ++i) fonts += "<x:font/>";
  EXPECT_NE(failure(workbookWith("<x:row/>", "", "<x:fonts>" + fonts + "</x:fonts>")).find("too many XML nodes"),
            std::string::npos);
  auto book = loadWorkbookBytes(workbookWith("<x:row/>", "", "<x:fonts><x:font><x:b/></x:font></x:fonts>"));
  EXPECT_TRUE(book->styles.fonts.at(0).bold);
}

TEST(XlsxReader, TemplatesAndMacroWorkbooksAreWorkbooks) {
  for (const char* name : {"template.xltx", "macros.xlsm", "plain.xlsx"}) {
    auto book = loadWorkbook(xlsxFixture(name));
    EXPECT_EQ(book->strings.at(book->active().find(1, 2)->string).text, u"beta") << name;
  }
  auto plain = loadWorkbook(xlsxFixture("plain.xlsx"));  // no theme: the default scheme stands
  EXPECT_EQ(plain->styles.colors.themeScheme, ColorContext::defaultThemeScheme());
}

}  // namespace
