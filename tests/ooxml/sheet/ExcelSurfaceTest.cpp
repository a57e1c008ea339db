// Our Excel through its automation members, on workbooks written by an independent tool.
#include <gtest/gtest.h>

#include "automation/AutomationFactory.h"
#include "ooxml/sheet/CellAccess.h"
#include "platform/FaultyFileSystem.h"
#include "tests/ooxml/sheet/SheetFixtures.h"

using automation::AutomationError;
using automation::Ole;
using automation::Variant;
using automation::VarType;

namespace {

class ExcelSurface : public SheetScratch {
 protected:
  Ole excel{ooxml::createExcelApplication()};
  Ole cell(int row, int column) { return excel.get("Cells").get("Item", row, column); }
  Ole add(const std::string& fixture) {
    std::string path = fixture.find_first_of("/\\") == std::string::npos ? xlsxFixture(fixture) : fixture;
    return excel.get("Workbooks").call("Add", path.c_str());
  }
  std::string text(int row, int column) { return platform::wideToUtf8(cell(row, column).get("Text").toString()); }
};

TEST_F(ExcelSurface, ApplicationStartsHiddenWithNoWorkbookAndKeepsItsFlags) {
  EXPECT_FALSE(excel.get("Visible").toBool());
  EXPECT_TRUE(excel.get("DisplayAlerts").toBool());
  excel.put("DisplayAlerts", false);
  excel.put("askToUpdateLinks", false);  // names in any case, as COM matches them
  excel.put("Visible", true);
  EXPECT_FALSE(excel.get("DisplayAlerts").toBool());
  EXPECT_FALSE(excel.get("AskToUpdateLinks").toBool());
  EXPECT_TRUE(excel.get("Visible").toBool());
  EXPECT_EQ(excel.get("Workbooks").get("Count").toInt(), 0);
  EXPECT_THROW(excel.get("Cells"), AutomationError);
  EXPECT_THROW(excel.get("NoSuchMember"), AutomationError);
}

TEST_F(ExcelSurface, AddMakesAnUnsavedActiveWorkbookFromTheTemplateAndCloseDiscardsIt) {
  Ole book = add("table.xlsx");
  EXPECT_EQ(excel.get("Workbooks").get("Count").toInt(), 1);
  EXPECT_EQ(book.get("Name").toString(), u"table1");
  EXPECT_EQ(book.get("Path").toString(), u"");
  EXPECT_EQ(book.get("Application").get("Cells").get("Item", 1, 1).get("Value").toString(), u"WORD");
  Ole second = add("values.xlsx");
  EXPECT_EQ(excel.get("Workbooks").get("Count").toInt(), 2);
  EXPECT_EQ(cell(6, 1).get("Value").toString(), u"text");  // the active sheet of the newest book
  book.call("Activate");
  EXPECT_EQ(cell(1, 1).get("Value").toString(), u"WORD");
  second.call("Close", false, Variant(), Variant());
  Variant notGiven = Variant::error(static_cast<int32_t>(0x80020004));  // how COM passes a left-out argument
  book.call("Close", notGiven, notGiven, notGiven);
  EXPECT_EQ(excel.get("Workbooks").get("Count").toInt(), 0);
  EXPECT_THROW(book.get("Name"), AutomationError);
  excel.call("Quit");
  EXPECT_THROW(excel.get("Workbooks"), AutomationError);
}

TEST_F(ExcelSurface, ValueHandsOutExcelsKinds) {
  add("values.xlsx");
  EXPECT_EQ(cell(1, 1).get("Value").value().type(), VarType::R8);
  EXPECT_EQ(cell(1, 1).get("Value").toDouble(), 12);
  Variant date = cell(2, 2).get("Value").value();
  EXPECT_EQ(date.type(), VarType::Date);
  EXPECT_EQ(date.rawReal(), 45000);
  Variant money = cell(3, 3).get("Value").value();
  EXPECT_EQ(money.type(), VarType::Currency);
  EXPECT_EQ(money.rawInteger(), 12345000);
  EXPECT_EQ(cell(3, 2).get("Value").value().type(), VarType::Currency);
  EXPECT_EQ(cell(5, 1).get("Value").value(), Variant(true));
  EXPECT_EQ(cell(5, 2).get("Value").value(), Variant(false));
  EXPECT_EQ(cell(5, 3).get("Value").value(), Variant::error(ooxml::sheet::errorScode(2042)));
  EXPECT_EQ(cell(5, 4).get("Value").value(), Variant::error(ooxml::sheet::errorScode(2007)));
  EXPECT_TRUE(cell(6, 4).get("Value").value().isEmpty());
  EXPECT_TRUE(cell(100, 100).get("Value").value().isEmpty());
  EXPECT_EQ(cell(6, 2).get("Value").toString(), u"  spaced  ");
  EXPECT_EQ(cell(6, 3).get("Value").toString(), u"tab\tescaped");
  EXPECT_THROW(cell(0, 1), AutomationError);
  EXPECT_THROW(cell(1, 16385), AutomationError);
}

TEST_F(ExcelSurface, TextShowsValuesAsTheirNumberFormatsDo) {
  add("values.xlsx");
  EXPECT_EQ(text(1, 1), "12.00");
  EXPECT_EQ(text(1, 2), "1,234,567.89");
  EXPECT_EQ(text(1, 3), "26%");
  EXPECT_EQ(text(1, 4), "25.60%");
  EXPECT_EQ(text(2, 1), "1.23E+04");
  EXPECT_EQ(text(2, 2), "03-15-23");
  EXPECT_EQ(text(2, 3), "3/15/23 18:00");
  EXPECT_EQ(text(2, 4), "5.0 kg");
  EXPECT_EQ(text(3, 1), "2023-03-15");
  EXPECT_EQ(text(3, 2), "$1.50 ");  // "_)" keeps the width of a parenthesis
  EXPECT_EQ(text(3, 3), "\xE2\x82\xAC 1,234.50");
  EXPECT_EQ(text(3, 4), "42");
  EXPECT_EQ(text(4, 1), "1 1/2");
  EXPECT_EQ(text(4, 2), "13:30:00");
  EXPECT_EQ(text(4, 3), "0.333333333");
  EXPECT_EQ(text(4, 4), "-7.25");
  EXPECT_EQ(text(5, 1), "TRUE");
  EXPECT_EQ(text(5, 3), "#N/A");
  EXPECT_EQ(text(6, 1), "text");
  EXPECT_EQ(text(6, 4), "");
}

TEST_F(ExcelSurface, FormattingWithThemeAndPaletteColours) {
  add("table.xlsx");
  EXPECT_EQ(cell(1, 1).get("Interior").get("Color").toInt(), 0x00FFFF);  // yellow as 0x00BBGGRR
  EXPECT_EQ(cell(1, 1).get("Font").get("Bold").value(), Variant(true));
  EXPECT_EQ(cell(1, 1).get("Font").get("Color").toInt(), 0x0000FF);  // red
  EXPECT_EQ(cell(1, 2).get("Interior").get("Color").toInt(), 0x0000FF);  // indexed 10
  EXPECT_EQ(cell(1, 2).get("Font").get("Italic").value(), Variant(true));
  EXPECT_EQ(cell(1, 2).get("Font").get("Size").toDouble(), 14);
  EXPECT_EQ(cell(1, 2).get("Font").get("Name").toString(), u"Arial");
  EXPECT_EQ(cell(1, 2).get("Font").get("Underline").toInt(), -4119);
  EXPECT_EQ(cell(1, 3).get("Interior").get("Color").toInt(), 16777215);
  EXPECT_EQ(cell(1, 3).get("Font").get("Underline").toInt(), -4142);
  EXPECT_EQ(cell(1, 3).get("Font").get("Color").toInt(), 0);
  // Accent 1 (4F81BD in this theme) lighter 40%, and accent 6 (F79646) darker 25%.
  int32_t font = cell(2, 1).get("Font").get("Color").toInt();
  int32_t fill = cell(2, 1).get("Interior").get("Color").toInt();
  EXPECT_NEAR(font & 0xFF, 0x95, 2);
  EXPECT_NEAR((font >> 16) & 0xFF, 0xD7, 2);
  EXPECT_NEAR(fill & 0xFF, 0xE2, 2);
  EXPECT_NEAR((fill >> 8) & 0xFF, 0x6B, 2);
  EXPECT_NEAR((fill >> 16) & 0xFF, 0x0A, 2);
}

TEST_F(ExcelSurface, FontPropertiesThatDifferInsideACellAreNull) {
  add("mixed_color.xlsx");
  EXPECT_TRUE(cell(2, 1).get("Font").get("Color").value().isNull());
  EXPECT_THROW(cell(2, 1).get("Font").get("Color").toInt(), AutomationError);
  EXPECT_EQ(cell(2, 1).get("Font").get("Size").toDouble(), 11);
  add("mixed_bold_name.xlsx");
  EXPECT_TRUE(cell(2, 1).get("Font").get("Bold").value().isNull());
  EXPECT_TRUE(cell(2, 1).get("Font").get("Name").value().isNull());
  EXPECT_EQ(cell(2, 1).get("Value").toString(), u"bold arial");
  add("mixed_underline.xlsx");
  EXPECT_TRUE(cell(2, 2).get("Font").get("Underline").value().isNull());
  EXPECT_EQ(cell(2, 1).get("Font").get("Underline").toInt(), -4142);
}

TEST_F(ExcelSurface, AssignedTextAndNumbersAreStoredAsTypingWouldStoreThem) {
  excel.get("Workbooks").call("Add");
  cell(1, 1).put("FormulaR1C1", u"WORD");
  cell(1, 2).put("Value", u"12.5");
  cell(1, 3).put("Value", 7);
  cell(2, 1).put("Value", u"'007");
  cell(2, 2).put("Value", u"true");
  cell(2, 3).put("Value", Variant());
  EXPECT_EQ(cell(1, 1).get("Value").toString(), u"WORD");
  EXPECT_EQ(cell(1, 2).get("Value").value(), Variant(12.5));
  EXPECT_EQ(cell(1, 3).get("FormulaR1C1").toString(), u"7");
  EXPECT_EQ(cell(2, 1).get("Value").toString(), u"007");
  EXPECT_EQ(cell(2, 2).get("Value").value(), Variant(true));
  EXPECT_TRUE(cell(2, 3).get("Value").value().isEmpty());
  EXPECT_THROW(cell(3, 1).put("Value", u"=1+1"), AutomationError);
  EXPECT_TRUE(cell(4, 4).call("Activate").toBool());
  EXPECT_TRUE(cell(4, 4).call("Select").toBool());
}

TEST_F(ExcelSurface, SaveAsWritesAnXlsxPackageWhateverTheExtensionAndLeavesTheTemplateAlone) {
  std::string before = platform::readFile(xlsxFixture("table.xlsx"), 1 << 20);
  Ole book = add("table.xlsx");
  cell(7, 1).put("Value", u"changed");
  std::string saved = scratch("Translation_Table1.xls");
  book.call("SaveAs", saved.c_str());
  EXPECT_EQ(platform::readFile(xlsxFixture("table.xlsx"), 1 << 20), before);
  std::string bytes = platform::readFile(saved, 1 << 20);
  EXPECT_EQ(bytes.substr(0, 2), "PK");
  EXPECT_EQ(book.get("Name").toString(), u"Translation_Table1.xls");
  book.call("Close", false, Variant(), Variant());
  add(saved);  // read back by content, not by extension
  EXPECT_EQ(cell(7, 1).get("Value").toString(), u"changed");
  EXPECT_EQ(text(3, 1), "12.00");
  EXPECT_TRUE(cell(4, 1).get("Font").get("Bold").value().isNull());
  EXPECT_EQ(cell(1, 1).get("Interior").get("Color").toInt(), 0x00FFFF);
}

#ifndef _WIN32
// What the fixture generator's independent reader (Python's zipfile and ElementTree) lists.
std::string independentListing(const std::string& path) {
  std::string command = "/usr/bin/python3 '" + std::string(TAVIMO_SOURCE_DIR) +
                        "/scripts/gen/make_xlsx_fixtures.py' --dump '" + path + "' 2>&1";
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
  }
  return out;
}

TEST_F(ExcelSurface, AnIndependentReaderFindsTheSameCellsInASavedWorkbook) {
  if (platform::fileSystem().attributes("/usr/bin/python3") < 0) GTEST_SKIP() << "no system python";
  for (const char* name : {"table.xlsx", "values.xlsx", "mixed_underline.xlsx"}) {
    Ole book = add(name);
    std::string saved = scratch(std::string("saved_") + name);
    book.call("SaveAs", saved.c_str());
    book.call("Close", false, Variant(), Variant());
    std::string expected = independentListing(xlsxFixture(name));
    ASSERT_NE(expected.find("sheet "), std::string::npos) << expected;
    EXPECT_EQ(independentListing(saved), expected) << name;
  }
}
#endif

TEST_F(ExcelSurface, AFailedSaveLeavesThePreviousFileAndNoScraps) {
  Ole book = add("table.xlsx");
  std::string target = scratch("list.xlsx");
  ASSERT_TRUE(platform::writeFileAtomically(target, "previous"));
  for (platform::FileOp op : {platform::FileOp::Open, platform::FileOp::Write, platform::FileOp::Rename}) {
    platform::FaultyFileSystem faulty;
    faulty.failAt(op, 1, true);
    platform::ScopedFileSystem scope(faulty);
    EXPECT_THROW(book.call("SaveAs", target.c_str()), AutomationError);
  }
  EXPECT_EQ(platform::readFile(target, 100), "previous");
  EXPECT_EQ(platform::fileSystem().listFolder(folder_).size(), 1u);
  {
    platform::FaultyFileSystem faulty;
    faulty.failAt(platform::FileOp::Read, 1, true);
    platform::ScopedFileSystem scope(faulty);
    EXPECT_THROW(add("values.xlsx"), AutomationError);
  }
  EXPECT_EQ(excel.get("Workbooks").get("Count").toInt(), 1);
}

TEST_F(ExcelSurface, RegisteredInProcessUnderBothProgIds) {
  ooxml::registerExcelInProcess();
  auto& f = automation::inProcessFactory();
  EXPECT_NE(f.create("Excel.Application"), nullptr);
  EXPECT_NE(f.create("excel.application.16"), nullptr);
  EXPECT_NE(f.create("Excel.Application"), f.create("Excel.Application"));  // each start is its own Excel
  EXPECT_EQ(f.versionedProgId("{00024500-0000-0000-C000-000000000046}"), "Excel.Application.16");
}

}  // namespace
