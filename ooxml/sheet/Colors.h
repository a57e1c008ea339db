#pragma once
// Colours as a workbook stores them (ARGB, legacy palette index, theme slot with tint) and
// their resolution to the 0x00BBGGRR values Excel's object model hands out.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace ooxml::sheet {

struct ColorRef {
  enum class Kind : uint8_t { Auto, Rgb, Indexed, Theme };
  Kind kind = Kind::Auto;
  uint32_t value = 0;  // ARGB for Rgb, the index for Indexed and Theme
  double tint = 0;     // -1 .. 1

  static ColorRef rgb(uint32_t argb, double tint = 0) { return {Kind::Rgb, argb, tint}; }
  static ColorRef indexed(uint32_t i) { return {Kind::Indexed, i, 0}; }
  static ColorRef theme(uint32_t i, double tint = 0) { return {Kind::Theme, i, tint}; }
  bool operator==(const ColorRef&) const = default;
};

// The colours a workbook may redefine: its own indexed palette and its theme's scheme, in
// the scheme's order (dk1, lt1, dk2, lt2, accent1..6, hlink, folHlink) as 0xRRGGBB.
struct ColorContext {
  std::vector<uint32_t> indexedOverride;  // empty: the legacy default palette
  std::array<uint32_t, 12> themeScheme = defaultThemeScheme();
  static std::array<uint32_t, 12> defaultThemeScheme();
};

// 0xRRGGBB of a colour; `automatic` answers Auto and the system colours 64 and 65 take
// black and white. Unknown indexes resolve to black rather than failing a read.
uint32_t resolveRgb(const ColorRef& color, const ColorContext& context, uint32_t automatic);

// Lightens (tint > 0) or darkens (tint < 0) in HLS with 255 steps, as spreadsheet themes do.
uint32_t applyTint(uint32_t rgb, double tint);

constexpr int32_t toBgr(uint32_t rgb) {
  return static_cast<int32_t>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
constexpr uint32_t fromBgr(int32_t bgr) { return toBgr(static_cast<uint32_t>(bgr) & 0xFFFFFF); }

}  // namespace ooxml::sheet
