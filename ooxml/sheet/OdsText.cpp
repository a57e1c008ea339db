#include "ooxml/sheet/OdsText.h"

#include <algorithm>
#include <charconv>

#include "ooxml/sheet/SheetXml.h"

namespace ooxml::sheet::ods {

RichString CellText::read(xml::Node cell, const Font& cellFont, bool& paragraphs) {
  cellFont_ = cellFont;
  out_ = RichString{};
  spans_ = false;
  paragraphs = false;
  walk(cell, std::nullopt, paragraphs);
  // Spans that change nothing leave the text plain.
  if (!spans_ || std::all_of(out_.runs.begin(), out_.runs.end(), [](const TextRun& r) { return !r.font; })) out_.runs.clear();
  return std::move(out_);
}

// Paragraphs straight in the cell, or in the lists and sections a cell may hold; notes and
// annotations are no part of the text.
void CellText::walk(xml::Node parent, const std::optional<Font>& font, bool& paragraphs) {
  for (xml::Node e = parent.firstElement(); e; e = e.nextElement()) {
    const std::string_view local = n_.localIn(e, Ns::Text);
    if (local == "p" || local == "h") {
      if (paragraphs) append(u"\n", std::nullopt);
      paragraphs = true;
      paragraph(e, font);
    } else if (local == "list" || local == "list-item" || local == "list-header" || local == "section") {
      walk(e, font, paragraphs);
    }
  }
}

void CellText::paragraph(xml::Node p, const std::optional<Font>& font) {
  afterSpace_ = true;  // white space that opens a paragraph shows nothing
  inline_(p, font);
}

void CellText::inline_(xml::Node parent, const std::optional<Font>& font) {
  for (xml::Node c = parent.firstChild(); c; c = c.nextSibling()) {
    if (out_.text.size() >= maxLength_) return;
    if (c.type() == xml::NodeType::Text || c.type() == xml::NodeType::CData) {
      // White space in the markup is one space however long it runs; text:s writes the rest.
      WideString text;
      for (char16_t ch : utf8(c.value())) {
        const bool space = ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r';
        if (space && afterSpace_) continue;
        text += space ? u' ' : ch;
        afterSpace_ = space;
      }
      append(text, font);
      continue;
    }
    if (!c.isElement()) continue;
    const std::string_view local = n_.localIn(c, Ns::Text);
    if (local == "s") {
      size_t count = 1;
      std::string_view v = n_.attr(c, Ns::Text, "c");
      std::from_chars(v.data(), v.data() + v.size(), count);
      append(WideString(std::min(std::max<size_t>(count, 1), maxLength_), u' '), font);
      afterSpace_ = false;
    } else if (local == "tab") {
      append(u"\t", font), afterSpace_ = false;
    } else if (local == "line-break") {
      append(u"\n", font), afterSpace_ = false;
    } else if (local == "span") {
      spans_ = true;
      inline_(c, styles_.spanFont(font ? *font : cellFont_, n_.attr(c, Ns::Text, "style-name")));
    } else if (local == "note" || local == "ruby-text" || n_.localIn(c, Ns::Office) == "annotation") {
      continue;
    } else {
      inline_(c, font);  // links, fields, metadata: their text shows
    }
  }
}

void CellText::append(std::u16string_view text, const std::optional<Font>& font) {
  const size_t room = maxLength_ - std::min(maxLength_, out_.text.size());
  if (text.size() > room) {
    text = text.substr(0, room);
    if (!text.empty() && text.back() >= 0xD800 && text.back() < 0xDC00) text.remove_suffix(1);  // half a character
  }
  if (text.empty()) return;
  out_.text += text;
  std::optional<Font> shown = font && *font == cellFont_ ? std::nullopt : font;
  if (!out_.runs.empty() && out_.runs.back().font == shown) out_.runs.back().text += text;
  else out_.runs.push_back(TextRun{WideString(text), shown});
}

}  // namespace ooxml::sheet::ods
