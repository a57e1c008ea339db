#include <gtest/gtest.h>

#include "plugin/BatchReport.h"

TEST(FormatSize, GroupsByThreeWithBlanks) {
  EXPECT_EQ(FormatSize(0), "0");
  EXPECT_EQ(FormatSize(999), "999");
  EXPECT_EQ(FormatSize(1200000), "1 200 000");
  EXPECT_EQ(FormatSize(-1234), "-1 234");
  EXPECT_EQ(FormatSize(5000000000LL), "5 000 000 000");
  EXPECT_EQ(FormatSize(INT64_MIN), "-9 223 372 036 854 775 808");
}

TEST(BatchReport, LinesAndTotalsByFileResult) {
  BatchReport r;
  r.AddFile("a.docx");
  r.Progress(40);
  EXPECT_EQ(r.Lines()[0].status, u"40%");
  r.FileDone(2, 9, 3, 1000, 1200);
  r.AddFile("b.docx");
  r.FileDone(8, 7, 0, 500, 500);
  r.AddFile("c.txt");
  r.FileDone(16, 0, 0, 70, 70);
  r.AddFile("d.docx");
  r.FileDone(1, 6, 0, 99, 99);
  r.AddFile("e.docx");
  r.FileDone(1, 0, 0, 0, 0);

  auto& l = r.Lines();
  EXPECT_EQ(l[0].sizes, (std::array<std::string, 4>{"1 000", "1 200", "200", "3"}));
  EXPECT_EQ(l[0].status, u"successful");
  EXPECT_EQ(l[0].statusColour, CellColour::Green);
  EXPECT_EQ(l[1].status, u"unchanged");
  EXPECT_EQ(l[2].status, u"not supported");
  EXPECT_EQ(l[3].sizes[0], "?");
  EXPECT_EQ(l[3].status, u"failed_6");
  EXPECT_EQ(l[4].status, u"failed");
  EXPECT_EQ(l[4].statusColour, CellColour::Red);

  auto t = r.Totals();
  EXPECT_EQ(t[0], (std::array<std::string, 4>{"5", "1 570", "1 770", "200"}));
  EXPECT_EQ(t[1], (std::array<std::string, 4>{"2", "570", "570", "0"}));
  EXPECT_EQ(t[2], (std::array<std::string, 4>{"1", "1 000", "1 200", "200"}));
  EXPECT_EQ(t[3], (std::array<std::string, 4>{"2", "---", "---", "---"}));
}

TEST(BatchReport, TotalsPast2GiBStayExact) {
  BatchReport r;
  r.AddFile("big.docx");
  r.FileDone(2, 9, 1, 3'000'000'000LL, 5'000'000'000LL);
  EXPECT_EQ(r.Totals()[0][2], "5 000 000 000");
  EXPECT_EQ(r.Totals()[2][3], "2 000 000 000");
}

TEST(RunStateText, EndTexts) {
  EXPECT_EQ(RunStateText(1), u"Operation aborted!");
  EXPECT_EQ(RunStateText(2), u"Operation completed!");
  EXPECT_EQ(RunStateText(4), u"Error during launch MS Word application!");
  EXPECT_EQ(RunStateText(0), u"");
}
