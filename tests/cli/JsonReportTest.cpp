#include <gtest/gtest.h>

#include "cli/JsonReport.h"
#include "cli/Terminal.h"

TEST(JsonReport, EscapesAndCarriesRawValues) {
  EXPECT_EQ(JsonEscape("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
  BatchReport report;
  report.AddFile("x.docx");
  report.FileDone(2, 9, 4, 10, 12);
  report.AddFile("y.docx");
  report.FileDone(1, 4, 0, 10, 12);
  std::string j = RenderJsonReport({{"x \"q\".docx", 2, 9, 4, 10, 12, "successful", ""},
                                    {"y.docx", 1, 4, 0, 10, 12, "failed_4", "The document is damaged."}},
                                   report, 2, "Operation completed!");
  EXPECT_NE(j.find("\"status\": \"successful\", \"error\": null}"), std::string::npos);
  EXPECT_NE(j.find("\"sizeBefore\": null, \"sizeAfter\": null, \"status\": \"failed_4\", \"error\": \"The document is damaged.\"}"),
            std::string::npos);
  EXPECT_NE(j.find("\"path\": \"x \\\"q\\\".docx\""), std::string::npos);
  EXPECT_NE(j.find("\"replacements\": 4"), std::string::npos);
  EXPECT_NE(j.find("\"successful\": 1"), std::string::npos);
  EXPECT_NE(j.find("\"endText\": \"Operation completed!\""), std::string::npos);
}

TEST(ProgressBar, FitsTheWidthAndClampsPercent) {
  EXPECT_EQ(ProgressBarLine(50, "a.docx", 78), "[##########..........]  50%  a.docx");
  EXPECT_EQ(ProgressBarLine(150, "", 78).substr(0, 22), "[####################]");
  std::string longName(200, 'n');
  EXPECT_EQ(ProgressBarLine(0, longName, 60).size(), 60u);
  // A tail that would begin inside a two-byte letter begins after it instead.
  std::string umlauts;
  for (int i = 0; i < 100; ++i) umlauts += "\xC3\xBC";
  std::string line = ProgressBarLine(0, umlauts + "x", 60);
  std::string tail = line.substr(line.rfind("...") + 3);
  EXPECT_EQ(tail.size() % 2, 1u);
  EXPECT_EQ(static_cast<unsigned char>(tail[0]), 0xC3u);
}
