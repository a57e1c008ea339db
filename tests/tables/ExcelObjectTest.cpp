// The spreadsheet reader against the recording fake: which Excel members it calls, in which
// order, with which arguments, and how it reads the answers.
#include <gtest/gtest.h>

#include "automation/AutomationFactory.h"
#include "automation/FakeAutomation.h"
#include "settings/TClassTranslator.h"
#include "tables/OpenTranslationTable.h"
#include "tables/TExcelObject.h"

using automation::FakeAutomation;
using automation::InProcessFactory;
using automation::ScopedAutomationFactory;
using automation::Variant;

namespace {

class ExcelObjectTest : public ::testing::Test {
 protected:
  ExcelObjectTest() {
    factory.registerClass("{00024500-0000-0000-C000-000000000046}", "Excel.Application", "Excel.Application.16",
                          [this] { return fake.root(); });
    fake.returns("Workbooks.Add", {Variant(fake.object("Workbook"))});
    fake.returns("Workbooks.Count", {0});
  }

  static std::string cell(int row, int column) {
    return "Workbook.Application.Cells.Item(" + std::to_string(row) + ", " + std::to_string(column) + ")";
  }
  // A cell with a value and uniform formatting; the caller may override single members after.
  void script(int row, int column, Variant value, Variant text = Variant()) {
    std::string c = cell(row, column);
    fake.returns(c + ".Value", {value});
    if (!text.isEmpty()) fake.returns(c + ".Text", {text});
    fake.returns(c + ".Interior.Color", {16777215.0});
    fake.returns(c + ".Font.Bold", {false});
    fake.returns(c + ".Font.Italic", {false});
    fake.returns(c + ".Font.Color", {0.0});
    fake.returns(c + ".Font.Size", {11.0});
    fake.returns(c + ".Font.Name", {"Calibri"});
    fake.returns(c + ".Font.UnderLine", {-4142});
  }
  void row(int r, Variant first, Variant second, Variant third = Variant()) {
    script(r, 1, first);
    script(r, 2, second);
    fake.returns(cell(r, 3) + ".Value", {third});
  }
  std::unique_ptr<TExcelObject> opened() {
    auto reader = std::make_unique<TExcelObject>();
    reader->SetVisible(false);
    reader->Open("/tables/list.xlsx");
    fake.clearLog();
    return reader;
  }

  FakeAutomation fake;
  InProcessFactory factory;
  ScopedAutomationFactory scope{factory};
  WideString find, replace;
  TFormating findFormat, replaceFormat;
};

TEST_F(ExcelObjectTest, StartsExcelWithoutPromptsAndOpensTheTableAsATemplate) {
  TExcelObject reader;
  EXPECT_TRUE(reader.Ready);
  reader.SetVisible(false);
  fake.returns("Visible", {false});
  EXPECT_FALSE(reader.GetVisible());
  reader.Open("/tables/list.xlsx");
  EXPECT_EQ(fake.log(), (std::vector<std::string>{"DisplayAlerts = False", "AskToUpdateLinks = False",
                                                  "Visible = False", "Visible", "Workbooks",
                                                  "Workbooks.Add(\"/tables/list.xlsx\")"}));
  EXPECT_TRUE(reader.Workbook.isObject());
}

TEST_F(ExcelObjectTest, ExcelThatCannotStartLeavesAReaderThatIsNotReadyAndMakesNoCalls) {
  InProcessFactory empty;
  ScopedAutomationFactory none(empty);
  { TExcelObject reader; EXPECT_FALSE(reader.Ready); EXPECT_TRUE(reader.ExcelApp.isEmpty()); }
  EXPECT_TRUE(fake.log().empty());
}

TEST_F(ExcelObjectTest, DestructionClosesWithoutSavingAndQuitsOnlyWhenNoWorkbookIsLeft) {
  opened().reset();
  EXPECT_EQ(fake.log(), (std::vector<std::string>{"Workbook.Close(False, Empty, Empty)", "Workbooks",
                                                  "Workbooks.Count", "Quit()"}));
  fake.returns("Workbooks.Count", {1});
  auto reader = opened();
  reader->Close();
  reader->Close();  // a second close has no workbook to close
  reader.reset();
  EXPECT_EQ(fake.log(), (std::vector<std::string>{"Workbook.Close(False, Empty, Empty)", "Workbooks",
                                                  "Workbooks.Count"}));
}

TEST_F(ExcelObjectTest, FailuresWhileShuttingDownNeverEscapeTheDestructor) {
  fake.fails("Workbook.Close", "closing failed");
  fake.fails("Quit", "quit failed");
  EXPECT_NO_THROW(opened().reset());
  fake.failsAlways("Workbooks.Count", "Excel went away");
  EXPECT_NO_THROW(opened().reset());
}

TEST_F(ExcelObjectTest, ReadsCellsInTheFixedOrderAndAdvancesRow) {
  auto reader = opened();
  row(1, "WORD", "word", "cw");
  ASSERT_TRUE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  std::vector<std::string> expected{cell(1, 1) + ".Value", cell(1, 2) + ".Value", cell(1, 3) + ".Value"};
  for (int column : {1, 2}) {
    for (const char* member : {".Interior.Color", ".Font.Bold", ".Font.Italic", ".Font.Color", ".Font.Size",
                               ".Font.Name", ".Font.UnderLine"})
      expected.push_back(cell(1, column) + member);
  }
  std::vector<std::string> members;  // the property reads, without the objects fetched on the way
  for (const std::string& line : fake.calls("Workbook.Application.Cells.Item(1, "))
    if (line.find(".Value") != line.npos || line.find(".Font.") != line.npos || line.find(".Interior.") != line.npos)
      members.push_back(line);
  EXPECT_EQ(members, expected);
  EXPECT_EQ(find, u"WORD");
  EXPECT_EQ(replace, u"word");
  EXPECT_EQ(reader->Row, 2);
  EXPECT_EQ(reader->Stage, 68);
  EXPECT_EQ(findFormat.MatchCase, 1);
  EXPECT_EQ(findFormat.WholeWord, 1);
  EXPECT_EQ(findFormat.Wildcards, -1);
  EXPECT_EQ(findFormat.FontName, u"Calibri");
  EXPECT_EQ(findFormat.BackColor, 16777215);
}

TEST_F(ExcelObjectTest, TwoRowsThenAnEmptyFirstCellEndTheTable) {
  auto reader = opened();
  row(1, "WORD", "word");
  row(2, "ONE", "MANY");
  row(3, Variant(), "orphan");
  EXPECT_TRUE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_TRUE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(replace, u"MANY");
  EXPECT_FALSE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(reader->Row, 3);
  EXPECT_EQ(reader->Stage, 61);
  reader->Rewind();
  EXPECT_TRUE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(find, u"WORD");
}

TEST_F(ExcelObjectTest, NumbersAreReadAsDisplayedAndOtherKindsEndTheTable) {
  auto reader = opened();
  row(1, 12.0, Variant::currency(15000));
  fake.returns(cell(1, 1) + ".Text", {"12.00"});
  fake.returns(cell(1, 2) + ".Text", {"$1.50"});
  ASSERT_TRUE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(find, u"12.00");
  EXPECT_EQ(replace, u"$1.50");

  row(2, "yes", true);
  EXPECT_FALSE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(reader->Stage, 62);
  EXPECT_TRUE(find.empty());
  for (Variant ends : {Variant(true), Variant::error(static_cast<int32_t>(0x800A07FA)), Variant::r4(1.5f),
                       Variant::ofKind(automation::VarType::UI4, 7), Variant::null()}) {
    row(2, ends, "x");
    EXPECT_FALSE(reader->ReadRow(find, replace, findFormat, replaceFormat)) << ends.render();
    EXPECT_EQ(reader->Row, 2);
  }
}

TEST_F(ExcelObjectTest, AnEmptySecondCellGivesAnEmptyReplacement) {
  auto reader = opened();
  row(1, "delete me", Variant(), 5.0);
  ASSERT_TRUE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(replace, u"");
  EXPECT_EQ(findFormat.MatchCase, -1);  // a number in the third cell is no option text
}

TEST_F(ExcelObjectTest, OverridesOfAPreviousRowDoNotCarryOver) {
  auto reader = opened();
  row(1, "a", "b", "-c");
  row(2, "c", "d");
  ASSERT_TRUE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(findFormat.MatchCase, 0);
  ASSERT_TRUE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(findFormat.MatchCase, -1);
}

TEST_F(ExcelObjectTest, MixedColourSizeOrUnderlineFailTheRowAtTheirStage) {
  struct Case {
    const char* member;
    int stage;
    int column;
    int message;
  } cases[] = {{".Font.Color", 64, 1, 243}, {".Font.Size", 65, 1, 244}, {".Font.UnderLine", 66, 1, 245},
               {".Interior.Color", 63, 1, 243}};
  for (const Case& c : cases) {
    auto reader = opened();
    row(1, "red and black", "x");
    fake.returns(cell(1, 1) + c.member, {Variant::null()});
    EXPECT_THROW(reader->ReadRow(find, replace, findFormat, replaceFormat), automation::AutomationError);
    EXPECT_EQ(reader->Stage, c.stage) << c.member;
    EXPECT_EQ(reader->Row, 1);
    EXPECT_EQ(TableCheckMessageId(reader->Stage), c.message);
    TTablePosition position;
    reader->GetPosition(position);
    EXPECT_EQ(position.Row, 1);
    EXPECT_EQ(position.Column, c.column);
  }
}

TEST_F(ExcelObjectTest, AFaultInTheSecondCellPointsAtColumnTwo) {
  auto reader = opened();
  row(1, "fine", "mixed");
  fake.returns(cell(1, 2) + ".Font.Size", {Variant::null()});
  EXPECT_THROW(reader->ReadRow(find, replace, findFormat, replaceFormat), automation::AutomationError);
  EXPECT_EQ(reader->Stage, 65);
  TTablePosition position;
  reader->GetPosition(position);
  EXPECT_EQ(position.Column, 2);
}

TEST_F(ExcelObjectTest, MixedBoldItalicOrFontNamePassAsPlain) {
  auto reader = opened();
  row(1, "partly bold", "x");
  fake.returns(cell(1, 1) + ".Font.Bold", {Variant::null()});
  fake.returns(cell(1, 1) + ".Font.Italic", {Variant::null()});
  fake.returns(cell(1, 1) + ".Font.Name", {Variant::null()});
  fake.returns(cell(1, 2) + ".Font.Bold", {true});
  ASSERT_TRUE(reader->ReadRow(find, replace, findFormat, replaceFormat));
  EXPECT_EQ(findFormat.Bold, 0);
  EXPECT_EQ(findFormat.Italic, 0);
  EXPECT_EQ(findFormat.FontName, u"");
  EXPECT_EQ(replaceFormat.Bold, -1);
}

TEST_F(ExcelObjectTest, EveryExtensionButTxtGoesToTheSpreadsheetReader) {
  for (const char* name : {"list.xls", "list.xlsx", "list.txt.xls", "list.csv", "list"}) {
    auto reader = CreateTableReader(name);
    ASSERT_NE(reader, nullptr) << name;
    EXPECT_NE(dynamic_cast<TExcelObject*>(reader.get()), nullptr) << name;
  }
}

TEST(TableCheckMessage, ChoosesTheTextByStageAndAppendsTheAdviceAfterACarriageReturn) {
  auto text = [](int32_t id) { return platform::utf8ToWide("#" + std::to_string(id)); };
  EXPECT_EQ(TableCheckMessage(63, text), u"#243\r#247");
  EXPECT_EQ(TableCheckMessage(64, text), u"#243\r#247");
  EXPECT_EQ(TableCheckMessage(65, text), u"#244\r#247");
  EXPECT_EQ(TableCheckMessage(66, text), u"#245\r#247");
  for (int stage : {0, 60, 61, 62, 67, 68}) EXPECT_EQ(TableCheckMessageId(stage), 246);
}

TEST(TableCheckMessage, UsesTheTranslatorsTexts) {
  RegisterModuleTexts(Translator());
  EXPECT_EQ(TableCheckMessage(65), u"Size of the text is different in cell.\rPlease apply formatting for the whole cell.");
  EXPECT_EQ(TableCheckMessage(61), u"Please correct text in the cell\rPlease apply formatting for the whole cell.");
}

}  // namespace
