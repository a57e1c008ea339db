#include <gtest/gtest.h>

#include "cli/CliOptions.h"

TEST(CommandLine, OptionsAndPathsInOrder) {
  CliOptions o = ParseCommandLine({"b.docx", "--table", "t.txt", "--case", "--no-whole-word", "--mask", "[N]_x.[E]",
                                   "--empty-replacement=ignore", "a.docx", "--", "--odd.docx"});
  EXPECT_EQ(o.table, "t.txt");
  EXPECT_EQ(o.paths, (std::vector<std::string>{"b.docx", "a.docx", "--odd.docx"}));
  EXPECT_EQ(o.matchCase, true);
  EXPECT_EQ(o.wholeWord, false);
  EXPECT_FALSE(o.wildcards.has_value());
  EXPECT_EQ(o.saveMode, CliOptions::SaveMode::Mask);
  EXPECT_EQ(o.mask, "[N]_x.[E]");
  EXPECT_EQ(o.ignoreEmptyReplacement, true);
}

TEST(CommandLine, MistakesAreReportedNotGuessed) {
  EXPECT_THROW(ParseCommandLine({"a.docx"}), std::invalid_argument);
  EXPECT_THROW(ParseCommandLine({"--table"}), std::invalid_argument);
  EXPECT_THROW(ParseCommandLine({"--table", "t.txt", "--frobnicate"}), std::invalid_argument);
  EXPECT_THROW(ParseCommandLine({"--table", "t.txt", "--mask", ""}), std::invalid_argument);
  EXPECT_TRUE(ParseCommandLine({"--help"}).help);
  for (const char* jobs : {"0", "65", "-1", "two", "", "2x", "999999999999999999999"})
    EXPECT_THROW(ParseCommandLine({"--table", "t.txt", "--jobs", jobs}), std::invalid_argument) << jobs;
  EXPECT_EQ(ParseCommandLine({"--table", "t.txt", "--jobs", "64"}).jobs, 64u);
  EXPECT_EQ(ParseCommandLine({"--table", "t.txt"}).jobs, 1u);
}
