#include "WordFake.h"

#include "engine/SearchControlWord.h"
#include "engine/WordFormatting.h"

using automation::AutomationError;

namespace {

TFormating everyAttribute() {
  TFormating f;
  f.BackColor = 65535;
  f.FontColor = 255;
  f.Bold = -1;
  f.Italic = -1;
  f.FontSize = 14.5;
  f.FontName = u"Arial";
  f.Underline = 5;
  return f;
}

}  // namespace

class Formatting : public WordFake {
 protected:
  // Every assignment to the selection's formatting, in order.
  std::vector<std::string> formatting(const std::string& prefix = "Sel.") const {
    std::vector<std::string> out;
    for (const auto& l : fake.calls(prefix))
      if (l.find(" = ") != std::string::npos &&
          (l.rfind(prefix + "Font", 0) == 0 || l.rfind(prefix + "Range", 0) == 0 || l.rfind(prefix + "Find.Font", 0) == 0))
        out.push_back(l);
    return out;
  }
};

TEST(MapUnderline, SpreadsheetStylesBecomeWordsSingleDoubleOrNone) {
  EXPECT_EQ(MapUnderline(-4119), 3);
  EXPECT_EQ(MapUnderline(2), 1);
  EXPECT_EQ(MapUnderline(4), 1);
  EXPECT_EQ(MapUnderline(5), 3);
  for (int32_t other : {0, -4142, 1, 3, 6, 1000}) EXPECT_EQ(MapUnderline(other), 0) << other;
}

TEST_F(Formatting, BoldRequiredOfTheFoundTextIsSetBeforeEverySearch) {
  auto word = openWord();
  word->SearchFormattingSet = fmtBold;
  TFormating bold = everyAttribute();
  scriptHits({{1, 2, u"x"}, {5, 6, u"x"}});
  word->ReplaceInSelection(u"x", u"y", 0, &bold, nullptr);
  std::vector<std::string> sequence;
  for (const auto& l : fake.calls("Sel.Find."))
    if (l.find(" = ") != std::string::npos || l.rfind("Sel.Find.Execute", 0) == 0) sequence.push_back(l);
  const std::string execute = "Sel.Find.Execute(\"x\", False, False, False, False, False, True, 1, True, \"\", 0)";
  EXPECT_EQ(sequence, (std::vector<std::string>{"Sel.Find.Font.Bold = -1", execute, "Sel.Find.Font.Bold = -1", execute,
                                                "Sel.Find.Font.Bold = -1", execute}));
}

TEST_F(Formatting, SearchFormattingWithoutARecordOnlyAsksForFormat) {
  auto word = openWord();
  word->SearchFormattingSet = 127;
  scriptHits({});
  word->ReplaceInSelection(u"x", u"y", 0, nullptr, nullptr);
  EXPECT_TRUE(formatting().empty());
  EXPECT_EQ(calls("Sel.Find.Execute"),
            std::vector<std::string>{"Sel.Find.Execute(\"x\", False, False, False, False, False, True, 1, True, \"\", 0)"});
}

TEST_F(Formatting, AttributesGoInTheFixedOrderAndOnlyTheHighlightIsUnguarded) {
  auto word = openWord();
  word->SearchFormattingSet = 127;
  word->SetFormattingSet = 127;
  TFormating f = everyAttribute();
  fake.fails("Sel.Find.Font.Name", "unknown font");
  fake.fails("Sel.Font.Name", "unknown font");
  scriptHits({{1, 2, u"x"}});
  word->ReplaceInSelection(u"x", u"y", 0, &f, &f);
  auto applied = formatting();
  applied.resize(16);
  EXPECT_EQ(applied, (std::vector<std::string>{
                         "Sel.Find.Font.Shading.BackgroundPatternColor = 65535",
                         "Sel.Find.Font.Color = 255",
                         "Sel.Find.Font.Bold = -1",
                         "Sel.Find.Font.Italic = -1",
                         "Sel.Find.Font.Size = 14.5",
                         "Sel.Find.Font.Name = \"Arial\"",
                         "Sel.Find.Font.Underline = 3",
                         "Sel.Range.HighlightColorIndex = 0",
                         "Sel.Font.Shading.BackgroundPatternColor = 65535",
                         "Sel.Font.Color = 255",
                         "Sel.Font.Bold = -1",
                         "Sel.Font.Italic = -1",
                         "Sel.Font.Size = 14.5",
                         "Sel.Font.Name = \"Arial\"",
                         "Sel.Font.Underline = 3",
                         "Sel.Find.Font.Shading.BackgroundPatternColor = 65535",
                     }));

  fake.fails("Sel.Range.HighlightColorIndex", "protected range");
  scriptHits({{1, 2, u"x"}});
  EXPECT_THROW(word->ReplaceInSelection(u"x", u"y", 0, &f, &f), AutomationError);
  fake.fails("Sel.Find.Font.Shading.BackgroundPatternColor", "bad colour");
  scriptHits({{1, 2, u"x"}});
  EXPECT_THROW(word->ReplaceInSelection(u"x", u"y", 0, &f, &f), AutomationError);
}

TEST_F(Formatting, HighlightFromATextTableShadesWhiteAroundADefaultHighlightOfNone) {
  auto word = openWord();
  word->SetFormattingSet = fmtHighlight;
  TFormating textTableRecord;  // reset values, as a text table delivers them
  scriptHits({{1, 2, u"x"}}, 0);
  word->ReplaceRow(u"x", u"y", 0, &textTableRecord, &textTableRecord);
  EXPECT_EQ(formatting(), (std::vector<std::string>{"Sel.Range.HighlightColorIndex = 0",
                                                    "Sel.Font.Shading.BackgroundPatternColor = 16777215"}));
  EXPECT_LT(indexOf("Options.DefaultHighlightColorIndex = 0"), indexOf("Sel.Text = \"y\""));
  EXPECT_GT(indexOf("Options.DefaultHighlightColorIndex = 7"), indexOf("Sel.Font.Shading.BackgroundPatternColor = 16777215"));
}

TEST_F(Formatting, UnderlineIsMappedAndANoneCellRemovesIt) {
  auto word = openWord();
  word->SetFormattingSet = fmtUnderline;
  TFormating doubleAccounting, plain;
  doubleAccounting.Underline = 5;
  scriptHits({{1, 2, u"x"}});
  word->ReplaceInSelection(u"x", u"y", 0, nullptr, &doubleAccounting);
  scriptHits({{1, 2, u"x"}});
  word->ReplaceInSelection(u"x", u"y", 0, nullptr, &plain);
  EXPECT_EQ(formatting(), (std::vector<std::string>{"Sel.Font.Underline = 3", "Sel.Font.Underline = 0"}));
}

TEST_F(Formatting, SetFormattingOnlyWithNoAttributesStillCountsEveryHit) {
  auto word = openWord();
  word->Mode = TWordObject::kModeSetFormattingOnly;
  TFormating f = everyAttribute();
  scriptHits({{1, 2, u"x"}, {4, 5, u"x"}}, 0);
  word->ReplaceRow(u"x", u"y", 0, &f, &f);
  EXPECT_EQ(word->ReplacementCount(), 2);
  EXPECT_TRUE(formatting().empty());
  EXPECT_EQ(count("Sel.Text = "), 0u);
}
