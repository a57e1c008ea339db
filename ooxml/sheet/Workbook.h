#pragma once
// The workbook model: what a workbook file holds that the Excel surface answers for. Cells are
// kept compactly (about 24 bytes each) so that a sheet with a million filled rows stays small.
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ooxml/sheet/Colors.h"
#include "platform/Text.h"

namespace ooxml::sheet {

constexpr uint32_t kMaxRows = 1048576;
constexpr uint32_t kMaxColumns = 16384;

// Excel's underline constants, as Font.Underline hands them out.
enum Underline : int32_t {
  kUnderlineNone = -4142,
  kUnderlineSingle = 2,
  kUnderlineDouble = -4119,
  kUnderlineSingleAccounting = 4,
  kUnderlineDoubleAccounting = 5,
};

// Excel's cell error values (CVErr codes), as Value hands them out.
enum CellError : int32_t {
  kErrNull = 2000,
  kErrDiv0 = 2007,
  kErrValue = 2015,
  kErrRef = 2023,
  kErrName = 2029,
  kErrNum = 2036,
  kErrNA = 2042,
};
std::optional<CellError> errorFromText(std::u16string_view text);  // "#N/A" -> kErrNA
WideString errorText(int32_t code);                                  // kErrNA -> "#N/A"

struct Font {
  WideString name = u"Calibri";
  double size = 11;
  bool bold = false;
  bool italic = false;
  bool strike = false;
  int32_t underline = kUnderlineNone;
  ColorRef color;  // Auto: the window text colour
  bool operator==(const Font&) const = default;
};

struct Fill {
  WideString pattern = u"none";  // none, solid, gray125, ...
  ColorRef foreground, background;
  Fill() = default;
  Fill(WideString p, ColorRef fg = {}, ColorRef bg = {}) : pattern(std::move(p)), foreground(fg), background(bg) {}
  bool operator==(const Fill&) const = default;
};

struct CellFormat {
  uint32_t numFmtId = 0, fontId = 0, fillId = 0;
  bool operator==(const CellFormat&) const = default;
};

struct Styles {
  std::vector<Font> fonts{Font{}};
  std::vector<Fill> fills{Fill{}, Fill{u"gray125"}};
  std::map<uint32_t, WideString> numberFormats;  // custom codes by id (164 and up)
  std::vector<CellFormat> cellFormats{CellFormat{}};
  ColorContext colors;

  const CellFormat& format(uint32_t xf) const;  // out-of-range ids read as the default
  const Font& font(uint32_t xf) const;
  const Fill& fill(uint32_t xf) const;
  WideString formatCode(uint32_t xf) const;
  // The index of a format equal to the given one, added when there is none yet.
  uint32_t formatIndex(const CellFormat& f);
  uint32_t fontIndex(const Font& f);
  uint32_t fillIndex(const Fill& f);
};

// A run of rich text; without a font it takes the cell's.
struct TextRun {
  WideString text;
  std::optional<Font> font;
  bool operator==(const TextRun&) const = default;
};

struct RichString {
  WideString text;            // the whole text
  std::vector<TextRun> runs;  // empty: plain text in the cell's font
};

enum class CellKind : uint8_t { Blank, Number, Boolean, Error, String };

struct Cell {
  uint32_t row = 0, column = 0;  // 1-based
  uint32_t style = 0;            // index into Styles::cellFormats
  CellKind kind = CellKind::Blank;
  uint32_t string = 0;           // String: index into Workbook::strings
  uint32_t formula = 0;          // 0: none; else 1 + index into Workbook::strings (A1 text)
  double number = 0;             // Number; Boolean 0/1; Error: the code

  // Excel keeps no infinities or NaNs: such a value is the error #NUM!.
  void setNumber(double value) {
    kind = std::isfinite(value) ? CellKind::Number : CellKind::Error;
    number = std::isfinite(value) ? value : static_cast<double>(kErrNum);
  }
};

// The format a whole column range carries (<col style>): empty cells in it show that format.
struct ColumnFormat {
  uint32_t first = 0, last = 0, style = 0;
};

struct Sheet {
  Sheet() = default;
  explicit Sheet(WideString n) : name(std::move(n)) {}
  WideString name;
  std::vector<Cell> cells;  // sorted by row, then column
  std::vector<std::pair<uint32_t, uint32_t>> rowFormats;  // (row, style) of formatted rows, by row
  std::vector<ColumnFormat> columnFormats;                 // by first column
  uint32_t activeRow = 1, activeColumn = 1;

  const Cell* find(uint32_t row, uint32_t column) const;
  Cell& at(uint32_t row, uint32_t column);  // inserted blank when missing, in the format it shows
  // The format of a cell that has no record: its row's, else its column's, else the default.
  uint32_t emptyCellStyle(uint32_t row, uint32_t column) const;
};

struct Workbook {
  std::vector<Sheet> sheets{Sheet{u"Sheet1"}};
  size_t activeSheet = 0;
  Styles styles;
  std::vector<RichString> strings;
  bool date1904 = false;
  std::string themeXml;  // the theme part as read, written back unchanged

  uint32_t addString(RichString s);
  Sheet& active() { return sheets.at(activeSheet); }
  const Sheet& active() const { return sheets.at(activeSheet); }
};

}  // namespace ooxml::sheet
