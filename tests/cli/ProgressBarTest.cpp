#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/ProgressBar.h"

namespace {
std::string written(std::FILE* f) {
  std::fflush(f);
  std::string all(static_cast<size_t>(std::ftell(f)), '\0');
  std::rewind(f);
  all.resize(std::fread(all.data(), 1, all.size(), f));
  return all;
}
}  // namespace

TEST(ProgressBar, DrawsOnlyForADocumentInHandAndWipesWhatItDrew) {
  std::FILE* f = std::tmpfile();
  ASSERT_TRUE(f);
  ProgressBar bar(f, std::chrono::milliseconds(0));
  EXPECT_FALSE(bar.Due());  // no document yet
  bar.Start("a.docx");
  ASSERT_TRUE(bar.Due());
  bar.Draw(0);
  bar.Draw(0);  // the same line is not written again
  bar.Draw(40);
  bar.Clear();
  EXPECT_FALSE(bar.Due());
  bar.Clear();  // nothing on screen: nothing to wipe
  const std::string out = written(f);
  const std::string wipe = "\r" + std::string(78, ' ') + "\r";
  EXPECT_EQ(out, "\r[....................]   0%  a.docx\r[########............]  40%  a.docx" + wipe);
  std::fclose(f);
}

TEST(ProgressBar, WaitsItsIntervalBetweenDraws) {
  std::FILE* f = std::tmpfile();
  ASSERT_TRUE(f);
  ProgressBar bar(f, std::chrono::hours(1));
  bar.Start("b.docx");
  EXPECT_TRUE(bar.Due());  // the first draw of a batch is not held back
  bar.Draw(10);
  EXPECT_FALSE(bar.Due());
  bar.Clear();
  std::fclose(f);
}
