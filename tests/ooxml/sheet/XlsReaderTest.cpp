// The legacy binary workbook reader: workbooks written by another program must answer every
// member the table reader uses exactly as the same workbook saved as .xlsx does, and damaged,
// encrypted or too old files must fail with a message that says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "ooxml/package/CompoundFile.h"
#include "ooxml/package/PackageError.h"
#include "ooxml/sheet/CellAccess.h"
#include "ooxml/sheet/XlsReader.h"
#include "ooxml/sheet/XlsxReader.h"
#include "ooxml/sheet/XlsxWriter.h"
#include "platform/Files.h"
#include "tests/ooxml/package/CompoundFileBuilder.h"
#include "tests/ooxml/sheet/SheetFixtures.h"

using namespace ooxml::sheet;
using automation::Variant;
using automation::VarType;

namespace {


class XlsMatchesXlsx : public ::testing::TestWithParam<const char*> {};

// The other program writes a formula's text result into .xls as the number 0 and leaves it to
// be calculated on opening; we do not calculate, so these cells show what the file holds.
struct Uncached {
  const char* book;
  size_t sheet;
  uint32_t row, column;
};
constexpr Uncached kUncachedTexts[] = {{"calc-table", 0, 7, 2}, {"xls-values", 1, 9, 2}};

bool uncached(const std::string& book, size_t sheet, uint32_t row, uint32_t column) {
  for (auto& u : kUncachedTexts)
    if (book == u.book && sheet == u.sheet && row == u.row && column == u.column) return true;
  return false;
}

TEST_P(XlsMatchesXlsx, EveryCellAnswersAsTheSameWorkbookSavedAsXlsx) {
  const std::string base = GetParam();
  auto xls = fixtureBook(base + ".xls");
  auto xlsx = fixtureBook(base + ".xlsx");
  ASSERT_EQ(xls->sheets.size(), xlsx->sheets.size());
  EXPECT_EQ(xls->activeSheet, xlsx->activeSheet);
  EXPECT_EQ(xls->date1904, xlsx->date1904);
  size_t compared = 0;
  for (size_t i = 0; i < xls->sheets.size(); ++i) {
    Sheet& a = xls->sheets[i];
    Sheet& b = xlsx->sheets[i];
    EXPECT_EQ(a.name, b.name);
    const auto [rows, columns] = comparedGrid(a, b, true);
    for (uint32_t r = 1; r <= rows; ++r)
      for (uint32_t c = 1; c <= columns; ++c, ++compared) {
        if (uncached(base, i, r, c)) {
          EXPECT_EQ(CellAccess(*xls, a, r, c).value(), Variant(0.0));
          continue;
        }
        EXPECT_EQ(cellAnswers(*xls, a, r, c), cellAnswers(*xlsx, b, r, c)) << base << " sheet " << i + 1 << " R" << r << "C" << c;
      }
  }
  EXPECT_GT(compared, 20u);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, XlsMatchesXlsx, ::testing::Values("calc-table", "xls-values", "xls-texts"),
                         [](const auto& info) { std::string n = info.param; std::replace(n.begin(), n.end(), '-', '_'); return n; });

// Workbook streams built record by record, in a compound file of their own.
namespace biff_build {

using testing_cfb::put16;

std::string u16(uint32_t v) {
  std::string s(2, '\0');
  put16(s, 0, v);
  return s;
}
std::string u32(uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); }
std::string f64(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof d);
  return u32(static_cast<uint32_t>(bits)) + u32(static_cast<uint32_t>(bits >> 32));
}
std::string record(uint16_t type, const std::string& body) { return u16(type) + u16(static_cast<uint32_t>(body.size())) + body; }
std::string bof(uint16_t kind, uint16_t version = 0x0600) { return record(0x0809, u16(version) + u16(kind) + std::string(12, '\0')); }
std::string eof() { return record(0x000A, ""); }
std::string latin(const std::string& text) { return u16(static_cast<uint32_t>(text.size())) + '\0' + text; }
std::string wide(const std::u16string& text) {
  std::string s = u16(static_cast<uint32_t>(text.size())) + '\1';
  for (char16_t c : text) s += u16(c);
  return s;
}
std::string cell(uint16_t type, uint16_t row, uint16_t column, uint16_t xf, const std::string& rest) {
  return record(type, u16(row) + u16(column) + u16(xf) + rest);
}
std::string font(uint16_t twips, uint16_t flags, uint16_t color, uint16_t weight, uint8_t underline, const std::string& name) {
  return record(0x0031, u16(twips) + u16(flags) + u16(color) + u16(weight) + u16(0) + std::string(1, char(underline)) +
                          std::string(3, '\0') + std::string(1, char(name.size())) + '\0' + name);
}
std::string xf(uint16_t fontIndex, uint16_t format, uint32_t pattern = 0, uint16_t fore = 64, uint16_t back = 65) {
  return record(0x00E0, u16(fontIndex) + u16(format) + std::string(10, '\0') + u32(pattern << 26) +
                          u16(static_cast<uint16_t>(fore | (back << 7))));
}

struct SheetPart {
  std::string name;
  std::string records;
  uint8_t kind = 0;  // 0 worksheet, 2 chart
};

// A workbook stream: the globals, a BOUNDSHEET per sheet, then each sheet's substream.
std::string stream(const std::string& globals, const std::vector<SheetPart>& sheets) {
  std::string head = bof(5) + globals;
  size_t boundSize = 0;
  for (auto& s : sheets) boundSize += 4 + 8 + s.name.size();
  size_t offset = head.size() + boundSize + 4;
  std::string bound, bodies;
  for (auto& s : sheets) {
    bound += record(0x0085, u32(static_cast<uint32_t>(offset)) + '\0' + std::string(1, char(s.kind)) +
                                std::string(1, char(s.name.size())) + '\0' + s.name);
    std::string body = bof(s.kind == 2 ? 0x20 : 0x10) + s.records + eof();
    offset += body.size();
    bodies += body;
  }
  return head + bound + eof() + bodies;
}

std::string file(const std::string& workbookStream, const std::u16string& name = u"Workbook") {
  testing_cfb::Builder b;
  b.streams = {{name, workbookStream}};
  return b.build().bytes;
}

std::string sheetFile(const std::string& globals, const std::string& cells) { return file(stream(globals, {{"S", cells}})); }

}  // namespace biff_build

using namespace biff_build;

WideString textAt(Workbook& book, uint32_t row, uint32_t column) { return CellAccess(book, book.active(), row, column).text(); }
Variant valueAt(Workbook& book, uint32_t row, uint32_t column) { return CellAccess(book, book.active(), row, column).value(); }

TEST(XlsReader, EveryKindOfCellRecordGivesItsValue) {
  const std::string cells =
      cell(0x027E, 0, 0, 0, u32((123u << 2) | 2)) +                       // RK integer
      cell(0x027E, 0, 1, 0, u32((12345u << 2) | 3)) +                     // RK integer / 100
      cell(0x027E, 0, 2, 0, u32(0x3FF80000u)) +                           // RK double 1.5
      record(0x00BD, u16(1) + u16(0) + u16(0) + u32((7u << 2) | 2) + u16(0) + u32(static_cast<uint32_t>(-3 << 2) | 2) + u16(1)) +
      cell(0x0203, 2, 0, 0, f64(-2.25)) +                                 // NUMBER
      cell(0x0205, 2, 1, 0, std::string("\x01\x00", 2)) +                 // BOOLERR true
      cell(0x0205, 2, 2, 0, std::string("\x2A\x01", 2)) +                 // BOOLERR #N/A
      cell(0x0006, 3, 0, 0, std::string("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8) + std::string(6, '\0')) +
      record(0x0207, u16(5) + '\0' + "ab") + record(0x003C, std::string("\x01", 1) + u16('c') + u16(0x263A) + u16('e')) +
      cell(0x0006, 3, 1, 0, std::string("\x01\x00\x01\x00\x00\x00\xFF\xFF", 8) + std::string(6, '\0')) +
      cell(0x0006, 3, 2, 0, std::string("\x02\x00\x07\x00\x00\x00\xFF\xFF", 8) + std::string(6, '\0')) +
      cell(0x0006, 3, 3, 0, std::string("\x03\x00\x00\x00\x00\x00\xFF\xFF", 8) + std::string(6, '\0')) +
      cell(0x0006, 3, 4, 0, f64(42) + std::string(6, '\0')) +
      cell(0x0204, 4, 0, 0, latin("label")) + cell(0x0201, 4, 1, 0, "") +
      record(0x00BE, u16(4) + u16(2) + u16(0) + u16(0) + u16(0) + u16(4)) +
      cell(0x027E, 5, 0, 0, u32(1u << 2 | 2)) + cell(0x027E, 5, 0, 0, u32(2u << 2 | 2));  // the later record wins
  auto book = loadWorkbookBytes(sheetFile("", cells));
  EXPECT_EQ(valueAt(*book, 1, 1), Variant(123.0));
  EXPECT_EQ(valueAt(*book, 1, 2), Variant(123.45));
  EXPECT_EQ(valueAt(*book, 1, 3), Variant(1.5));
  EXPECT_EQ(valueAt(*book, 2, 1), Variant(7.0));
  EXPECT_EQ(valueAt(*book, 2, 2), Variant(-3.0));
  EXPECT_EQ(valueAt(*book, 3, 1), Variant(-2.25));
  EXPECT_EQ(valueAt(*book, 3, 2), Variant(true));
  EXPECT_EQ(valueAt(*book, 3, 3), Variant::error(errorScode(kErrNA)));
  EXPECT_EQ(valueAt(*book, 4, 1), Variant(WideString(u"abc\u263Ae"))) << "a formula's text, continued as UTF-16";
  EXPECT_EQ(valueAt(*book, 4, 2), Variant(true));
  EXPECT_EQ(valueAt(*book, 4, 3), Variant::error(errorScode(kErrDiv0)));
  EXPECT_EQ(valueAt(*book, 4, 4), Variant(WideString()));
  EXPECT_EQ(valueAt(*book, 4, 5), Variant(42.0));
  EXPECT_EQ(valueAt(*book, 5, 1), Variant(WideString(u"label")));
  EXPECT_EQ(valueAt(*book, 6, 1), Variant(2.0));
  const ooxml::sheet::Sheet& s = book->active();
  ASSERT_NE(s.find(5, 2), nullptr);
  EXPECT_EQ(s.find(5, 2)->kind, CellKind::Blank);
  EXPECT_NE(s.find(5, 4), nullptr);
  EXPECT_TRUE(std::is_sorted(s.cells.begin(), s.cells.end(), [](const Cell& a, const Cell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  }));
}

TEST(XlsReader, NumbersExcelCannotHoldReadAsNumErrorsAndTheWorkbookStillSaves) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const std::string cells = cell(0x0203, 0, 0, 0, f64(nan)) + cell(0x0203, 0, 1, 0, f64(-inf)) +
                            cell(0x027E, 0, 2, 0, u32(0x7FF00000u)) +  // RK: the top of an infinity
                            record(0x00BD, u16(0) + u16(3) + u16(0) + u32(0xFFF80000u) + u16(4)) +
                            cell(0x0006, 0, 4, 0, f64(inf) + std::string(6, '\0'));
  auto book = loadWorkbookBytes(sheetFile("", cells));
  for (uint32_t column = 1; column <= 4; ++column) {
    EXPECT_EQ(valueAt(*book, 1, column), Variant::error(errorScode(kErrNum))) << column;
    EXPECT_EQ(textAt(*book, 1, column), u"#NUM!") << column;
  }
  EXPECT_EQ(valueAt(*book, 1, 5), Variant::error(errorScode(kErrNum)));
  auto again = loadWorkbookBytes(workbookBytes(*book));
  EXPECT_EQ(valueAt(*again, 1, 1), Variant::error(errorScode(kErrNum)));

  CellAccess(*book, book->active(), 2, 1).assign(Variant(nan));
  EXPECT_EQ(valueAt(*book, 2, 1), Variant::error(errorScode(kErrNum))) << "a value put in follows the same rule";
  CellAccess(*book, book->active(), 2, 2).assign(Variant(WideString(u"1e999")));
  EXPECT_EQ(valueAt(*book, 2, 2), Variant(WideString(u"1e999"))) << "typed in, it is text";
}

TEST(XlsReader, SharedTextsSplitAcrossContinueRecordsKeepTheirCharactersAndRuns) {
  const std::string fonts = font(200, 0, 0x7FFF, 400, 0, "Arial") + font(200, 0, 0x7FFF, 700, 0, "Arial") +
                            font(200, 0, 0x7FFF, 400, 0, "Arial") + font(200, 0, 0x7FFF, 400, 0, "Arial") +
                            font(320, 2, 10, 400, 1, "Times");  // the fifth record is font 5: there is no font 4
  // Item 0 is split inside its characters: 8-bit before, UTF-16 after the re-sent option byte.
  // Item 1 has runs and phonetic data, split inside its runs. Item 2 is plain.
  const std::string item1 = u16(6) + '\x0C' + u16(2) + u32(3) + "plain!";
  const std::string runs = u16(1) + u16(5) + u16(3) + u16(0);
  const std::string sst = record(0x00FC, u32(9) + u32(3) + u16(6) + '\0' + "Gr") +
                          record(0x003C, std::string("\x01", 1) + u16(0xFC) + u16('s') + u16(0x20AC) + u16('!') + item1 + runs.substr(0, 3)) +
                          record(0x003C, runs.substr(3) + "xyz" + latin("third"));
  const std::string cells = cell(0x00FD, 0, 0, 0, u32(0)) + cell(0x00FD, 0, 1, 0, u32(1)) + cell(0x00FD, 0, 2, 0, u32(2)) +
                            cell(0x00D6, 1, 0, 0, latin("rich") + u16(1) + u16(2) + u16(5));
  auto book = loadWorkbookBytes(sheetFile(fonts + sst, cells));
  EXPECT_EQ(textAt(*book, 1, 1), u"Gr\u00FCs\u20AC!");
  EXPECT_EQ(textAt(*book, 1, 2), u"plain!");
  EXPECT_EQ(textAt(*book, 1, 3), u"third");
  const RichString& rich = book->strings.at(book->active().find(1, 2)->string);
  ASSERT_EQ(rich.runs.size(), 3u);
  EXPECT_EQ(rich.runs[0].text, u"p");
  EXPECT_FALSE(rich.runs[0].font);
  EXPECT_EQ(rich.runs[1].text, u"la");
  ASSERT_TRUE(rich.runs[1].font);
  EXPECT_EQ(rich.runs[1].font->name, u"Times");
  EXPECT_EQ(rich.runs[1].font->size, 16);
  EXPECT_EQ(rich.runs[2].text, u"in!");
  CellAccess mixed(*book, book->active(), 1, 2);
  EXPECT_EQ(mixed.font(FontProperty::Size).type(), VarType::Null);
  EXPECT_EQ(mixed.font(FontProperty::Underline).type(), VarType::Null);
  CellAccess rstring(*book, book->active(), 2, 1);
  EXPECT_EQ(rstring.text(), u"rich");
  EXPECT_EQ(rstring.font(FontProperty::Italic).type(), VarType::Null);
}

TEST(XlsReader, FontsFillsNumberFormatsPaletteAndRowAndColumnFormats) {
  const std::string globals =
      record(0x0022, u16(1)) +
      font(200, 0, 0x7FFF, 400, 0, "Arial") + font(240, 0, 0x7FFF, 700, 0, "Arial") + font(200, 0, 0x7FFF, 400, 0, "Arial") +
      font(200, 0, 0x7FFF, 400, 0, "Arial") + font(280, 0x0A, 12, 400, 0x22, "Courier") +
      record(0x041E, u16(164) + wide(u"0.000")) +
      xf(0, 0) + xf(5, 164, 1, 10) + xf(1, 14, 17, 12, 9) + xf(0, 0, 1, 40) +
      record(0x0092, u16(3) + u32(0) + u32(0xFFFFFF) + u32(0x563412)) +  // palette: index 10 is 0x123456
      xf(0, 0, 1, 10) +
      // Exact colours of XF 4 beside its palette ones: an RGB fill and a theme text colour.
      record(0x087D, u16(0x087D) + std::string(12, '\0') + u16(4) + u16(0) + u16(3) +
                         u16(4) + u16(20) + u16(2) + u16(0) + u32(0x996633) + std::string(8, '\0') +
                         u16(13) + u16(20) + u16(3) + u16(0) + u32(4) + std::string(8, '\0') +
                         u16(9) + u16(6) + u16(0));
  const std::string cells = cell(0x0203, 0, 0, 1, f64(2.5)) + cell(0x0203, 0, 1, 2, f64(1)) + cell(0x0201, 1, 0, 4, "") +
                            record(0x0208, u16(4) + std::string(10, '\0') + u16(0x0080 | 0x0100) + u16(3)) +
                            record(0x0208, u16(5) + std::string(10, '\0') + u16(0x0100) + u16(1)) +
                            record(0x007D, u16(3) + u16(4) + u16(2000) + u16(2) + u16(0) + u16(0));
  auto book = loadWorkbookBytes(sheetFile(globals, cells));
  EXPECT_TRUE(book->date1904);
  ooxml::sheet::Sheet& s = book->active();
  CellAccess a(*book, s, 1, 1);
  EXPECT_EQ(a.text(), u"2.500");
  EXPECT_EQ(a.font(FontProperty::Name), Variant(WideString(u"Courier")));
  EXPECT_EQ(a.font(FontProperty::Size), Variant(14.0));
  EXPECT_EQ(a.font(FontProperty::Italic), Variant(true));
  EXPECT_EQ(a.font(FontProperty::Strikethrough), Variant(true));
  EXPECT_EQ(a.font(FontProperty::Underline), Variant(static_cast<int32_t>(kUnderlineDoubleAccounting)));
  EXPECT_EQ(a.font(FontProperty::Color), Variant(static_cast<double>(toBgr(0x0000FF))));
  EXPECT_EQ(a.interiorColor(), Variant(static_cast<double>(toBgr(0x123456))));
  CellAccess b(*book, s, 1, 2);
  EXPECT_EQ(b.text(), u"01-02-04") << "serial 1 in the 1904 date system";
  EXPECT_EQ(b.font(FontProperty::Bold), Variant(true));
  EXPECT_EQ(b.interiorColor(), Variant(static_cast<double>(toBgr(0xFFFFFF)))) << "a patterned fill shows its background";
  CellAccess exact(*book, s, 2, 1);
  EXPECT_EQ(exact.interiorColor(), Variant(static_cast<double>(toBgr(0x336699))));
  EXPECT_EQ(exact.font(FontProperty::Color), Variant(static_cast<double>(toBgr(0x4472C4))));
  EXPECT_EQ(exact.font(FontProperty::Name), Variant(WideString(u"Arial")));
  // Row 5 has a format of its own; row 6 names one without the flag that makes it count.
  EXPECT_EQ(CellAccess(*book, s, 5, 9).interiorColor(), Variant(static_cast<double>(toBgr(0x00CCFF))));
  EXPECT_EQ(CellAccess(*book, s, 6, 1).font(FontProperty::Bold), Variant(false));
  EXPECT_EQ(CellAccess(*book, s, 6, 4).text(), u"");
  EXPECT_EQ(CellAccess(*book, s, 9, 5).font(FontProperty::Size), Variant(12.0)) << "columns D and E carry format 2";
  EXPECT_EQ(CellAccess(*book, s, 9, 6).font(FontProperty::Size), Variant(10.0));
}

TEST(XlsReader, WorksheetsKeepTheirOrderAroundChartsAndTheActiveTabIsFound) {
  // A chart drawn on sheet A is a nested substream; the chart sheet between A and C is left out.
  const std::string window = record(0x003D, std::string(10, '\0') + u16(2) + u16(0) + u16(1) + u16(600));
  const std::string embedded = bof(0x20) + record(0x0203, std::string(14, '\0')) + eof();
  auto book = loadWorkbookBytes(file(stream(window, {{"A", embedded + cell(0x0203, 0, 0, 0, f64(1))},
                                                     {"Chart", "", 2},
                                                     {"C", cell(0x0203, 1, 1, 0, f64(3))}})));
  ASSERT_EQ(book->sheets.size(), 2u);
  EXPECT_EQ(book->sheets[0].name, u"A");
  EXPECT_EQ(book->sheets[1].name, u"C");
  EXPECT_EQ(book->activeSheet, 1u);
  EXPECT_EQ(book->sheets[0].cells.size(), 1u) << "the chart's records are not cells of the sheet";
  EXPECT_EQ(valueAt(*book, 2, 2), Variant(3.0));
}

std::string emptyContinues(int count) {
  std::string c;
  for (int i = 0; i < count; ++i) c += record(0x003C, "");
  return c;
}

// Many sheet entries pointing at one long sheet: read again and again, it would take hours.
std::string overlapping() {
  std::string sheet = bof(0x10);
  for (int i = 0; i < 2000; ++i) sheet += record(0x0200, std::string(14, '\0'));  // DIMENSION, ignored
  sheet += eof();
  std::string bound;
  const size_t entries = 2000, boundSize = 4 + 8 + 1;
  const size_t offset = bof(5).size() + entries * boundSize + 4;
  for (size_t i = 0; i < entries; ++i) bound += record(0x0085, u32(static_cast<uint32_t>(offset)) + '\0' + '\0' + '\1' + '\0' + "S");
  return file(bof(5) + bound + eof() + sheet);
}

TEST(XlsReader, RefusedDamagedAndOversizedWorkbooksSayWhy) {
  const std::string one = cell(0x00FD, 0, 0, 0, u32(0));
  const std::string sst2 = record(0x00FC, u32(2) + u32(1000) + latin("a") + latin("b"));
  struct Case {
    const char* what;
    std::string bytes;
    const char* says;
    WorkbookLimits limits = {};
  } cases[] = {
      {"encrypted", sheetFile(record(0x002F, std::string(54, '\0')), ""), "protected by a password"},
      {"BIFF5 BOF", file(bof(5, 0x0500) + eof()), "very old version"},
      {"BIFF4 BOF", file(record(0x0409, u16(0) + u16(0x100)) + eof()), "very old version"},
      {"Book stream", file(bof(5, 0x0500) + eof(), u"Book"), "very old version"},
      {"no workbook stream", file("data", u"WordDocument"), "not a workbook"},
      {"an .xlsx with a password", file("data", u"EncryptedPackage"), "protected by a password"},
      {"record past the end", file(bof(5) + u16(0x0085) + u16(400) + "short"), "past the end"},
      {"record cut in its header", file(bof(5) + "\x85"), "ends inside a record"},
      {"short record", sheetFile("", record(0x0203, u16(0) + u16(0))), "shorter than its contents"},
      {"text cut short", sheetFile(record(0x00FC, u32(1) + u32(1) + u16(10) + '\0' + "abc"), ""), "cut short"},
      {"SST count lying, index too high", sheetFile(sst2, cell(0x00FD, 0, 0, 0, u32(2))), "shared string that does not exist"},
      {"sheet outside the stream", file(bof(5) + record(0x0085, u32(99999) + u16(0) + '\1' + '\0' + "S") + eof()), "outside"},
      {"cell past the last column", sheetFile("", cell(0x0203, 0, 20000, 0, f64(1))), "outside the sheet"},
      {"no worksheet", file(stream("", {{"Chart", "", 2}})), "no worksheet"},
      {"a record in too many parts", file(bof(5) + record(0x00FC, "") + emptyContinues(70000)), "too many parts"},
      {"sheets overlapping", overlapping(), "overlap"},
      {"globals of another kind", file(bof(0x10) + eof()), "damaged"},
      {"text too long", sheetFile("", cell(0x0204, 0, 0, 0, latin(std::string(40000, 'x')))), "longer than 32767"},
      {"too many cells", sheetFile("", record(0x00BE, u16(0) + u16(0) + std::string(200, '\0') + u16(99))), "more than 50 cells",
       [] { WorkbookLimits l; l.maxCells = 50; return l; }()},
      {"too much text", sheetFile(record(0x00FC, u32(3) + u32(3) + latin("abcd") + latin("efgh") + latin("ijkl")), ""), "more text",
       [] { WorkbookLimits l; l.maxTotalText = 10; return l; }()},
      {"too large a file", sheetFile("", one), "too large", [] { WorkbookLimits l; l.maxFileSize = 1000; return l; }()},
  };
  for (const Case& c : cases) EXPECT_NE(failure(c.bytes, c.limits).find(c.says), std::string::npos) << c.what << ": " << failure(c.bytes, c.limits);
  // A count that claims more texts than the table holds reads the texts that are there.
  auto book = loadWorkbookBytes(sheetFile(sst2, cell(0x00FD, 0, 0, 0, u32(1))));
  EXPECT_EQ(textAt(*book, 1, 1), u"b");
}

// Any byte of a real workbook stream changed must load or fail as PackageError: never crash.
TEST(XlsReader, EveryChangedByteOfARealWorkbookStreamLoadsOrFailsCleanly) {
  const std::string bytes = platform::readFile(xlsxFixture("calc-table.xls"), 1 << 20);
  const std::string stream = ooxml::CompoundFile(bytes).readStream(u"Workbook");
  for (size_t at = 0; at < stream.size(); at += 3)
    for (char value : {'\xFF', '\x00'}) {
      std::string changed = stream;
      changed[at] = value;
      EXPECT_NO_THROW(failure(file(changed))) << at;
    }
}

}  // namespace
