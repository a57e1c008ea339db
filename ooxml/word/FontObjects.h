#pragma once
// The Font and Shading objects of a range (reading Word's values over mixed formatting as
// undefined, writing by splitting runs at the range's ends) and of Find (requirements for a
// search with Format true), and a range's HighlightColorIndex.
#include "ooxml/word/FormatRequirements.h"
#include "ooxml/word/Objects.h"

namespace ooxml::word {

// Per document: its styles (read once; this Word never changes them) and what Find.Font asks.
struct FormattingState {
  std::unique_ptr<StyleSheet> styles;
  FormatRequirements find;
};
FormattingState& formattingOf(DocumentState& d);
const StyleSheet& stylesOf(DocumentState& d);

// The range [start, end) of one of the document's stories, as it was when asked for (the
// document keeps its stories alive).
automation::Variant makeRangeFont(DocPtr d, Story& story, size_t start, size_t end);
automation::Variant makeFindFont(DocPtr d);

automation::Variant highlightOf(DocumentState& d, Story& story, size_t start, size_t end);
void setHighlightOf(Story& story, size_t start, size_t end, const automation::Variant& value);

}  // namespace ooxml::word
