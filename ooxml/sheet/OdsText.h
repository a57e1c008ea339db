#pragma once
// The text of an OpenDocument cell as Excel holds it: paragraphs joined by line feeds, spaces,
// tabs and line breaks from their elements, and a run for each span whose text style changes
// the cell's font.
#include "ooxml/sheet/OdsStyles.h"

namespace ooxml::sheet::ods {

class CellText {
 public:
  CellText(const Names& names, CellStyles& styles, size_t maxLength) : n_(names), styles_(styles), maxLength_(maxLength) {}

  // The cell's paragraphs; `paragraphs` tells whether it has any. A text longer than the
  // limit is cut there, as Excel cuts what it cannot hold.
  RichString read(xml::Node cell, const Font& cellFont, bool& paragraphs);

 private:
  void walk(xml::Node parent, const std::optional<Font>& font, bool& paragraphs);
  void paragraph(xml::Node p, const std::optional<Font>& font);
  void inline_(xml::Node parent, const std::optional<Font>& font);
  void append(std::u16string_view text, const std::optional<Font>& font);

  const Names& n_;
  CellStyles& styles_;
  size_t maxLength_;
  Font cellFont_;
  RichString out_;
  bool spans_ = false;
  bool afterSpace_ = false;  // a collapsible space was the last character: the next one is dropped
};

}  // namespace ooxml::sheet::ods
