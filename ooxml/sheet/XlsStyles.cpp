#include "ooxml/sheet/XlsStyles.h"

#include <array>

namespace ooxml::sheet {
namespace {

constexpr uint16_t kAutomaticColor = 0x7FFF;
constexpr uint16_t kExtFill = 4, kExtText = 13;  // kinds of property in an XF extension

// Fill patterns by their number in an XF record.
constexpr std::array<const char16_t*, 19> kPatterns = {
    u"none",         u"solid",          u"mediumGray",     u"darkGray",     u"lightGray",
    u"darkHorizontal", u"darkVertical", u"darkDown",       u"darkUp",       u"darkGrid",
    u"darkTrellis",  u"lightHorizontal", u"lightVertical", u"lightDown",    u"lightUp",
    u"lightGrid",    u"lightTrellis",   u"gray125",        u"gray0625"};

// The first eight palette entries are fixed; PALETTE redefines those from 8 on.
constexpr uint32_t kFixedColors[8] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};

int32_t underlineOf(uint8_t code) {
  switch (code) {
    case 0x01: return kUnderlineSingle;
    case 0x02: return kUnderlineDouble;
    case 0x21: return kUnderlineSingleAccounting;
    case 0x22: return kUnderlineDoubleAccounting;
    default: return kUnderlineNone;
  }
}

}  // namespace

XlsStyles::XlsStyles(Styles& styles) : styles_(styles) {}

uint32_t XlsStyles::modelFontIndex(uint16_t fileIndex) {
  if (fileIndex == 4) return 0;  // never written; a damaged reference shows the default font
  return fileIndex < 4 ? fileIndex : fileIndex - 1u;
}

void XlsStyles::readFont(biff::RecordReader& in) {
  Font f;
  const uint16_t height = in.u16();
  const uint16_t flags = in.u16();
  const uint16_t color = in.u16();
  const uint16_t weight = in.u16();
  in.skip(2);  // super- and subscript
  const uint8_t underline = in.u8();
  in.skip(3);  // family, character set, reserved
  f.name = in.string8();
  f.size = height / 20.0;
  if (!(f.size > 0 && f.size <= 409)) f.size = 10;
  f.italic = (flags & 0x02) != 0;
  f.strike = (flags & 0x08) != 0;
  f.bold = weight >= 700;
  f.underline = underlineOf(underline);
  if (color != kAutomaticColor && color < 64) f.color = ColorRef::indexed(color);
  if (!sawFont_) styles_.fonts.clear(), sawFont_ = true;
  styles_.fonts.push_back(std::move(f));
}

void XlsStyles::readFormat(biff::RecordReader& in) {
  const uint16_t id = in.u16();
  styles_.numberFormats[id] = in.string16();
}

void XlsStyles::readXf(biff::RecordReader& in) {
  CellFormat format;
  format.fontId = modelFontIndex(in.u16());
  format.numFmtId = in.u16();
  in.skip(10);  // protection, parent, alignment, used-attribute flags, side borders
  const uint32_t borders = in.u32();
  const uint16_t colors = in.u16();
  const uint32_t pattern = borders >> 26;
  Fill fill;
  if (pattern < kPatterns.size()) fill.pattern = kPatterns[pattern];
  if (pattern != 0 && pattern < kPatterns.size()) {
    fill.foreground = ColorRef::indexed(colors & 0x7F);
    fill.background = ColorRef::indexed((colors >> 7) & 0x7F);
  }
  format.fillId = styles_.fillIndex(fill);
  if (!sawXf_) styles_.cellFormats.clear(), sawXf_ = true;
  // Cells name formats by their place in the file, so equal ones are kept apart.
  styles_.cellFormats.push_back(format);
}

void XlsStyles::readPalette(biff::RecordReader& in) {
  const uint16_t count = in.u16();
  std::vector<uint32_t>& palette = styles_.colors.indexedOverride;
  palette.assign(std::begin(kFixedColors), std::end(kFixedColors));
  for (uint16_t i = 0; i < count && palette.size() < 64; ++i) {
    const uint32_t r = in.u8(), g = in.u8(), b = in.u8();
    in.skip(1);
    palette.push_back((r << 16) | (g << 8) | b);
  }
}

void XlsStyles::readXfExtension(biff::RecordReader& in) {
  in.skip(14);  // future-record header, reserved
  const uint16_t xf = in.u16();
  in.skip(2);
  const uint16_t count = in.u16();
  if (xf >= styles_.cellFormats.size() || !sawXf_) return;
  CellFormat& format = styles_.cellFormats[xf];
  for (uint16_t i = 0; i < count; ++i) {
    const uint16_t type = in.u16();
    const uint16_t size = in.u16();
    if (size < 4) return;  // a property that does not cover its own header: stop here
    if ((type != kExtFill && type != kExtText) || size < 4 + 8) {
      in.skip(size - 4u);
      continue;
    }
    const uint16_t kind = in.u16();
    const double tint = static_cast<int16_t>(in.u16()) / 32767.0;
    const uint32_t value = in.u32();
    in.skip(size - 12u);
    std::optional<ColorRef> color;
    if (kind == 1 && value < 64) color = ColorRef::indexed(value);
    else if (kind == 2) color = ColorRef::rgb(0xFF000000u | ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF), tint);
    else if (kind == 3) color = ColorRef::theme(value, tint);
    if (!color) continue;
    if (type == kExtText) {
      Font font = styles_.fonts.empty() ? Font{} : styles_.fonts[format.fontId < styles_.fonts.size() ? format.fontId : 0];
      font.color = *color;
      format.fontId = styles_.fontIndex(font);
    } else {
      Fill fill = styles_.fills[format.fillId < styles_.fills.size() ? format.fillId : 0];
      if (fill.pattern == u"none") continue;  // no fill to colour
      fill.foreground = *color;
      format.fillId = styles_.fillIndex(fill);
    }
  }
}

std::optional<Font> XlsStyles::runFont(uint16_t fileIndex) const {
  const uint32_t i = modelFontIndex(fileIndex);
  if (i >= styles_.fonts.size()) return std::nullopt;
  return styles_.fonts[i];
}

}  // namespace ooxml::sheet
