#include "ooxml/sheet/OdsStyles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "ooxml/sheet/SheetXml.h"

namespace ooxml::sheet::ods {
namespace {

constexpr size_t kMaxChain = 16;          // parents followed, against cycles and long chains
constexpr size_t kMaxShownTexts = 4096;   // formats made to show a file's own text

// What a cell shows when the file names no font at all: the defaults of the program that wrote it.
Font writersDefaultFont() {
  Font f;
  f.name = u"Liberation Sans";
  f.size = 10;
  return f;
}

std::optional<uint32_t> rgbOf(std::string_view v) {
  uint32_t rgb = 0;
  if (v.size() != 7 || v[0] != '#') return std::nullopt;
  auto r = std::from_chars(v.data() + 1, v.data() + 7, rgb, 16);
  if (r.ec != std::errc() || r.ptr != v.data() + 7) return std::nullopt;
  return rgb;
}

// "12pt", "0.5in", "4.2mm", "120%" (of the size inherited) in points; nullopt when unreadable.
std::optional<double> pointsOf(std::string_view v, double inherited) {
  double d = 0;
  auto r = std::from_chars(v.data(), v.data() + v.size(), d);
  if (r.ec != std::errc()) return std::nullopt;
  std::string_view unit(r.ptr, static_cast<size_t>(v.data() + v.size() - r.ptr));
  double points = unit == "pt" ? d : unit == "%" ? inherited * d / 100 : unit == "in" ? d * 72 : unit == "cm" ? d * 72 / 2.54
                : unit == "mm" ? d * 72 / 25.4 : unit == "pc" ? d * 12 : unit == "px" ? d * 0.75 : -1;
  if (!(points >= 1 && points <= 409)) return std::nullopt;
  return std::round(points * 100) / 100;
}

// "'DejaVu Sans', sans-serif" -> DejaVu Sans
WideString familyOf(std::string_view v) {
  v = v.substr(0, v.find(','));
  while (!v.empty() && (v.front() == ' ' || v.front() == '\'' || v.front() == '"')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\'' || v.back() == '"')) v.remove_suffix(1);
  return utf8(v);
}

std::string keyOf(const Font& f) {
  std::string k = platform::wideToUtf8(f.name);
  char buf[64];
  std::snprintf(buf, sizeof buf, "|%.17g|%d%d%d|%d|%d|%u|%.17g", f.size, f.bold, f.italic, f.strike, f.underline,
                static_cast<int>(f.color.kind), f.color.value, f.color.tint);
  return k + buf;
}

std::string keyOf(const Fill& f) {
  return platform::wideToUtf8(f.pattern) + "|" + std::to_string(static_cast<int>(f.foreground.kind)) + ":" +
         std::to_string(f.foreground.value) + "|" + std::to_string(static_cast<int>(f.background.kind)) + ":" +
         std::to_string(f.background.value);
}

}  // namespace

void CellStyles::addFontFaces(xml::Node decls, const Names& n) {
  for (xml::Node f = decls.firstElement(); f; f = f.nextElement())
    if (n.is(f, Ns::Style, "font-face")) {
      std::string_view family = n.attr(f, Ns::Svg, "font-family");
      std::string name(n.attr(f, Ns::Style, "name"));
      fontFaces_.insert_or_assign(name, family.empty() ? utf8(name) : familyOf(family));
    }
}

void CellStyles::addStyles(xml::Node container, const Names& n) {
  for (xml::Node s = container.firstElement(); s; s = s.nextElement()) {
    dataStyles_.add(s, n);
    const std::string_view family = n.attr(s, Ns::Style, "family");
    if (n.is(s, Ns::Style, "default-style")) {
      if (family == "table-cell") defaultCell_ = Declared{s, &n};
      continue;
    }
    if (!n.is(s, Ns::Style, "style")) continue;
    ByName* into = family == "table-cell" ? &cellStyles_ : family == "text" ? &textStyles_ : nullptr;
    // The first of a name wins: automatic styles are added before the common ones they may shadow.
    if (into) into->emplace(std::string(n.attr(s, Ns::Style, "name")), Declared{s, &n});
  }
}

void CellStyles::finish() {
  // Format 0 is what a cell without a style shows: the first one made.
  target_.fonts.clear();
  target_.fills = {Fill{}, Fill{u"gray125"}};
  target_.cellFormats.clear();
  formats_.clear();
  fontKeys_.clear();
  fillKeys_.clear();
  formatKeys_.clear();
  formatOf("");
}

std::vector<const CellStyles::Declared*> CellStyles::chain(const ByName& family, std::string_view name) const {
  std::vector<const Declared*> out;
  std::string next(name);
  while (out.size() < kMaxChain) {
    auto it = family.find(next);
    if (it == family.end() || std::find(out.begin(), out.end(), &it->second) != out.end()) break;
    out.push_back(&it->second);
    next = it->second.names->attr(it->second.node, Ns::Style, "parent-style-name");
  }
  std::reverse(out.begin(), out.end());  // the farthest parent first
  return out;
}

void CellStyles::applyText(const Declared& d, Font& font) const {
  const Names& n = *d.names;
  xml::Node tp = n.child(d.node, Ns::Style, "text-properties");
  if (!tp) return;
  std::string_view weight = n.attr(tp, Ns::Fo, "font-weight");
  if (weight == "bold") font.bold = true;
  else if (weight == "normal") font.bold = false;
  else if (int w = 0; !weight.empty() && std::from_chars(weight.data(), weight.data() + weight.size(), w).ec == std::errc())
    font.bold = w >= 600;
  std::string_view style = n.attr(tp, Ns::Fo, "font-style");
  if (!style.empty()) font.italic = style == "italic" || style == "oblique";
  if (std::string_view face = n.attr(tp, Ns::Style, "font-name"); !face.empty()) {
    auto it = fontFaces_.find(std::string(face));
    font.name = it != fontFaces_.end() ? it->second : utf8(face);
  } else if (std::string_view family = n.attr(tp, Ns::Fo, "font-family"); !family.empty()) {
    font.name = familyOf(family);
  }
  if (auto size = pointsOf(n.attr(tp, Ns::Fo, "font-size"), font.size)) font.size = *size;
  if (auto rgb = rgbOf(n.attr(tp, Ns::Fo, "color"))) font.color = ColorRef::rgb(0xFF000000u | *rgb);
  if (n.attr(tp, Ns::Style, "use-window-font-color") == "true") font.color = ColorRef{};
  std::string_view line = n.attr(tp, Ns::Style, "text-underline-style"), type = n.attr(tp, Ns::Style, "text-underline-type");
  if (!line.empty()) font.underline = line == "none" || type == "none" ? kUnderlineNone : type == "double" ? kUnderlineDouble : kUnderlineSingle;
  else if (type == "none") font.underline = kUnderlineNone;
  else if (type == "double" && font.underline != kUnderlineNone) font.underline = kUnderlineDouble;
  else if (type == "single" && font.underline != kUnderlineNone) font.underline = kUnderlineSingle;
  std::string_view strike = n.attr(tp, Ns::Style, "text-line-through-style");
  if (!strike.empty()) font.strike = strike != "none";
  if (n.attr(tp, Ns::Style, "text-line-through-type") == "none") font.strike = false;
}

uint32_t CellStyles::formatOf(std::string_view cellStyle) {
  if (auto it = formats_.find(std::string(cellStyle)); it != formats_.end()) return it->second;
  // An unknown name reads as none, and is not kept: a file may name millions of them.
  if (!cellStyle.empty() && !cellStyles_.count(std::string(cellStyle))) return formatOf("");
  Font font = writersDefaultFont();
  Fill fill;
  std::string dataStyle;
  std::vector<const Declared*> levels = chain(cellStyles_, cellStyle.empty() ? "Default" : cellStyle);
  if (defaultCell_) levels.insert(levels.begin(), &*defaultCell_);
  for (const Declared* d : levels) {
    const Names& n = *d->names;
    applyText(*d, font);
    std::string_view background = n.attr(n.child(d->node, Ns::Style, "table-cell-properties"), Ns::Fo, "background-color");
    if (background == "transparent") fill = Fill{};
    else if (auto rgb = rgbOf(background)) fill = Fill{u"solid", ColorRef::rgb(0xFF000000u | *rgb), ColorRef::indexed(64)};
    if (std::string_view ds = n.attr(d->node, Ns::Style, "data-style-name"); !ds.empty()) dataStyle = ds;
  }
  std::optional<WideString> code = dataStyle.empty() ? WideString(u"General") : dataStyles_.codeOf(dataStyle);
  // A style we cannot show gets a code of its own, so that it never shares a format with one we can.
  const uint32_t id = code ? codeId(*code) : codeId(u"\x01" + utf8(dataStyle));
  const uint32_t format = formatIndex({id, fontIndex(font), fillIndex(fill)});
  if (!code) {
    target_.numberFormats[id] = u"General";
    fileText_.insert(format);
  }
  formats_.emplace(std::string(cellStyle), format);
  return format;
}

uint32_t CellStyles::withShownText(uint32_t format, const WideString& text) {
  if (codeKeys_.size() >= kMaxShownTexts) return format;
  // The same literal in the positive, negative and zero sections: no sign is added to it.
  WideString literal;
  for (char16_t c : text) literal += c == u'"' ? WideString(u"\"\\\"\"") : WideString(1, c);
  literal = u"\"" + literal + u"\"";
  CellFormat f = target_.format(format);
  f.numFmtId = codeId(literal + u';' + literal + u';' + literal);
  return formatIndex(f);
}

Font CellStyles::spanFont(const Font& cellFont, std::string_view textStyle) {
  Font font = cellFont;
  for (const Declared* d : chain(textStyles_, textStyle)) applyText(*d, font);
  return font;
}

uint32_t CellStyles::codeId(const WideString& code) {
  if (code == u"General") return 0;
  auto [it, fresh] = codeKeys_.emplace(platform::wideToUtf8(code), 0);
  if (fresh) {
    it->second = static_cast<uint32_t>(164 + codeKeys_.size() - 1);
    target_.numberFormats[it->second] = code;
  }
  return it->second;
}

uint32_t CellStyles::fontIndex(const Font& f) {
  auto [it, fresh] = fontKeys_.emplace(keyOf(f), static_cast<uint32_t>(target_.fonts.size()));
  if (fresh) target_.fonts.push_back(f);
  return it->second;
}

uint32_t CellStyles::fillIndex(const Fill& f) {
  if (f == Fill{}) return 0;
  auto [it, fresh] = fillKeys_.emplace(keyOf(f), static_cast<uint32_t>(target_.fills.size()));
  if (fresh) target_.fills.push_back(f);
  return it->second;
}

uint32_t CellStyles::formatIndex(const CellFormat& f) {
  std::string key = std::to_string(f.numFmtId) + "|" + std::to_string(f.fontId) + "|" + std::to_string(f.fillId);
  auto [it, fresh] = formatKeys_.emplace(std::move(key), static_cast<uint32_t>(target_.cellFormats.size()));
  if (fresh) target_.cellFormats.push_back(f);
  return it->second;
}

}  // namespace ooxml::sheet::ods
