// The OpenDocument spreadsheet reader: tables saved as .ods or .fods by LibreOffice must answer
// every member the table reader uses exactly as the same tables saved as .xlsx do, and what a
// hand-made or hostile file holds must read as LibreOffice reads it, or fail with a message.
#include <gtest/gtest.h>

#include <algorithm>

#include "ooxml/package/PackageError.h"
#include "ooxml/package/Zip.h"
#include "ooxml/sheet/CellAccess.h"
#include "ooxml/sheet/OdsReader.h"
#include "ooxml/sheet/XlsxReader.h"
#include "platform/Files.h"
#include "tests/ooxml/sheet/SheetFixtures.h"

using namespace ooxml::sheet;
using automation::Variant;
using automation::VarType;

namespace {

// LibreOffice writes the fonts metric-compatible with its own under their Windows names when it
// saves .xlsx; the .ods names the font the user chose.
std::string asSavedInXlsx(const std::string& font) {
  if (font == "Liberation Serif") return "Times New Roman";
  if (font == "Liberation Sans") return "Arial";
  return font;
}

// What the table reader asks of one cell; a font name as .xlsx would save it, or left out.
std::string answers(Workbook& book, Sheet& sheet, uint32_t row, uint32_t column, bool fontNames = true) {
  return cellAnswers(book, sheet, row, column, [&](const Variant& v) -> std::optional<std::string> {
    if (!fontNames) return std::nullopt;
    return v.type() == VarType::String ? asSavedInXlsx(v.toUtf8()) : describe(v);
  });
}

// LibreOffice saves a formula's boolean result in .xlsx as the number 1 or 0 in a TRUE/FALSE
// format; the .ods keeps it a boolean, as Excel holds it.
struct SavedAsNumber {
  const char* book;
  size_t sheet;
  uint32_t row, column;
};
constexpr SavedAsNumber kBooleanFormulas[] = {{"xls-values", 1, 11, 2}};

bool savedAsNumber(const std::string& book, size_t sheet, uint32_t row, uint32_t column) {
  for (auto& u : kBooleanFormulas)
    if (book == u.book && sheet == u.sheet && row == u.row && column == u.column) return true;
  return false;
}

// Compares two workbooks cell by cell over both extents and a margin.
size_t compareBooks(Workbook& a, Workbook& b, const std::string& label, bool fontNames) {
  EXPECT_EQ(a.sheets.size(), b.sheets.size()) << label;
  size_t compared = 0;
  for (size_t i = 0; i < std::min(a.sheets.size(), b.sheets.size()); ++i) {
    Sheet& x = a.sheets[i];
    Sheet& y = b.sheets[i];
    EXPECT_EQ(x.name, y.name);
    const auto [rows, columns] = comparedGrid(x, y, false);
    for (uint32_t r = 1; r <= rows; ++r)
      for (uint32_t c = 1; c <= columns; ++c, ++compared) {
        if (fontNames && savedAsNumber(label, i, r, c)) {
          EXPECT_EQ(CellAccess(a, x, r, c).value(), Variant(true));
          EXPECT_EQ(CellAccess(b, y, r, c).value(), Variant(1.0));
          continue;
        }
        EXPECT_EQ(answers(a, x, r, c, fontNames), answers(b, y, r, c, fontNames))
            << label << " sheet " << i + 1 << " R" << r << "C" << c;
      }
  }
  return compared;
}

class OdsMatchesXlsx : public ::testing::TestWithParam<const char*> {};

TEST_P(OdsMatchesXlsx, EveryCellAnswersAsTheSameWorkbookSavedAsXlsx) {
  const std::string base = GetParam();
  auto ods = fixtureBook(base + ".ods");
  auto xlsx = fixtureBook(base + ".xlsx");
  EXPECT_EQ(ods->activeSheet, xlsx->activeSheet);
  EXPECT_GT(compareBooks(*ods, *xlsx, base, true), 20u);
}

// The flat file LibreOffice made the .ods from names no default font (LibreOffice put in the one
// it had), and its paragraphs hold hand-written texts: the data styles still show the same. It
// was left on its second sheet, a view the converter, showing no window, did not keep.
TEST_P(OdsMatchesXlsx, TheFlatFileAnswersAsThePackage) {
  const std::string base = GetParam();
  auto fods = fixtureBook(base + ".fods");
  auto ods = fixtureBook(base + ".ods");
  EXPECT_GT(compareBooks(*fods, *ods, base, false), 20u);
  EXPECT_EQ(fods->activeSheet, base == "xls-values" ? 1u : 0u);
  EXPECT_EQ(CellAccess(*fods, fods->sheets[0], 1, 1).font(FontProperty::Name), Variant(u"Liberation Sans"));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, OdsMatchesXlsx, ::testing::Values("calc-table", "xls-values", "xls-texts"),
                         [](const auto& info) { std::string n = info.param; std::replace(n.begin(), n.end(), '-', '_'); return n; });

// ---- Hand-made files: what one fact needs and nothing more ----

const char* kNamespaces =
    R"( xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
    R"( xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0")"
    R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")"
    R"( xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0")"
    R"( xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0")"
    R"( xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0")"
    R"( xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0")"
    R"( xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0")";

std::string flat(const std::string& tables, const std::string& styles = "", const std::string& automatic = "") {
  return std::string("<?xml version=\"1.0\"?><office:document") + kNamespaces +
         " office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:styles>" + styles +
         "</office:styles><office:automatic-styles>" + automatic + "</office:automatic-styles><office:body><office:spreadsheet>" +
         tables + "</office:spreadsheet></office:body></office:document>";
}

std::string table(const std::string& rows) { return "<table:table table:name=\"T\">" + rows + "</table:table>"; }
std::string textCell(const std::string& text, const std::string& attributes = "") {
  return "<table:table-cell office:value-type=\"string\"" + attributes + "><text:p>" + text + "</text:p></table:table-cell>";
}

std::string package(const std::string& content, const std::string& mime = "application/vnd.oasis.opendocument.spreadsheet",
                    const std::string& manifest = "") {
  ooxml::ZipWriter zip;
  zip.add("mimetype", mime, 0);
  if (!manifest.empty()) zip.add("META-INF/manifest.xml", manifest);
  zip.add("content.xml", content);
  return zip.finish();
}

std::string content(const std::string& tables, const std::string& automatic = "") {
  return std::string("<?xml version=\"1.0\"?><office:document-content") + kNamespaces + "><office:automatic-styles>" +
         automatic + "</office:automatic-styles><office:body><office:spreadsheet>" + tables +
         "</office:spreadsheet></office:body></office:document-content>";
}

struct Book {
  std::unique_ptr<Workbook> book;
  explicit Book(std::string bytes, const WorkbookLimits& limits = {}) : book(loadWorkbookBytes(std::move(bytes), limits)) {}
  CellAccess at(uint32_t row, uint32_t column) { return CellAccess(*book, book->sheets[0], row, column); }
  Sheet& sheet() { return book->sheets[0]; }
};

TEST(OdsReader, RepeatedEmptyRowsAndCellsCostNothingAndRepeatedValuesFillTheirRange) {
  Book b(flat(table(
      "<table:table-row table:number-rows-repeated=\"2\">" + textCell("x", " table:number-columns-repeated=\"3\"") +
      "<table:table-cell table:number-columns-repeated=\"16380\"/></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"1048574\"><table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"5\">" + textCell("past the last row") + "</table:table-row>")));
  EXPECT_EQ(b.sheet().cells.size(), 6u);
  EXPECT_EQ(b.at(2, 3).value(), Variant(u"x"));
  EXPECT_EQ(b.at(2, 4).value().type(), VarType::Empty);
  EXPECT_EQ(b.at(3, 1).value().type(), VarType::Empty);
}

TEST(OdsReader, CoveredCellsAndRowGroupsKeepTheColumnsAndRowsTheyStandFor) {
  Book b(flat(table(
      "<table:table-header-rows><table:table-row>" + textCell("head") + "</table:table-row></table:table-header-rows>"
      "<table:table-row-group><table:table-row-group><table:table-row>"
      "<table:table-cell table:number-columns-spanned=\"2\" office:value-type=\"string\"><text:p>merged</text:p></table:table-cell>"
      "<table:covered-table-cell/>" + textCell("third") + "</table:table-row></table:table-row-group></table:table-row-group>"
      "<table:table-row>" + textCell("last") + "</table:table-row>")));
  EXPECT_EQ(b.at(1, 1).value(), Variant(u"head"));
  EXPECT_EQ(b.at(2, 1).value(), Variant(u"merged"));
  EXPECT_EQ(b.at(2, 3).value(), Variant(u"third"));
  EXPECT_EQ(b.at(3, 1).value(), Variant(u"last"));
}

TEST(OdsReader, ParagraphsSpacesTabsAndLineBreaksMakeTheTextExcelHolds) {
  Book b(flat(table(
      "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>one</text:p><text:p>two</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p>a<text:s text:c=\"3\"/>b<text:tab/>c<text:line-break/>d</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p>\n   wrapped\n   markup  here </text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p><text:a xlink:href=\"x\">link</text:a> text</text:p>"
      "<office:annotation><text:p>a note</text:p></office:annotation></table:table-cell>"
      "<table:table-cell office:value-type=\"string\"><text:p><text:s text:c=\"999999999\"/></text:p></table:table-cell></table:table-row>")));
  EXPECT_EQ(b.at(1, 1).value(), Variant(u"one\ntwo"));
  EXPECT_EQ(b.at(1, 2).value(), Variant(u"a   b\tc\nd"));
  EXPECT_EQ(b.at(1, 3).value(), Variant(u"wrapped markup here "));
  EXPECT_EQ(b.at(1, 4).value(), Variant(u"link text"));
  EXPECT_EQ(b.at(1, 5).value().toString().size(), 32767u);  // cut where Excel cuts a cell's text
}

TEST(OdsReader, SpansThatChangeTheFontAreRunsAndMixedPropertiesReadAsNull) {
  const std::string styles =
      "<style:style style:name=\"Tb\" style:family=\"text\"><style:text-properties fo:font-weight=\"bold\"/></style:style>"
      "<style:style style:name=\"Tsame\" style:family=\"text\"><style:text-properties fo:font-size=\"10pt\"/></style:style>"
      "<style:style style:name=\"Tbig\" style:family=\"text\" style:parent-style-name=\"Tb\"><style:text-properties fo:font-size=\"150%\"/></style:style>";
  Book b(flat(table("<table:table-row>" + textCell("a <text:span text:style-name=\"Tb\">bold</text:span> word") +
                    textCell("<text:span text:style-name=\"Tsame\">plain</text:span>") +
                    textCell("<text:span text:style-name=\"Tbig\">all big</text:span>") + "</table:table-row>"),
              "", styles));
  EXPECT_EQ(b.at(1, 1).value(), Variant(u"a bold word"));
  EXPECT_EQ(b.at(1, 1).font(FontProperty::Bold).type(), VarType::Null);
  EXPECT_EQ(b.at(1, 1).font(FontProperty::Size), Variant(10.0));
  EXPECT_EQ(b.at(1, 2).font(FontProperty::Bold), Variant(false));  // a span that changes nothing
  EXPECT_TRUE(b.book->strings[b.sheet().find(1, 2)->string].runs.empty());
  EXPECT_EQ(b.at(1, 3).font(FontProperty::Bold), Variant(true));   // from the span style's parent
  EXPECT_EQ(b.at(1, 3).font(FontProperty::Size), Variant(15.0));
}

TEST(OdsReader, CellStylesInheritFromParentsAndTheDefaultStyleAndResolveFontFaces) {
  const std::string common =
      "<style:default-style style:family=\"table-cell\"><style:text-properties style:font-name=\"Face\" fo:font-size=\"12pt\"/></style:default-style>"
      "<style:style style:name=\"Default\" style:family=\"table-cell\"/>"
      "<style:style style:name=\"Base\" style:family=\"table-cell\" style:parent-style-name=\"Default\">"
      "<style:table-cell-properties fo:background-color=\"#102030\"/><style:text-properties fo:font-weight=\"700\" fo:color=\"#ff0000\"/></style:style>";
  const std::string automatic =
      "<style:style style:name=\"ce1\" style:family=\"table-cell\" style:parent-style-name=\"Base\">"
      "<style:text-properties fo:font-style=\"italic\" style:use-window-font-color=\"true\" style:text-underline-style=\"solid\" style:text-underline-type=\"double\"/></style:style>"
      "<style:style style:name=\"loop1\" style:family=\"table-cell\" style:parent-style-name=\"loop2\"/>"
      "<style:style style:name=\"loop2\" style:family=\"table-cell\" style:parent-style-name=\"loop1\"><style:table-cell-properties fo:background-color=\"transparent\"/></style:style>";
  std::string doc = flat(table("<table:table-column table:default-cell-style-name=\"Base\"/><table:table-column/><table:table-row>" +
                               textCell("base") + textCell("own", " table:style-name=\"ce1\"") +
                               textCell("loop", " table:style-name=\"loop1\"") + textCell("unknown", " table:style-name=\"nope\"") +
                               "</table:table-row>"),
                         common, automatic);
  doc.insert(doc.find("<office:styles>"),
             "<office:font-face-decls><style:font-face style:name=\"Face\" svg:font-family=\"'Real Family'\"/></office:font-face-decls>");
  Book b(doc);
  EXPECT_EQ(b.at(1, 1).font(FontProperty::Bold), Variant(true));  // the column's style
  EXPECT_EQ(b.at(1, 1).font(FontProperty::Name), Variant(u"Real Family"));
  EXPECT_EQ(b.at(1, 1).interiorColor(), Variant(static_cast<double>(0x302010)));
  EXPECT_EQ(b.at(1, 1).font(FontProperty::Color), Variant(static_cast<double>(0x0000FF)));
  EXPECT_EQ(b.at(1, 2).font(FontProperty::Italic), Variant(true));
  EXPECT_EQ(b.at(1, 2).font(FontProperty::Bold), Variant(true));
  EXPECT_EQ(b.at(1, 2).font(FontProperty::Color), Variant(0.0));  // the window text colour again
  EXPECT_EQ(b.at(1, 2).font(FontProperty::Underline), Variant(static_cast<int32_t>(kUnderlineDouble)));
  EXPECT_EQ(b.at(1, 2).font(FontProperty::Size), Variant(12.0));
  EXPECT_EQ(b.at(1, 3).interiorColor(), Variant(16777215.0));  // a cycle of parents ends
  EXPECT_EQ(b.at(1, 4).font(FontProperty::Size), Variant(12.0));  // an unknown style reads as none
  EXPECT_EQ(b.at(2, 1).font(FontProperty::Bold), Variant(false));  // a cell the file does not list
}

TEST(OdsReader, EveryValueTypeGivesExcelsValueAndDataStylesGiveItsText) {
  const std::string automatic =
      "<number:time-style style:name=\"Nt\" number:truncate-on-overflow=\"false\"><number:hours/><number:text>:</number:text>"
      "<number:minutes number:style=\"long\"/></number:time-style>"
      "<number:currency-style style:name=\"Nc\"><number:number number:decimal-places=\"2\" number:min-integer-digits=\"1\" number:grouping=\"true\"/>"
      "<number:text> </number:text><number:currency-symbol>€</number:currency-symbol></number:currency-style>"
      "<number:percentage-style style:name=\"Np\"><number:number number:decimal-places=\"0\" number:min-integer-digits=\"1\"/><number:text>%</number:text></number:percentage-style>"
      "<number:number-style style:name=\"NnegP\"><number:number number:decimal-places=\"1\" number:min-integer-digits=\"1\"/></number:number-style>"
      "<number:number-style style:name=\"Nneg\"><number:text>(</number:text><number:number number:decimal-places=\"1\" number:min-integer-digits=\"1\"/>"
      "<number:text>)</number:text><style:map style:condition=\"value()&gt;=0\" style:apply-style-name=\"NnegP\"/></number:number-style>"
      "<number:date-style style:name=\"Nweek\"><number:week-of-year/></number:date-style>"
      "<style:style style:name=\"t\" style:family=\"table-cell\" style:data-style-name=\"Nt\"/>"
      "<style:style style:name=\"c\" style:family=\"table-cell\" style:data-style-name=\"Nc\"/>"
      "<style:style style:name=\"p\" style:family=\"table-cell\" style:data-style-name=\"Np\"/>"
      "<style:style style:name=\"n\" style:family=\"table-cell\" style:data-style-name=\"Nneg\"/>"
      "<style:style style:name=\"w\" style:family=\"table-cell\" style:data-style-name=\"Nweek\"/>";
  Book b(flat(table(
                  "<table:table-row>"
                  "<table:table-cell table:style-name=\"t\" office:value-type=\"time\" office:time-value=\"PT26H30M00S\"><text:p>26:30</text:p></table:table-cell>"
                  "<table:table-cell table:style-name=\"c\" office:value-type=\"currency\" office:currency=\"EUR\" office:value=\"1234.5\"><text:p>x</text:p></table:table-cell>"
                  "<table:table-cell table:style-name=\"p\" office:value-type=\"percentage\" office:value=\"0.25\"><text:p>x</text:p></table:table-cell>"
                  "<table:table-cell table:style-name=\"n\" office:value-type=\"float\" office:value=\"-2.5\"><text:p>x</text:p></table:table-cell>"
                  "<table:table-cell table:style-name=\"n\" office:value-type=\"float\" office:value=\"2.5\"><text:p>x</text:p></table:table-cell>"
                  "<table:table-cell table:style-name=\"w\" office:value-type=\"date\" office:date-value=\"2024-03-15\"><text:p>week 11</text:p></table:table-cell>"
                  "</table:table-row><table:table-row>"
                  "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"><text:p>TRUE</text:p></table:table-cell>"
                  "<table:table-cell table:formula=\"of:=1/0\" office:value-type=\"float\" office:value=\"0\" calcext:value-type=\"error\"><text:p>#DIV/0!</text:p></table:table-cell>"
                  "<table:table-cell table:formula=\"of:=X\" office:value-type=\"string\" office:string-value=\"cached\"><text:p>shown</text:p></table:table-cell>"
                  "<table:table-cell table:formula=\"of:=&quot;&quot;\"><text:p/></table:table-cell>"
                  "<table:table-cell office:value-type=\"float\" office:value=\"1e400\"><text:p>inf</text:p></table:table-cell>"
                  "</table:table-row>"),
              "", automatic));
  EXPECT_EQ(b.at(1, 1).text(), u"26:30");
  EXPECT_DOUBLE_EQ(b.sheet().find(1, 1)->number, 26.5 / 24);
  EXPECT_EQ(b.at(1, 2).value().type(), VarType::Currency);
  EXPECT_EQ(b.at(1, 2).text(), u"1,234.50 €");
  EXPECT_EQ(b.at(1, 3).text(), u"25%");
  EXPECT_EQ(b.at(1, 4).text(), u"(2.5)");
  EXPECT_EQ(b.at(1, 5).text(), u"2.5");
  EXPECT_EQ(b.at(1, 6).text(), u"week 11");  // no format of ours shows a week: the file's text
  EXPECT_EQ(b.at(1, 6).value().type(), VarType::R8);
  EXPECT_EQ(b.at(2, 1).value(), Variant(true));
  EXPECT_EQ(b.at(2, 2).value(), Variant::error(errorScode(kErrDiv0)));
  EXPECT_EQ(b.at(2, 3).value(), Variant(u"cached"));
  EXPECT_EQ(b.at(2, 4).value(), Variant(u""));
  EXPECT_EQ(b.at(2, 5).value(), Variant::error(errorScode(kErrNum)));
}

TEST(OdsReader, AnyPrefixBoundToTheNamespacesReadsTheSame) {
  std::string doc = flat(table("<table:table-row>" + textCell("x", " calcext:value-type=\"string\"") + "</table:table-row>"));
  for (const char* p : {"office", "table", "text"}) {
    for (const char* before : {"<", "</", " "}) {
      std::string from = before + std::string(p) + ":", to = before + std::string("q") + p + ":";
      for (size_t at = doc.find(from); at != std::string::npos; at = doc.find(from, at + to.size())) doc.replace(at, from.size(), to);
    }
    std::string decl = std::string("xmlns:") + p + "=";
    doc.replace(doc.find(decl), decl.size(), std::string("xmlns:q") + p + "=");
  }
  Book b(doc);
  EXPECT_EQ(b.at(1, 1).value(), Variant(u"x"));
}

TEST(OdsReader, APackageReadsItsStylesSettingsAndActiveSheet) {
  ooxml::ZipWriter zip;
  zip.add("mimetype", "application/vnd.oasis.opendocument.spreadsheet", 0);
  zip.add("content.xml", content("<table:table table:name=\"A\"/><table:table table:name=\"B\"><table:table-row>" +
                                 textCell("x", " table:style-name=\"Heading\"") + "</table:table-row></table:table>"));
  zip.add("styles.xml", std::string("<office:document-styles") + kNamespaces +
                            "><office:styles><style:style style:name=\"Heading\" style:family=\"table-cell\">"
                            "<style:text-properties fo:font-size=\"24pt\"/></style:style></office:styles></office:document-styles>");
  zip.add("settings.xml",
          "<office:document-settings xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\"><office:settings><config:config-item-set>"
          "<config:config-item-map-indexed><config:config-item-map-entry><config:config-item config:name=\"ActiveTable\" "
          "config:type=\"string\">B</config:config-item></config:config-item-map-entry></config:config-item-map-indexed>"
          "</config:config-item-set></office:settings></office:document-settings>");
  Book b(zip.finish());
  ASSERT_EQ(b.book->sheets.size(), 2u);
  EXPECT_EQ(b.book->activeSheet, 1u);
  EXPECT_EQ(CellAccess(*b.book, b.book->sheets[1], 1, 1).font(FontProperty::Size), Variant(24.0));
}

TEST(OdsReader, FilesThatCannotBeReadSayWhy) {
  const std::string good = content(table("<table:table-row>" + textCell("x") + "</table:table-row>"));
  const std::string encrypted =
      "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\"><manifest:file-entry "
      "manifest:full-path=\"content.xml\"><manifest:encryption-data/></manifest:file-entry></manifest:manifest>";
  struct Case {
    std::string bytes, says;
  } cases[] = {
      {package(good, "application/vnd.oasis.opendocument.spreadsheet", encrypted), "protected by a password"},
      {package(good, "application/vnd.oasis.opendocument.text"), "OpenDocument file of another kind"},
      {package("<office:document-content/>"), "holds no spreadsheet"},
      {package("<office:document-styles/>"), "not OpenDocument content"},
      {package(content("")), "no worksheet"},
      {package(content(table("<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"12abc\"/></table:table-row>"))),
       "cannot be read: 12abc"},
      {package(good).substr(0, 120), ""},
      {std::string("<?xml version=\"1.0\"?><x xmlns:o=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\"/>"), "XML of another kind"},
      {std::string(package(good)).replace(30, 8, "mimetypX"), "not a workbook"},
  };
  for (const Case& c : cases) {
    std::string message = failure(c.bytes);
    EXPECT_NE(message, "loaded") << c.says;
    EXPECT_NE(message.find(c.says), std::string::npos) << message;
  }
  // A flat file with a DOCTYPE before its root is refused however it spells its entities.
  EXPECT_NE(failure(std::string("<?xml version=\"1.0\"?><!DOCTYPE d><office:document") + kNamespaces + "/>"), "loaded");
}

TEST(OdsReader, RepeatedValuesAndFormattedEmptyCellsStayWithinTheLimits) {
  WorkbookLimits limits;
  limits.maxCells = 1000;
  // A value repeated over the whole sheet is refused by the cell limit, not by memory.
  EXPECT_NE(failure(flat(table("<table:table-row table:number-rows-repeated=\"1048576\">" +
                                 textCell("x", " table:number-columns-repeated=\"16384\"") + "</table:table-row>")),
                      limits).find("more than 1000 cells"),
            std::string::npos);
  // A formatted column down the whole sheet keeps the cells of a budget and reads.
  const std::string bold = "<style:style style:name=\"b\" style:family=\"table-cell\"><style:text-properties fo:font-weight=\"bold\"/></style:style>";
  Book b(flat(table("<table:table-column table:default-cell-style-name=\"b\" table:number-columns-repeated=\"16384\"/>"
                    "<table:table-row>" + textCell("x") + "<table:table-cell/></table:table-row>"
                    "<table:table-row table:number-rows-repeated=\"1048575\"><table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>"),
              "", bold),
         limits);
  EXPECT_LE(b.sheet().cells.size(), 1000u);
  EXPECT_EQ(b.at(1, 1).font(FontProperty::Bold), Variant(true));
  EXPECT_EQ(b.at(1, 2).font(FontProperty::Bold), Variant(true));
}

}  // namespace
