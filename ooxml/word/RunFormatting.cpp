#include "ooxml/word/RunFormatting.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/Text.h"

namespace ooxml::word {

using xml::Node;

namespace {

constexpr int kMaxStyleDepth = 32;  // basedOn chains longer than this are cut (they may loop)

std::string_view localName(std::string_view qualified) {
  size_t colon = qualified.find(':');
  return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

Node childByLocalName(Node parent, std::string_view local) {
  for (Node c = parent.firstElement(); c; c = c.nextElement())
    if (localName(c.name()) == local) return c;
  return {};
}

bool onOff(Node n) {
  std::string_view v = n.attribute("w:val");
  return !(v == "0" || v == "false" || v == "off");
}

int hexDigit(char c) {
  return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// "RRGGBB" as Word's 0x00BBGGRR; "auto" and anything unreadable as automatic.
int32_t colorOf(std::string_view hex) {
  if (hex.size() != 6) return kAutomaticColor;
  int32_t rgb = 0;
  for (char c : hex) {
    int d = hexDigit(c);
    if (d < 0) return kAutomaticColor;
    rgb = rgb * 16 + d;
  }
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::string hexOf(int32_t bgr) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
  return buf;
}

struct Named {
  int32_t value;
  const char* name;
};

constexpr Named kUnderlines[] = {{0, "none"},         {1, "single"},          {2, "words"},        {3, "double"},
                                 {4, "dotted"},       {6, "thick"},           {7, "dash"},         {9, "dotDash"},
                                 {10, "dotDotDash"},  {11, "wave"},           {20, "dottedHeavy"}, {23, "dashedHeavy"},
                                 {25, "dashDotHeavy"}, {26, "dashDotDotHeavy"}, {27, "wavyHeavy"},  {39, "dashLong"},
                                 {43, "wavyDouble"},  {55, "dashLongHeavy"}};

constexpr const char* kHighlights[] = {"none",      "black",    "blue",      "cyan",        "green",   "magenta",
                                       "red",       "yellow",   "white",     "darkBlue",    "darkCyan", "darkGreen",
                                       "darkMagenta", "darkRed", "darkYellow", "darkGray", "lightGray"};

int32_t underlineOf(std::string_view name) {
  for (const Named& n : kUnderlines)
    if (name == n.name) return n.value;
  return name.empty() ? 1 : 0;  // <w:u/> without a value draws a single line
}

int32_t highlightOf(std::string_view name) {
  for (size_t i = 0; i < std::size(kHighlights); ++i)
    if (name == kHighlights[i]) return static_cast<int32_t>(i);
  return 0;
}

// The children of w:rPr in schema order: a new child goes before the first one listed later.
constexpr const char* kRunPropertyOrder[] = {
    "w:rStyle", "w:rFonts",  "w:b",     "w:bCs",   "w:i",        "w:iCs",     "w:caps",     "w:smallCaps", "w:strike",
    "w:dstrike", "w:outline", "w:shadow", "w:emboss", "w:imprint", "w:noProof", "w:snapToGrid", "w:vanish",  "w:webHidden",
    "w:color",  "w:spacing", "w:w",     "w:kern",  "w:position", "w:sz",      "w:szCs",     "w:highlight", "w:u",
    "w:effect", "w:bdr",     "w:shd",   "w:fitText", "w:vertAlign", "w:rtl",   "w:cs",       "w:em",        "w:lang",
    "w:eastAsianLayout", "w:specVanish", "w:oMath", "w:rPrChange"};

size_t orderOf(std::string_view name) {
  for (size_t i = 0; i < std::size(kRunPropertyOrder); ++i)
    if (name == kRunPropertyOrder[i]) return i;
  return SIZE_MAX;
}

Node runPropertiesFor(Node run) {
  Node rPr = run.child("w:rPr");
  if (!rPr) {
    rPr = run.document()->createElement("w:rPr");
    run.prependChild(rPr);
  }
  return rPr;
}

// The run's property element of that name, made and placed in order when missing.
Node property(Node run, const char* name) {
  Node rPr = runPropertiesFor(run);
  if (Node existing = rPr.child(name)) return existing;
  Node e = run.document()->createElement(name);
  size_t mine = orderOf(name);
  for (Node c = rPr.firstElement(); c; c = c.nextElement()) {
    size_t theirs = orderOf(c.name());
    if (theirs != SIZE_MAX && theirs > mine) return rPr.insertBefore(e, c);
  }
  return rPr.appendChild(e);
}

void removeProperty(Node run, const char* name) {
  Node rPr = run.child("w:rPr");
  if (Node e = rPr.child(name)) e.detach();
  if (rPr && !rPr.firstChild()) rPr.detach();
}

void setOnOff(Node run, const char* name, bool on) {
  Node e = property(run, name);
  if (on) e.removeAttribute("w:val");
  else e.setAttribute("w:val", "0");
}

}  // namespace

StyleSheet::StyleSheet(Package& package, const std::string& mainPart) {
  for (const Relationship& r : package.relationships(mainPart)) {
    if (r.external) continue;
    std::string_view type = r.type;
    bool styles = type.ends_with("/styles"), theme = type.ends_with("/theme");
    if (!styles && !theme) continue;
    std::string part = Package::resolveTarget(mainPart, r.target);
    if (!package.hasPart(part)) continue;
    Node root = package.xmlPart(part).documentElement();
    if (styles) {
      docDefaults_ = root.child("w:docDefaults").child("w:rPrDefault").child("w:rPr");
      for (Node s = root.child("w:style"); s; s = s.nextElement()) {
        if (!s.is("w:style")) continue;
        styles_.emplace(std::string(s.attribute("w:styleId")), s);
        std::string_view def = s.attribute("w:default");
        if (s.attribute("w:type") == "paragraph" && (def == "1" || def == "true" || def == "on")) defaultParagraphStyle_ = s;
      }
    } else {
      Node fonts = childByLocalName(childByLocalName(root, "themeElements"), "fontScheme");
      minorFont_ = platform::utf8ToWide(childByLocalName(childByLocalName(fonts, "minorFont"), "latin").attribute("typeface"));
      majorFont_ = platform::utf8ToWide(childByLocalName(childByLocalName(fonts, "majorFont"), "latin").attribute("typeface"));
    }
  }
}

Node StyleSheet::style(std::string_view id) const {
  auto it = styles_.find(std::string(id));
  return it == styles_.end() ? Node() : it->second;
}

std::u16string StyleSheet::themeFont(std::string_view themeName) const {
  bool major = themeName.starts_with("major");
  const std::u16string& font = major ? majorFont_ : minorFont_;
  if (!font.empty()) return font;
  return major ? u"+Headings" : u"+Body";
}

RunFont StyleSheet::effective(Node run) const {
  // The property sets that speak for the run, nearest first.
  std::vector<Node> levels;
  auto addChain = [&](Node s) {
    for (int depth = 0; s && depth < kMaxStyleDepth; ++depth) {
      if (Node rPr = s.child("w:rPr")) levels.push_back(rPr);
      std::string_view base = s.child("w:basedOn").attribute("w:val");
      s = base.empty() ? Node() : style(base);
    }
  };
  if (Node rPr = run.child("w:rPr")) {
    levels.push_back(rPr);
    std::string_view id = rPr.child("w:rStyle").attribute("w:val");
    if (!id.empty()) addChain(style(id));
  }
  Node p = run;
  while (p && !p.is("w:p")) p = p.parent();
  std::string_view pStyle = p.child("w:pPr").child("w:pStyle").attribute("w:val");
  Node ps = pStyle.empty() ? Node() : style(pStyle);
  addChain(ps ? ps : defaultParagraphStyle_);
  if (docDefaults_) levels.push_back(docDefaults_);

  auto first = [&](const char* name) -> Node {
    for (Node l : levels)
      if (Node e = l.child(name)) return e;
    return {};
  };
  RunFont f;
  f.name = u"Times New Roman";
  for (Node l : levels) {
    Node fonts = l.child("w:rFonts");
    if (std::string_view theme = fonts.attribute("w:asciiTheme"); !theme.empty()) {
      f.name = themeFont(theme);
      break;
    }
    if (fonts.hasAttribute("w:ascii")) {
      f.name = platform::utf8ToWide(fonts.attribute("w:ascii"));
      break;
    }
  }
  if (Node sz = first("w:sz")) {
    std::string_view v = sz.attribute("w:val");
    int half = 0;
    for (char c : v) half = c >= '0' && c <= '9' && half < 100000 ? half * 10 + (c - '0') : half;
    if (half > 0) f.size = half / 2.0;
  }
  if (Node b = first("w:b")) f.bold = onOff(b);
  if (Node i = first("w:i")) f.italic = onOff(i);
  if (Node c = first("w:color")) f.color = colorOf(c.attribute("w:val"));
  if (Node u = first("w:u")) f.underline = underlineOf(u.attribute("w:val"));
  if (Node shd = first("w:shd")) f.shading = colorOf(shd.attribute("w:fill"));
  if (Node h = first("w:highlight")) f.highlight = highlightOf(h.attribute("w:val"));
  return f;
}

void setBold(Node run, bool on) { setOnOff(run, "w:b", on); }
void setItalic(Node run, bool on) { setOnOff(run, "w:i", on); }

void setSize(Node run, double points) {
  std::string half = std::to_string(static_cast<int>(std::lround(points * 2)));
  property(run, "w:sz").setAttribute("w:val", half);
  property(run, "w:szCs").setAttribute("w:val", half);
}

void setFontName(Node run, std::u16string_view name) {
  Node fonts = property(run, "w:rFonts");
  std::string utf8 = platform::wideToUtf8(name);
  // A theme font attribute outranks the named one, so it goes.
  fonts.removeAttribute("w:asciiTheme");
  fonts.removeAttribute("w:hAnsiTheme");
  fonts.setAttribute("w:ascii", utf8);
  fonts.setAttribute("w:hAnsi", utf8);
}

void setColor(Node run, int32_t bgr) {
  Node c = property(run, "w:color");
  for (const char* a : {"w:themeColor", "w:themeTint", "w:themeShade"}) c.removeAttribute(a);
  c.setAttribute("w:val", bgr == kAutomaticColor ? std::string("auto") : hexOf(bgr));
}

void setUnderline(Node run, int32_t value) {
  if (value == 0) {
    // An explicit "none" still overrides an underlined style.
    property(run, "w:u").setAttribute("w:val", "none");
    return;
  }
  for (const Named& n : kUnderlines)
    if (n.value == value) property(run, "w:u").setAttribute("w:val", n.name);
}

void setShading(Node run, int32_t bgr) {
  if (bgr == kAutomaticColor) {
    removeProperty(run, "w:shd");
    return;
  }
  Node shd = property(run, "w:shd");
  for (const char* a : {"w:themeFill", "w:themeFillTint", "w:themeFillShade"}) shd.removeAttribute(a);
  shd.setAttribute("w:val", "clear");
  shd.setAttribute("w:color", "auto");
  shd.setAttribute("w:fill", hexOf(bgr));
}

void setHighlight(Node run, int32_t index) {
  if (index == 0) removeProperty(run, "w:highlight");
  else property(run, "w:highlight").setAttribute("w:val", kHighlights[index]);
}

bool isUnderlineValue(int32_t v) {
  return std::any_of(std::begin(kUnderlines), std::end(kUnderlines), [v](const Named& n) { return n.value == v; });
}
bool isHighlightIndex(int32_t v) { return v >= 0 && v < static_cast<int32_t>(std::size(kHighlights)); }
bool isColorValue(int32_t v) { return v == kAutomaticColor || (v >= 0 && v <= 0xFFFFFF); }
bool isSizeValue(double points) { return points >= 1 && points <= 1638; }

}  // namespace ooxml::word
