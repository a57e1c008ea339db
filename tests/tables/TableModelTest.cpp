#include <gtest/gtest.h>

#include "tables/OpenTranslationTable.h"
#include "tables/TAbstractTable.h"
#include "tables/TTextTable.h"

namespace {

struct Overrides {
  int32_t matchCase, wholeWord, wildcards;
  bool operator==(const Overrides&) const = default;
};

Overrides parse(const char16_t* options) {
  TFormating f;
  f.MatchCase = f.WholeWord = f.Wildcards = 7;  // parsing must reset what it does not set
  TAbstractTable::ParseRowOptions(f, options);
  return {f.MatchCase, f.WholeWord, f.Wildcards};
}

}  // namespace

TEST(RowOptions, LettersInAnyCaseSetOverridesAndMinusTurnsOffTheNextOne) {
  EXPECT_EQ(parse(u"cwd"), (Overrides{1, 1, 1}));
  EXPECT_EQ(parse(u"-c-w-d"), (Overrides{0, 0, 0}));
  EXPECT_EQ(parse(u"CW"), (Overrides{1, 1, -1}));
  EXPECT_EQ(parse(u"dW"), (Overrides{-1, 1, 1}));
}

TEST(RowOptions, LaterLetterWinsAndTrailingMinusDoesNothing) {
  EXPECT_EQ(parse(u"C-C"), (Overrides{0, -1, -1}));
  EXPECT_EQ(parse(u"C-"), (Overrides{1, -1, -1}));
  EXPECT_EQ(parse(u"--c"), (Overrides{0, -1, -1}));
}

TEST(RowOptions, MinusIsUsedUpByWhateverCharacterFollows) {
  EXPECT_EQ(parse(u"-xC"), (Overrides{1, -1, -1}));
  EXPECT_EQ(parse(u"- C"), (Overrides{1, -1, -1}));
}

TEST(RowOptions, TextsWithoutOptionLettersLeaveEverythingToTheBatch) {
  EXPECT_EQ(parse(u"X"), (Overrides{-1, -1, -1}));
  EXPECT_EQ(parse(u"12"), (Overrides{-1, -1, -1}));
  EXPECT_EQ(parse(u""), (Overrides{-1, -1, -1}));
}

TEST(TableFormat, ResetGivesWhiteFillTwelvePointsAndNoOverrides) {
  TFormating f;
  f.BackColor = 1;
  f.FontName = u"Arial";
  f.MatchCase = 0;
  f.FontSize = 3;
  ResetFormating(f);
  EXPECT_EQ(f.BackColor, 16777215);
  EXPECT_EQ(f.FontSize, 12.0);
  EXPECT_TRUE(f.FontName.empty());
  EXPECT_EQ(f.MatchCase, -1);
  EXPECT_EQ(f.Underline, 0);
}

TEST(ReaderChoice, OnlyTxtInAnyCaseGoesToTheTextReader) {
  EXPECT_TRUE(IsTextTableName("LIST.TXT"));
  EXPECT_TRUE(IsTextTableName("dir.xls/list.Txt"));
  EXPECT_FALSE(IsTextTableName("list.txt.xls"));
  EXPECT_FALSE(IsTextTableName("list.csv"));
  EXPECT_FALSE(IsTextTableName("txt"));

  auto text = CreateTableReader("C:\\tables\\LIST.TXT");
  ASSERT_NE(text, nullptr);
  EXPECT_NE(dynamic_cast<TTextTable*>(text.get()), nullptr);
  EXPECT_TRUE(text->Ready);
  EXPECT_EQ(text->Row, 1);
  EXPECT_EQ(text->Stage, 0);
}

TEST(ReaderChoice, SpreadsheetTablesCannotBeOpenedWithoutTheSpreadsheetReader) {
  EXPECT_EQ(CreateTableReader("list.xls"), nullptr);
  EXPECT_EQ(CreateTableReader("list.csv"), nullptr);
}
