#pragma once
// What a single cell answers through Range's members, with Excel's types and values: the
// object surface hands these out unchanged.
#include "automation/Variant.h"
#include "ooxml/sheet/Workbook.h"

namespace ooxml::sheet {

enum class FontProperty { Bold, Italic, Color, Size, Name, Underline, Strikethrough };

class CellAccess {
 public:
  CellAccess(Workbook& book, Sheet& sheet, uint32_t row, uint32_t column);

  automation::Variant value() const;      // String, R8, Date, Currency, Bool, Error or Empty
  WideString text() const;                // as the number format displays it
  WideString formulaR1C1() const;         // constants as typed; formulas as stored
  // Text and numbers as typing them would store them ("12" becomes a number, "'12" text).
  void assign(const automation::Variant& v);

  // Null when the characters of the cell differ in the property.
  automation::Variant font(FontProperty p) const;
  void setFont(FontProperty p, const automation::Variant& v);
  automation::Variant interiorColor() const;  // 16777215 without a fill
  void setInteriorColor(const automation::Variant& v);

 private:
  const Cell* cell() const { return sheet_.find(row_, column_); }
  uint32_t style() const;
  Workbook& book_;
  Sheet& sheet_;
  uint32_t row_, column_;
};

// Excel's error values travel as VT_ERROR with the code in the low word (0x800A07FA for #N/A).
constexpr int32_t errorScode(int32_t code) { return static_cast<int32_t>(0x800A0000u | static_cast<uint32_t>(code)); }

}  // namespace ooxml::sheet
