// The spreadsheet table reader on Windows reaches Excel through COM: here our engine's server,
// registered under Excel's class id, reading a real workbook.
#include <gtest/gtest.h>

#include "automation/Apartment.h"
#include "automation/AutomationFactory.h"
#include "tables/TExcelObject.h"

using namespace automation;

namespace {
std::string fixture(const std::string& name) { return std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/xlsx/" + name; }
}  // namespace

TEST(ExcelThroughCom, FoundByExcelsProgIdAndClassId) {
  ComApartment apartment;
  EXPECT_EQ(automationFactory().versionedProgId("{00024500-0000-0000-C000-000000000046}"), "Excel.Application.16");
}

TEST(ExcelThroughCom, TheTableReaderReadsRowsWithTheirFormatting) {
  ComApartment apartment;
  TExcelObject reader;
  ASSERT_TRUE(reader.Ready);
  reader.SetVisible(false);
  reader.Open(fixture("table.xlsx"));
  WideString find, replace;
  TFormating findFormat, replaceFormat;
  ASSERT_TRUE(reader.ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(find, u"WORD");
  EXPECT_EQ(findFormat.Bold, -1);
  EXPECT_EQ(findFormat.FontColor, 0x0000FF);
  EXPECT_EQ(findFormat.BackColor, 0x00FFFF);
  EXPECT_EQ(findFormat.MatchCase, 1);
  EXPECT_EQ(replace, u"word");
  EXPECT_EQ(replaceFormat.FontName, u"Arial");
  EXPECT_EQ(replaceFormat.Underline, -4119);
}

TEST(ExcelThroughCom, AMixedCellFailsTheCheckBecauseNullCrossesAsNull) {
  ComApartment apartment;
  TExcelObject reader;
  reader.Open(fixture("mixed_color.xlsx"));
  WideString find, replace;
  TFormating findFormat, replaceFormat;
  ASSERT_TRUE(reader.ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_ANY_THROW(reader.ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(reader.Stage, 64);
  TTablePosition p;
  reader.GetPosition(p);
  EXPECT_EQ(p.Row, 2);
  EXPECT_EQ(p.Column, 1);
}
