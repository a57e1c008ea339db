#include <gtest/gtest.h>

#include <string>

#include "platform/FaultyFileSystem.h"
#include "settings/TClassTranslator.h"
#include "tests/settings/SettingsTestFolder.h"

namespace {

class Translator : public SettingsFolder {
 protected:
  TClassTranslator translator{9500, 3000};
  bool load(const std::string& bytes) { return translator.LoadLanguageFile(write("t.lnm", bytes)); }
  std::string text(int32_t id) const { return translator.GetText(id); }
};

}  // namespace

TEST_F(Translator, TranslationWinsOverTheDefaultWhicheverCameFirst) {
  translator.RegisterText(208, "Name");
  EXPECT_TRUE(load("208=Nom\r\n209=inchang\xE9\r\n"));
  translator.RegisterText(209, "unchanged");
  EXPECT_EQ(text(208), "Nom");
  EXPECT_EQ(text(209), "inchang\xE9");  // bytes pass unchanged
  translator.RegisterText(210, "failed");
  EXPECT_EQ(text(210), "failed");
}

TEST_F(Translator, UnregisteredAndOutOfRangeIdsAreEmpty) {
  EXPECT_EQ(text(224), "");
  EXPECT_EQ(text(0), "");
  EXPECT_EQ(text(-1), "");
  EXPECT_EQ(text(3000), "");
  EXPECT_EQ(text(INT32_MAX), "");
  EXPECT_EQ(text(INT32_MIN), "");
  translator.RegisterText(6000, "outside");
  translator.RegisterText(-5, "outside");
  EXPECT_EQ(text(2999), "");
}

TEST_F(Translator, EmptyTranslationHidesTheDefault) {
  translator.RegisterText(208, "Name");
  load("208=");
  EXPECT_EQ(text(208), "");
}

TEST_F(Translator, BlanksBeforeTheEqualsSignAreSkippedAndAfterItKept) {
  load("2 08 =  word  \r\nx2y09=a=b\r\n");
  EXPECT_EQ(text(208), "  word  ");
  EXPECT_EQ(text(209), "a=b");
}

TEST_F(Translator, LinesWithoutEqualsOrWithLargeIdsChangeNothing) {
  translator.RegisterText(208, "Name");
  EXPECT_TRUE(load(std::string(86, '*') + "\r\n\r\nletters only\r\n30000=big\r\n"
                   "99999999999999999999=twenty digits\r\n" "4294967504=wraps to 208 in 32 bits\r\n"));
  EXPECT_EQ(text(208), "Name");
  EXPECT_EQ(text(0), "");
}

TEST_F(Translator, LastLineNeedsNoLineEndAndLoneCrOrLfEndLines) {
  load("208=a\r209=b\n210=c");
  EXPECT_EQ(text(208), "a");
  EXPECT_EQ(text(209), "b");
  EXPECT_EQ(text(210), "c");
  load("211=x");
  EXPECT_EQ(text(211), "x");
}

TEST_F(Translator, LaterLinesAndLaterFilesOverlayEarlierOnes) {
  load("208=one\r\n208=two\r\n209=kept\r\n");
  load("208=three\r\n");
  EXPECT_EQ(text(208), "three");
  EXPECT_EQ(text(209), "kept");
}

TEST_F(Translator, BackslashNBecomesCrLfOnlyInLanguageFiles) {
  load("208=one\\ntwo\r\n209=a\\\\nb\r\n210=up\\Nper\r\n");
  EXPECT_EQ(text(208), "one\r\ntwo");
  EXPECT_EQ(text(209), "a\\\r\nb");
  EXPECT_EQ(text(210), "up\\Nper");
  translator.RegisterText(211, "one\\ntwo");
  EXPECT_EQ(text(211), "one\\ntwo");

  std::string s = "\\n\\nn\\";
  ConvertLanguageEscapes(s);
  EXPECT_EQ(s, "\r\n\r\nn\\");
}

TEST_F(Translator, NulInsideAFileTextEndsThatText) {
  load(std::string("208=ab\0cd\r\n209=ok", 18));
  EXPECT_EQ(text(208), "ab");
  EXPECT_EQ(text(209), "ok");
}

TEST_F(Translator, UnreadableFilesLeaveTheTextsAsTheyWere) {
  translator.RegisterText(208, "Name");
  EXPECT_FALSE(translator.LoadLanguageFile(path("missing.lnm")));
  std::string file = write("short.lnm", "208=Nom\r\n");
  {
    platform::FaultyFileSystem faulty;
    platform::ScopedFileSystem scope(faulty);
    faulty.failAt(platform::FileOp::Read, 1);  // fewer bytes than the size says
    EXPECT_FALSE(translator.LoadLanguageFile(file));
    faulty.reportSize(file, static_cast<int64_t>(TClassTranslator::kMaxLanguageFileBytes) + 1);
    EXPECT_FALSE(translator.LoadLanguageFile(file));
  }
  EXPECT_EQ(text(208), "Name");
}

TEST_F(Translator, PoolGrowsFarBeyondItsFirstSizeAndKeepsEveryText) {
  for (int i = 0; i < 2000; ++i) {
    std::string t = std::to_string(i) + std::string(100 - std::to_string(i).size(), 'x');
    translator.RegisterText(i + 1, t.c_str());
  }
  EXPECT_GT(translator.PoolCapacity(), 200000);
  for (int i = 0; i < 2000; ++i) {
    std::string t = text(i + 1);
    ASSERT_EQ(t.size(), 100u);
    ASSERT_EQ(t.substr(0, std::to_string(i).size()), std::to_string(i));
  }
}

TEST_F(Translator, LargeFileOfShortLinesLoadsWithBoundedPool) {
  std::string big;
  while (big.size() < (10u << 20)) big += "208=x\r\n";
  EXPECT_TRUE(load(big));
  EXPECT_EQ(text(208), "x");
  EXPECT_LT(translator.PoolCapacity(), 64 << 20);
}

TEST(ModuleTranslator, HoldsTheModuleTextsFromLoadAndTheWindowTextsOnceRegistered) {
  TClassTranslator& t = ::Translator();
  EXPECT_STREQ(t.GetText(243), "Text in cell in different colors.");
  EXPECT_STREQ(t.GetText(371), "Do nothing. Ignore the row");
  EXPECT_STREQ(t.GetText(373), "Leave capital of the first character as is");
  TClassTranslator fresh(9500, 3000);
  EXPECT_STREQ(fresh.GetText(208), "");
  RegisterMainWindowTexts(fresh);
  EXPECT_STREQ(fresh.GetText(208), "Name");
  EXPECT_STREQ(fresh.GetText(238), "MS Word %s was detected!");
  EXPECT_STREQ(fresh.GetText(315), "E&dit...");
  EXPECT_STREQ(fresh.GetText(240), "");
}
