// The spreadsheet reader on our own Excel with real workbooks (tests/fixtures/xlsx, written by
// scripts/gen/make_xlsx_fixtures.py): rows, formatting, the table check and bad files.
#include <gtest/gtest.h>

#include "automation/AutomationFactory.h"
#include "ooxml/package/Zip.h"
#include "ooxml/sheet/ExcelApplication.h"
#include "platform/Files.h"
#include "tables/TExcelObject.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

using automation::AutomationError;
using automation::InProcessFactory;
using automation::Ole;
using automation::ScopedAutomationFactory;
using automation::Variant;

namespace {

std::string fixture(const std::string& name) { return std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/xlsx/" + name; }

struct Row {
  WideString find, replace;
  TFormating findFormat, replaceFormat;
};

bool sameFormat(const TFormating& a, const TFormating& b) {
  return a.BackColor == b.BackColor && a.Bold == b.Bold && a.Italic == b.Italic && a.FontColor == b.FontColor &&
         a.FontSize == b.FontSize && a.FontName == b.FontName && a.Underline == b.Underline &&
         a.MatchCase == b.MatchCase && a.WholeWord == b.WholeWord && a.Wildcards == b.Wildcards;
}

class SpreadsheetTable : public ::testing::Test {
 protected:
  SpreadsheetTable() {
    factory.registerClass(ooxml::kExcelClassId, "Excel.Application", "Excel.Application.16", [this] {
      lastExcel = ooxml::createExcelApplication();
      return lastExcel;
    });
    scratch = platform::joinPath(platform::tempFolder(), std::string("tavimo_xlsx_") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    platform::fileSystem().createFolder(scratch);
  }
  ~SpreadsheetTable() override {
    for (auto& e : platform::fileSystem().listFolder(scratch)) platform::fileSystem().remove(platform::joinPath(scratch, e.name));
    platform::fileSystem().remove(scratch);
  }
  std::unique_ptr<TExcelObject> open(const std::string& path) {
    auto reader = std::make_unique<TExcelObject>();
    EXPECT_TRUE(reader->Ready);
    reader->SetVisible(false);
    reader->Open(path);
    return reader;
  }
  // Every row up to the end of the table (or the first faulty row, which raises).
  std::vector<Row> readAll(TExcelObject& reader) {
    std::vector<Row> rows;
    Row r;
    while (reader.ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat)) rows.push_back(r);
    return rows;
  }

  // Reading from `row` fails the table check at that stage and cell.
  void expectCheckFailsAt(TExcelObject& reader, int32_t row, int32_t stage, int32_t column) {
    reader.Row = row;
    Row r;
    EXPECT_THROW(reader.ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat), AutomationError);
    EXPECT_EQ(reader.Stage, stage);
    TTablePosition position;
    reader.GetPosition(position);
    EXPECT_EQ(position.Row, row);
    EXPECT_EQ(position.Column, column);
  }

  InProcessFactory factory;
  ScopedAutomationFactory scope{factory};
  automation::DispatchPtr lastExcel;
  std::string scratch;
};

TEST_F(SpreadsheetTable, ReadsRowsWithTheirFormattingUntilABooleanSecondCell) {
  auto reader = open(fixture("table.xlsx"));
  auto rows = readAll(*reader);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(reader->Row, 6);

  EXPECT_EQ(rows[0].find, u"WORD");
  EXPECT_EQ(rows[0].findFormat.BackColor, 0x00FFFF);
  EXPECT_EQ(rows[0].findFormat.Bold, -1);
  EXPECT_EQ(rows[0].findFormat.FontColor, 0x0000FF);
  EXPECT_EQ(rows[0].findFormat.FontName, u"Calibri");
  EXPECT_EQ(rows[0].findFormat.Underline, -4142);
  EXPECT_EQ(rows[0].findFormat.MatchCase, 1);
  EXPECT_EQ(rows[0].findFormat.WholeWord, 1);
  EXPECT_EQ(rows[0].findFormat.Wildcards, 1);
  EXPECT_EQ(rows[0].replace, u"word");
  EXPECT_EQ(rows[0].replaceFormat.BackColor, 0x0000FF);
  EXPECT_EQ(rows[0].replaceFormat.Italic, -1);
  EXPECT_EQ(rows[0].replaceFormat.FontSize, 14);
  EXPECT_EQ(rows[0].replaceFormat.FontName, u"Arial");
  EXPECT_EQ(rows[0].replaceFormat.Underline, -4119);

  EXPECT_EQ(rows[1].find, u"ONE");
  EXPECT_EQ(rows[1].findFormat.MatchCase, 0);  // "-c"
  EXPECT_EQ(rows[1].findFormat.WholeWord, -1);

  EXPECT_EQ(rows[2].find, u"12.00");  // the number as its two-decimal format shows it
  EXPECT_EQ(rows[2].replace, u"");    // an empty second cell
  EXPECT_EQ(rows[2].findFormat.MatchCase, -1);  // a number in the third cell is ignored

  EXPECT_EQ(rows[3].find, u"partly bold");  // mixed bold passes as not bold
  EXPECT_EQ(rows[3].findFormat.Bold, 0);
  EXPECT_EQ(rows[3].replace, u"1,234.50");

  EXPECT_EQ(rows[4].find, u"inline");
  EXPECT_EQ(rows[4].replace, u"plain");

  reader->Rewind();
  Row again;
  ASSERT_TRUE(reader->ReadRow(again.find, again.replace, again.findFormat, again.replaceFormat));
  EXPECT_EQ(again.find, u"WORD");
}

TEST_F(SpreadsheetTable, CellsMixingColourSizeOrUnderlineFailTheCheckWhereTheyAre) {
  struct Case {
    const char* file;
    int32_t stage, column, message;
  } cases[] = {{"mixed_color.xlsx", 64, 1, 243}, {"mixed_size.xlsx", 65, 1, 244}, {"mixed_underline.xlsx", 66, 2, 245}};
  for (const Case& c : cases) {
    auto reader = open(fixture(c.file));
    EXPECT_THROW(readAll(*reader), AutomationError) << c.file;
    int32_t stage = reader->Stage;  // copied before GetPosition, which changes it
    TTablePosition position;
    reader->GetPosition(position);
    EXPECT_EQ(stage, c.stage) << c.file;
    EXPECT_EQ(position.Row, 2) << c.file;
    EXPECT_EQ(position.Column, c.column) << c.file;
    EXPECT_EQ(TableCheckMessageId(stage), c.message);
  }
}

TEST_F(SpreadsheetTable, MixedBoldAndFontNamePassAsPlain) {
  auto reader = open(fixture("mixed_bold_name.xlsx"));
  auto rows = readAll(*reader);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].find, u"bold arial");
  EXPECT_EQ(rows[1].findFormat.Bold, 0);
  EXPECT_EQ(rows[1].findFormat.FontName, u"");
}

// A table written by an independent spreadsheet program (calc-table.fods, converted to .xlsx
// by LibreOffice Calc): its habits (runs repeating the whole font, "true" flags, custom date
// codes, cached formula results, hidden and merged rows, a comment, a second sheet) read as
// the user wrote them.
TEST_F(SpreadsheetTable, ATableWrittenByAnotherSpreadsheetProgramReadsAsWritten) {
  std::string before = platform::readFile(fixture("calc-table.xlsx"), 1 << 20);
  auto reader = open(fixture("calc-table.xlsx"));
  auto rows = readAll(*reader);
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(reader->Row, 10);  // the empty first cell of row 10 ends the table

  const std::u16string finds[] = {u"apple", u"bold", u"part bold text", u"42", u"15.3.2024", u"  lead and trail  ",
                                  u"line1\nline2", u"Grüße 日本 😀", u"merged"};
  const std::u16string replaces[] = {u"Apfel", u"fett", u"teil", u"1,234.50", u"3", u" ", u"zwei", u"versteckt", u""};
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].find, finds[i]) << "row " << i + 1;
    EXPECT_EQ(rows[i].replace, replaces[i]) << "row " << i + 1;
  }
  EXPECT_EQ(rows[0].findFormat.FontName, u"DejaVu Sans");
  EXPECT_EQ(rows[0].findFormat.FontSize, 10);
  EXPECT_EQ(rows[1].findFormat.Bold, -1);
  EXPECT_EQ(rows[1].findFormat.MatchCase, 1);  // "C-W"
  EXPECT_EQ(rows[1].findFormat.WholeWord, 0);
  EXPECT_EQ(rows[1].replaceFormat.BackColor, 0x00FFFF);
  EXPECT_EQ(rows[1].replaceFormat.FontColor, 0x0000FF);
  EXPECT_EQ(rows[1].replaceFormat.Italic, -1);
  EXPECT_EQ(rows[1].replaceFormat.Bold, 0);
  EXPECT_EQ(rows[1].replaceFormat.FontSize, 14);
  EXPECT_EQ(rows[2].findFormat.Bold, 0);  // partly bold
  EXPECT_EQ(rows[2].findFormat.FontName, u"DejaVu Sans");
  EXPECT_EQ(rows[7].findFormat.Underline, 2);

  reader->Row = 11;  // past the gap: a replacement in two colours fails the check there
  Row r;
  EXPECT_THROW(reader->ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat), AutomationError);
  EXPECT_EQ(reader->Stage, 64);
  TTablePosition position;
  reader->GetPosition(position);
  EXPECT_EQ(position.Row, 11);
  EXPECT_EQ(position.Column, 2);
  reader.reset();
  EXPECT_EQ(platform::readFile(fixture("calc-table.xlsx"), 1 << 20), before);
}

// The same table saved as a legacy binary workbook (.xls) by the same program reads with the
// same rows and formatting, and fails the check at the same cell. The one difference is the
// writer's: it stores a formula's text result in .xls as 0, to be calculated on opening.
TEST_F(SpreadsheetTable, ALegacyBinaryTableReadsAsTheSameTableSavedAsXlsx) {
  std::vector<Row> expected;
  {
    auto reader = open(fixture("calc-table.xlsx"));
    expected = readAll(*reader);
  }
  auto reader = open(fixture("calc-table.xls"));
  auto rows = readAll(*reader);
  ASSERT_EQ(rows.size(), expected.size());
  EXPECT_EQ(reader->Row, 10);
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].find, expected[i].find) << "row " << i + 1;
    EXPECT_EQ(rows[i].replace, i == 6 ? u"0" : expected[i].replace) << "row " << i + 1;
    EXPECT_TRUE(sameFormat(rows[i].findFormat, expected[i].findFormat)) << "row " << i + 1;
    EXPECT_TRUE(sameFormat(rows[i].replaceFormat, expected[i].replaceFormat)) << "row " << i + 1;
  }
  EXPECT_EQ(rows[1].replaceFormat.BackColor, 0x00FFFF);
  EXPECT_EQ(rows[1].replaceFormat.FontColor, 0x0000FF);
  EXPECT_EQ(rows[7].find, u"Grüße 日本 😀");
  EXPECT_EQ(rows[7].findFormat.Underline, 2);

  expectCheckFailsAt(*reader, 11, 64, 2);

  // Rich text of a legacy file: a word in another size fails the check in the first cell.
  auto texts = open(fixture("xls-texts.xls"));
  expectCheckFailsAt(*texts, 2, 65, 1);
}

// The same table saved as OpenDocument (.ods, and the flat .fods it was made from) reads with the
// same rows and formatting and fails the check at the same cell. Font names are the user's:
// LibreOffice names its own fonts by their Windows equivalents only when it writes .xlsx, and
// the flat file names no default font, so a cell in none shows LibreOffice's own.
TEST_F(SpreadsheetTable, AnOpenDocumentTableReadsAsTheSameTableSavedAsXlsx) {
  std::vector<Row> expected;
  {
    auto reader = open(fixture("calc-table.xlsx"));
    expected = readAll(*reader);
  }
  for (const char* file : {"calc-table.ods", "calc-table.fods"}) {
    SCOPED_TRACE(file);
    auto reader = open(fixture(file));
    auto rows = readAll(*reader);
    ASSERT_EQ(rows.size(), expected.size());
    EXPECT_EQ(reader->Row, 10);
    const bool flat = std::string(file).find(".fods") != std::string::npos;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].find, expected[i].find) << "row " << i + 1;
      EXPECT_EQ(rows[i].replace, expected[i].replace) << "row " << i + 1;
      for (auto [got, want] : {std::pair{rows[i].findFormat, expected[i].findFormat}, std::pair{rows[i].replaceFormat, expected[i].replaceFormat}}) {
        if (want.FontName == u"Times New Roman") want.FontName = u"Liberation Serif";
        else if (flat && want.FontName == u"DejaVu Sans") want.FontName = u"Liberation Sans";
        EXPECT_TRUE(sameFormat(got, want)) << "row " << i + 1 << ": " << platform::wideToUtf8(got.FontName);
      }
    }
    EXPECT_EQ(rows[1].replaceFormat.FontName, u"Liberation Serif");
    EXPECT_EQ(rows[3].replace, u"1,234.50");
    EXPECT_EQ(rows[4].find, u"15.3.2024");

    expectCheckFailsAt(*reader, 11, 64, 2);
  }
  // Rich text: a word in another size fails the check in the first cell, as in .xlsx.
  auto texts = open(fixture("xls-texts.ods"));
  texts->Row = 2;
  Row r;
  EXPECT_THROW(texts->ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat), AutomationError);
  EXPECT_EQ(texts->Stage, 65);
}

TEST_F(SpreadsheetTable, TheTableFileIsUntouchedAndExcelQuitsAfterTheReader) {
  std::string before = platform::readFile(fixture("table.xlsx"), 1 << 20);
  {
    auto reader = open(fixture("table.xlsx"));
    readAll(*reader);
  }
  EXPECT_EQ(platform::readFile(fixture("table.xlsx"), 1 << 20), before);
  ASSERT_NE(lastExcel, nullptr);
  EXPECT_THROW(Ole(lastExcel).get("Workbooks"), AutomationError);  // it has quit
}

TEST_F(SpreadsheetTable, ExcelHoldingAnotherWorkbookIsLeftRunning) {
  auto reader = open(fixture("table.xlsx"));
  Ole(reader->ExcelApp).get("Workbooks").call("Add");
  reader.reset();
  EXPECT_EQ(Ole(lastExcel).get("Workbooks").get("Count").toInt(), 1);
}

TEST_F(SpreadsheetTable, ASavedTableReadsBackWithTheSameRowsAndFormatting) {
  std::string copy = platform::joinPath(scratch, "copy.xls");
  {
    Ole excel(ooxml::createExcelApplication());
    excel.get("Workbooks").call("Add", fixture("table.xlsx").c_str()).call("SaveAs", copy.c_str());
  }
  std::vector<Row> original, saved;
  {
    auto reader = open(fixture("table.xlsx"));
    original = readAll(*reader);
  }
  {
    auto reader = open(copy);
    saved = readAll(*reader);
  }
  ASSERT_EQ(saved.size(), original.size());
  for (size_t i = 0; i < saved.size(); ++i) {
    EXPECT_EQ(saved[i].find, original[i].find) << i;
    EXPECT_EQ(saved[i].replace, original[i].replace) << i;
    EXPECT_TRUE(sameFormat(saved[i].findFormat, original[i].findFormat)) << i;
    EXPECT_TRUE(sameFormat(saved[i].replaceFormat, original[i].replaceFormat)) << i;
  }
  // The check fails the same way on a saved faulty table.
  std::string faulty = platform::joinPath(scratch, "faulty.xlsx");
  {
    Ole excel(ooxml::createExcelApplication());
    excel.get("Workbooks").call("Add", fixture("mixed_size.xlsx").c_str()).call("SaveAs", faulty.c_str());
  }
  auto reader = open(faulty);
  EXPECT_THROW(readAll(*reader), AutomationError);
  EXPECT_EQ(reader->Stage, 65);
}

TEST_F(SpreadsheetTable, FilesThatAreNoWorkbooksCannotBeOpenedAndSayWhy) {
  struct Case {
    const char* file;
    const char* says;
  } cases[] = {{"empty.xlsx", "empty"},         {"legacy.xls", "damaged"},
               {"truncated.xlsx", ""},          {"notes.xlsx", "not a workbook"},
               {"document.xlsx", "not a workbook"}, {"long_string.xlsx", "longer than 32767"},
               {"bad_index.xlsx", "shared string"}, {"missing.xlsx", "does not exist"}};
  for (const Case& c : cases) {
    auto reader = std::make_unique<TExcelObject>();
    try {
      reader->Open(fixture(c.file));
      ADD_FAILURE() << c.file << " opened";
    } catch (const AutomationError& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << c.file << ": " << e.what();
    }
    EXPECT_TRUE(reader->Workbook.isEmpty());
    reader.reset();  // closes nothing and quits the idle Excel
    EXPECT_THROW(Ole(lastExcel).get("Workbooks"), AutomationError);
  }
}

#ifndef _WIN32
long peakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}
#endif

// A table that fills every row of the sheet, each with its own shared string: read in slices,
// it loads in bounded memory and ends at the sheet's last row instead of failing.
TEST_F(SpreadsheetTable, ATableFillingAllRowsOfTheSheetLoadsInBoundedMemory) {
  const uint32_t rows = 1048576;
  std::string sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
  std::string sst = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
  for (uint32_t r = 1; r <= rows; ++r) {
    std::string n = std::to_string(r);
    sheet += "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"s\"><v>" + std::to_string(r - 1) + "</v></c></row>";
    sst += "<si><t>row " + n + "</t></si>";
  }
  sheet += "</sheetData></worksheet>";
  sst += "</sst>";
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  ooxml::ZipWriter zip;
  zip.add("[Content_Types].xml",
          "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
          "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
          "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
          "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>", 1);
  zip.add("_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
          "Id=\"rId1\" Type=\"" + rel + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>", 1);
  zip.add("xl/workbook.xml", "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" +
          rel.substr(0, rel.size() - 1) + "\"><sheets><sheet name=\"Big\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>", 1);
  zip.add("xl/_rels/workbook.xml.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"rId1\" Type=\"" + rel + "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
          "Type=\"" + rel + "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>", 1);
  zip.add("xl/worksheets/sheet1.xml", sheet, 1);
  zip.add("xl/sharedStrings.xml", sst, 1);
  std::string path = platform::joinPath(scratch, "big.xlsx");
  ASSERT_TRUE(platform::writeFileAtomically(path, zip.finish()));
  sheet.clear();
  sheet.shrink_to_fit();
  sst.clear();
  sst.shrink_to_fit();

#ifndef _WIN32
  long before = peakKilobytes();
#endif
  auto reader = open(path);
#ifndef _WIN32
  EXPECT_LT(peakKilobytes() - before, 600 * 1024) << "kilobytes of peak memory added by the load";
#endif
  Row r;
  ASSERT_TRUE(reader->ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat));
  EXPECT_EQ(r.find, u"row 1");
  reader->Row = rows;
  ASSERT_TRUE(reader->ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat));
  EXPECT_EQ(r.find, u"row 1048576");
  EXPECT_FALSE(reader->ReadRow(r.find, r.replace, r.findFormat, r.replaceFormat));
  EXPECT_EQ(reader->Row, static_cast<int32_t>(rows) + 1);
}

}  // namespace
