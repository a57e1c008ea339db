#include "ooxml/sheet/Colors.h"

#include <algorithm>
#include <cmath>

namespace ooxml::sheet {
namespace {

constexpr uint32_t kLegacyPalette[64] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

// Integer HLS with 255 steps, as the classic Windows colour routines compute it: Excel's
// tinted theme colours come out of exactly this rounding.
constexpr int kHlsMax = 255, kRgbMax = 255;

struct Hls {
  int h, l, s;
};

Hls toHls(uint32_t rgb) {
  int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  int mx = std::max({r, g, b}), mn = std::min({r, g, b});
  Hls c{kHlsMax * 2 / 3, ((mx + mn) * kHlsMax + kRgbMax) / (2 * kRgbMax), 0};
  if (mx == mn) return c;
  int sum = mx + mn, d = mx - mn;
  c.s = c.l <= kHlsMax / 2 ? (d * kHlsMax + sum / 2) / sum : (d * kHlsMax + (2 * kRgbMax - sum) / 2) / (2 * kRgbMax - sum);
  int rd = ((mx - r) * (kHlsMax / 6) + d / 2) / d;
  int gd = ((mx - g) * (kHlsMax / 6) + d / 2) / d;
  int bd = ((mx - b) * (kHlsMax / 6) + d / 2) / d;
  if (r == mx) c.h = bd - gd;
  else if (g == mx) c.h = kHlsMax / 3 + rd - bd;
  else c.h = 2 * kHlsMax / 3 + gd - rd;
  if (c.h < 0) c.h += kHlsMax;
  if (c.h > kHlsMax) c.h -= kHlsMax;
  return c;
}

int hueToRgb(int n1, int n2, int hue) {
  if (hue < 0) hue += kHlsMax;
  if (hue > kHlsMax) hue -= kHlsMax;
  if (hue < kHlsMax / 6) return n1 + ((n2 - n1) * hue + kHlsMax / 12) / (kHlsMax / 6);
  if (hue < kHlsMax / 2) return n2;
  if (hue < kHlsMax * 2 / 3) return n1 + ((n2 - n1) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6);
  return n1;
}

uint32_t fromHls(const Hls& c) {
  auto byte = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
  if (c.s == 0) {
    uint32_t v = byte(c.l * kRgbMax / kHlsMax);
    return (v << 16) | (v << 8) | v;
  }
  int m2 = c.l <= kHlsMax / 2 ? (c.l * (kHlsMax + c.s) + kHlsMax / 2) / kHlsMax
                              : c.l + c.s - (c.l * c.s + kHlsMax / 2) / kHlsMax;
  int m1 = 2 * c.l - m2;
  uint32_t r = byte((hueToRgb(m1, m2, c.h + kHlsMax / 3) * kRgbMax + kHlsMax / 2) / kHlsMax);
  uint32_t g = byte((hueToRgb(m1, m2, c.h) * kRgbMax + kHlsMax / 2) / kHlsMax);
  uint32_t b = byte((hueToRgb(m1, m2, c.h - kHlsMax / 3) * kRgbMax + kHlsMax / 2) / kHlsMax);
  return (r << 16) | (g << 8) | b;
}

}  // namespace

std::array<uint32_t, 12> ColorContext::defaultThemeScheme() {
  return {0x000000, 0xFFFFFF, 0x44546A, 0xE7E6E6, 0x4472C4, 0xED7D31,
          0xA5A5A5, 0xFFC000, 0x5B9BD5, 0x70AD47, 0x0563C1, 0x954F72};
}

uint32_t applyTint(uint32_t rgb, double tint) {
  if (tint == 0 || !std::isfinite(tint)) return rgb & 0xFFFFFF;
  tint = std::clamp(tint, -1.0, 1.0);
  Hls c = toHls(rgb);
  double l = tint < 0 ? c.l * (1 + tint) : c.l * (1 - tint) + (kHlsMax - kHlsMax * (1 - tint));
  c.l = static_cast<int>(std::clamp(std::lround(l), 0L, static_cast<long>(kHlsMax)));
  return fromHls(c);
}

uint32_t resolveRgb(const ColorRef& color, const ColorContext& context, uint32_t automatic) {
  uint32_t rgb = automatic;
  switch (color.kind) {
    case ColorRef::Kind::Auto: return automatic;
    case ColorRef::Kind::Rgb: rgb = color.value & 0xFFFFFF; break;
    case ColorRef::Kind::Indexed:
      if (color.value == 64) rgb = 0x000000;  // system foreground
      else if (color.value == 65) rgb = 0xFFFFFF;  // system background
      else if (color.value < context.indexedOverride.size()) rgb = context.indexedOverride[color.value];
      else if (color.value < 64) rgb = kLegacyPalette[color.value];
      else rgb = 0;
      break;
    case ColorRef::Kind::Theme: {
      // The first four theme indexes name lt1, dk1, lt2, dk2: swapped against the scheme's order.
      static constexpr uint32_t kSwap[4] = {1, 0, 3, 2};
      uint32_t i = color.value < 4 ? kSwap[color.value] : color.value;
      rgb = i < context.themeScheme.size() ? context.themeScheme[i] : 0;
      break;
    }
  }
  return applyTint(rgb, color.tint);
}

}  // namespace ooxml::sheet
