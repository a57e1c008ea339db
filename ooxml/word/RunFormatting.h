#pragma once
// Character formatting at the element layer: what a run's attributes are once its own w:rPr,
// its character style, its paragraph's style chain and the document defaults have spoken, and
// writing one attribute into a run's w:rPr. Values use Word's conventions (colours
// 0x00BBGGRR, automatic -16777216, Word's underline and highlight numbers).
//
// Theme fonts (w:asciiTheme) resolve to the theme part's minor or major latin typeface, the
// name Word shows; without a theme part they read as "+Body" / "+Headings". Toggle properties
// (bold, italic) take the nearest level that sets them rather than flipping per style level.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ooxml/package/Package.h"
#include "ooxml/package/Xml.h"

namespace ooxml::word {

inline constexpr int32_t kAutomaticColor = -16777216;  // wdColorAutomatic
inline constexpr int32_t kUndefined = 9999999;         // wdUndefined: mixed formatting

// The formatting a character shows.
struct RunFont {
  std::u16string name;
  double size = 10;  // points
  int32_t color = kAutomaticColor;
  bool bold = false, italic = false;
  int32_t underline = 0;
  int32_t shading = kAutomaticColor;  // w:shd fill
  int32_t highlight = 0;              // HighlightColorIndex
  bool operator==(const RunFont&) const = default;
};

class StyleSheet {
 public:
  StyleSheet() = default;  // a document without styles or theme
  // Reads the styles and theme parts related to the main part (missing ones count as empty).
  StyleSheet(Package& package, const std::string& mainPart);

  // The formatting of the characters of a run (the run's paragraph is found among its ancestors).
  RunFont effective(xml::Node run) const;
  // What text without a run (a paragraph mark with no properties of its own) shows.
  RunFont defaults() const { return effective(xml::Node()); }

 private:
  xml::Node style(std::string_view id) const;
  std::u16string themeFont(std::string_view themeName) const;

  std::unordered_map<std::string, xml::Node> styles_;
  xml::Node defaultParagraphStyle_, docDefaults_;
  std::u16string minorFont_, majorFont_;
};

// Writers: each puts one attribute into the run's w:rPr (made when missing), in the order
// the schema wants. Values are Word's and must already be valid (see the checks below).
void setBold(xml::Node run, bool on);
void setItalic(xml::Node run, bool on);
void setSize(xml::Node run, double points);
void setFontName(xml::Node run, std::u16string_view name);
void setColor(xml::Node run, int32_t bgr);
void setUnderline(xml::Node run, int32_t wordUnderline);
void setShading(xml::Node run, int32_t bgr);
void setHighlight(xml::Node run, int32_t index);

bool isUnderlineValue(int32_t v);
bool isHighlightIndex(int32_t v);  // 0 .. 16
bool isColorValue(int32_t v);      // 0 .. 0xFFFFFF or automatic
bool isSizeValue(double points);   // 1 .. 1638 points

}  // namespace ooxml::word
