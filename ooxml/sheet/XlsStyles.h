#pragma once
// The formatting records of a legacy binary workbook (FONT, FORMAT, XF, PALETTE) turned into
// the model's styles: fonts, number formats, fills and cell formats, indexed as the cells
// of the file refer to them.
#include <optional>

#include "ooxml/sheet/BiffRecords.h"
#include "ooxml/sheet/Workbook.h"

namespace ooxml::sheet {

class XlsStyles {
 public:
  explicit XlsStyles(Styles& styles);

  void readFont(biff::RecordReader& in);
  void readFormat(biff::RecordReader& in);
  void readXf(biff::RecordReader& in);
  void readPalette(biff::RecordReader& in);
  // The exact colours (RGB or theme with tint) that newer versions keep beside an XF, whose
  // own colours are only the nearest palette entries.
  void readXfExtension(biff::RecordReader& in);

  // The font a text run names, in the file's numbering (which has no font 4).
  std::optional<Font> runFont(uint16_t fileIndex) const;

 private:
  static uint32_t modelFontIndex(uint16_t fileIndex);
  Styles& styles_;
  bool sawFont_ = false, sawXf_ = false;
};

}  // namespace ooxml::sheet
