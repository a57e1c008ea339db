#include <gtest/gtest.h>

#include "settings/TUserParameters.h"

TEST(UserParameters, SetReplacesByNameWithoutRegardToCase) {
  TUserParameters p;
  p.SetParameter("JustHighLight", "0");
  p.SetParameter("JUSTHIGHLIGHT", "-1");
  EXPECT_EQ(p.GetParameter("justhighlight"), "-1");
  EXPECT_TRUE(p.GetBoolParameter("JustHighLight"));
}

TEST(UserParameters, NamesBeyondAsciiCompareWithoutCaseToo) {
  TUserParameters p;
  p.SetParameter("Gr\xF6\xDF" "e", "1");  // cp1252: o umlaut, sharp s
  p.SetParameter("GR\xD6\xDF" "E", "2");
  EXPECT_EQ(p.GetParameter("gr\xF6\xDF" "e"), "2");
  EXPECT_FALSE(p.HasParameter("Gr\xF6\xDF"));
  EXPECT_FALSE(p.HasParameter("Grosse"));
}

TEST(UserParameters, AbsentNameRaisesWithTheFixedText) {
  TUserParameters p;
  try {
    p.GetParameter("MaskForNewName");
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Parameter MaskForNewName is absent in the list! (userparameters)");
  }
}

TEST(UserParameters, BooleansReadAsNumbersOrWords) {
  TUserParameters p;
  p.SetParameter("a", "0");
  p.SetParameter("b", "True");
  p.SetParameter("c", "7");
  p.SetBoolParameter("d", false);
  EXPECT_FALSE(p.GetBoolParameter("a"));
  EXPECT_TRUE(p.GetBoolParameter("b"));
  EXPECT_TRUE(p.GetBoolParameter("c"));
  EXPECT_EQ(p.GetParameter("d"), "0");
}
