// The table cell's formatting required of found text and given to what replaces it.
#include "engine/WordFormatting.h"

#include "engine/Guard.h"
#include "engine/SearchControlWord.h"
#include "engine/TWordObject.h"
#include "tables/TFormating.h"

using automation::Ole;
using automation::Variant;

namespace {

constexpr int32_t xlUnderlineStyleDouble = -4119;
constexpr int32_t xlUnderlineStyleSingle = 2;
constexpr int32_t xlUnderlineStyleSingleAccounting = 4;
constexpr int32_t xlUnderlineStyleDoubleAccounting = 5;
constexpr int32_t wdUnderlineNone = 0;
constexpr int32_t wdUnderlineSingle = 1;
constexpr int32_t wdUnderlineDouble = 3;
constexpr int32_t wdNoHighlight = 0;

// Highlight first: Word is asked for the colours before the font attributes.
constexpr int32_t kAttributeOrder[] = {fmtHighlight, fmtFontColor, fmtBold, fmtItalic, fmtFontSize, fmtFontName,
                                       fmtUnderline};

// The Font member and value of one attribute other than the highlight.
const char* fontMember(int32_t bit) {
  switch (bit) {
    case fmtFontColor: return "Color";
    case fmtBold: return "Bold";
    case fmtItalic: return "Italic";
    case fmtFontSize: return "Size";
    case fmtFontName: return "Name";
    default: return "Underline";
  }
}

Variant fontValue(int32_t bit, const TFormating& r) {
  switch (bit) {
    case fmtFontColor: return Variant(r.FontColor);
    case fmtBold: return Variant(r.Bold);
    case fmtItalic: return Variant(r.Italic);
    case fmtFontSize: return Variant(r.FontSize);
    case fmtFontName: return Variant(r.FontName);
    default: return Variant(MapUnderline(r.Underline));
  }
}

}  // namespace

int32_t MapUnderline(int32_t spreadsheetStyle) {
  switch (spreadsheetStyle) {
    case xlUnderlineStyleDouble:
    case xlUnderlineStyleDoubleAccounting: return wdUnderlineDouble;
    case xlUnderlineStyleSingle:
    case xlUnderlineStyleSingleAccounting: return wdUnderlineSingle;
    default: return wdUnderlineNone;
  }
}

void TWordObject::ApplySearchFormatting(const Ole& sel, const TFormating* findRecord) {
  if (findRecord == nullptr) return;
  for (int32_t bit : kAttributeOrder) {
    if ((SearchFormattingSet & bit) == 0) continue;
    if (bit == fmtHighlight) {
      // Not guarded: a fill colour Word refuses fails the row.
      sel.get("Find").get("Font").get("Shading").put("BackgroundPatternColor", findRecord->BackColor);
    } else {
      // An attribute Word refuses is simply not required.
      swallowErrors([&] { sel.get("Find").get("Font").put(fontMember(bit), fontValue(bit, *findRecord)); });
    }
  }
}

void TWordObject::ApplyReplacementFormatting(const Ole& sel, const TFormating* replacementRecord) {
  if (replacementRecord == nullptr) return;
  for (int32_t bit : kAttributeOrder) {
    if ((SetFormattingSet & bit) == 0) continue;
    if (bit == fmtHighlight) {
      // The cell's fill becomes character shading, once any Word highlight is taken off.
      sel.get("Range").put("HighlightColorIndex", wdNoHighlight);
      sel.get("Font").get("Shading").put("BackgroundPatternColor", replacementRecord->BackColor);
    } else {
      swallowErrors([&] { sel.get("Font").put(fontMember(bit), fontValue(bit, *replacementRecord)); });
    }
  }
}
