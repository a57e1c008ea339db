#include <gtest/gtest.h>

#include <cstdlib>

#include "ooxml/sheet/Colors.h"

using namespace ooxml::sheet;

TEST(Colors, IndexedPaletteWithSystemColoursAndAWorkbookOverride) {
  ColorContext c;
  EXPECT_EQ(resolveRgb(ColorRef::indexed(10), c, 0), 0xFF0000u);
  EXPECT_EQ(resolveRgb(ColorRef::indexed(2), c, 0), 0xFF0000u);  // 0-7 repeat 8-15
  EXPECT_EQ(resolveRgb(ColorRef::indexed(16), c, 0), 0x800000u);
  EXPECT_EQ(resolveRgb(ColorRef::indexed(64), c, 0xFFFFFF), 0x000000u);
  EXPECT_EQ(resolveRgb(ColorRef::indexed(65), c, 0), 0xFFFFFFu);
  EXPECT_EQ(resolveRgb(ColorRef::indexed(500), c, 0), 0u);
  c.indexedOverride.assign(64, 0x123456);
  EXPECT_EQ(resolveRgb(ColorRef::indexed(10), c, 0), 0x123456u);
}

TEST(Colors, ThemeSlotsSwapTheFirstTwoPairsAndTintInHls) {
  ColorContext c;
  EXPECT_EQ(resolveRgb(ColorRef::theme(0), c, 0), 0xFFFFFFu);  // lt1
  EXPECT_EQ(resolveRgb(ColorRef::theme(1), c, 0), 0x000000u);  // dk1
  EXPECT_EQ(resolveRgb(ColorRef::theme(2), c, 0), 0xE7E6E6u);  // lt2
  EXPECT_EQ(resolveRgb(ColorRef::theme(3), c, 0), 0x44546Au);  // dk2
  EXPECT_EQ(resolveRgb(ColorRef::theme(4), c, 0), 0x4472C4u);
  // Greys Excel's palette shows for "darker 15%" of white and "lighter 50%" of black.
  EXPECT_EQ(resolveRgb(ColorRef::theme(0, -0.1499984740745262), c, 0), 0xD9D9D9u);
  EXPECT_EQ(resolveRgb(ColorRef::theme(1, 0.499984740745262), c, 0), 0x7F7F7Fu);
  // Accent 1 lighter 80% and darker 50%: within a step of Excel's D9E1F2 and 203764.
  auto near = [](uint32_t a, uint32_t b) {
    for (int shift : {0, 8, 16})
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 2) return false;
    return true;
  };
  EXPECT_TRUE(near(resolveRgb(ColorRef::theme(4, 0.7999816888943144), c, 0), 0xD9E1F2));
  EXPECT_TRUE(near(resolveRgb(ColorRef::theme(4, -0.499984740745262), c, 0), 0x203764));
  EXPECT_EQ(applyTint(0x4472C4, 1.0), 0xFFFFFFu);
  EXPECT_EQ(applyTint(0x4472C4, -1.0), 0x000000u);
}

TEST(Colors, RgbIgnoresAlphaAndAutoTakesTheCallersDefault) {
  ColorContext c;
  EXPECT_EQ(resolveRgb(ColorRef::rgb(0xFFFF0000), c, 0), 0xFF0000u);
  EXPECT_EQ(resolveRgb(ColorRef{}, c, 0xABCDEF), 0xABCDEFu);
  EXPECT_EQ(toBgr(0xFF0000), 0x0000FF);
  EXPECT_EQ(fromBgr(0x0000FF), 0xFF0000u);
}
