#include "ooxml/sheet/Workbook.h"

#include <algorithm>
#include <iterator>

#include "ooxml/sheet/NumberFormat.h"

namespace ooxml::sheet {
namespace {

constexpr std::pair<CellError, const char16_t*> kErrors[] = {
    {kErrNull, u"#NULL!"}, {kErrDiv0, u"#DIV/0!"}, {kErrValue, u"#VALUE!"}, {kErrRef, u"#REF!"},
    {kErrName, u"#NAME?"}, {kErrNum, u"#NUM!"},    {kErrNA, u"#N/A"},
};

bool before(const Cell& c, uint32_t row, uint32_t column) {
  return c.row < row || (c.row == row && c.column < column);
}

template <class T>
uint32_t indexOf(std::vector<T>& items, const T& item) {
  auto it = std::find(items.begin(), items.end(), item);
  if (it != items.end()) return static_cast<uint32_t>(it - items.begin());
  items.push_back(item);
  return static_cast<uint32_t>(items.size() - 1);
}

}  // namespace

std::optional<CellError> errorFromText(std::u16string_view text) {
  for (auto& [code, name] : kErrors)
    if (text == name) return code;
  return std::nullopt;
}

WideString errorText(int32_t code) {
  for (auto& [c, name] : kErrors)
    if (c == code) return name;
  return u"#VALUE!";
}

const CellFormat& Styles::format(uint32_t xf) const {
  static const CellFormat kDefault;
  return xf < cellFormats.size() ? cellFormats[xf] : kDefault;
}

const Font& Styles::font(uint32_t xf) const {
  static const Font kDefault;
  uint32_t id = format(xf).fontId;
  return id < fonts.size() ? fonts[id] : fonts.empty() ? kDefault : fonts[0];
}

const Fill& Styles::fill(uint32_t xf) const {
  static const Fill kNone;
  uint32_t id = format(xf).fillId;
  return id < fills.size() ? fills[id] : kNone;
}

WideString Styles::formatCode(uint32_t xf) const {
  uint32_t id = format(xf).numFmtId;
  auto it = numberFormats.find(id);
  if (it != numberFormats.end()) return it->second;
  // Ids below 164 that we do not list (the east-Asian date formats) show as General: an empty
  // code would read a number as empty text, and a row would delete what it found.
  WideString code = id < 164 ? builtinFormatCode(id) : WideString();
  return code.empty() ? u"General" : code;
}

uint32_t Styles::formatIndex(const CellFormat& f) { return indexOf(cellFormats, f); }
uint32_t Styles::fontIndex(const Font& f) { return indexOf(fonts, f); }
uint32_t Styles::fillIndex(const Fill& f) { return indexOf(fills, f); }

const Cell* Sheet::find(uint32_t row, uint32_t column) const {
  auto it = std::lower_bound(cells.begin(), cells.end(), std::pair{row, column},
                             [](const Cell& c, std::pair<uint32_t, uint32_t> p) { return before(c, p.first, p.second); });
  return it != cells.end() && it->row == row && it->column == column ? &*it : nullptr;
}

Cell& Sheet::at(uint32_t row, uint32_t column) {
  auto it = std::lower_bound(cells.begin(), cells.end(), std::pair{row, column},
                             [](const Cell& c, std::pair<uint32_t, uint32_t> p) { return before(c, p.first, p.second); });
  if (it != cells.end() && it->row == row && it->column == column) return *it;
  Cell c;
  c.row = row;
  c.column = column;
  c.style = emptyCellStyle(row, column);
  return *cells.insert(it, c);
}

uint32_t Sheet::emptyCellStyle(uint32_t row, uint32_t column) const {
  auto r = std::lower_bound(rowFormats.begin(), rowFormats.end(), std::pair{row, 0u});
  if (r != rowFormats.end() && r->first == row) return r->second;
  auto c = std::upper_bound(columnFormats.begin(), columnFormats.end(), column,
                            [](uint32_t col, const ColumnFormat& f) { return col < f.first; });
  return c != columnFormats.begin() && column <= std::prev(c)->last ? std::prev(c)->style : 0;
}

uint32_t Workbook::addString(RichString s) {
  strings.push_back(std::move(s));
  return static_cast<uint32_t>(strings.size() - 1);
}

}  // namespace ooxml::sheet
