#pragma once
// The option bits that travel with every batch.
#include <cstdint>

constexpr int32_t scwCaseSensitive = 1;
constexpr int32_t scwControlCards = 2;  // Word wildcards in the find text
constexpr int32_t scwWholeWord = 4;
constexpr int32_t scwSkipMainDocument = 16;
constexpr int32_t scwSkipHeaderFooter = 32;
constexpr int32_t scwSkipFootnotesEndnotes = 64;
constexpr int32_t scwSkipHyperlinks = 128;
constexpr int32_t scwSaveByMask = 512;
constexpr int32_t scwMakeInOriginal = 1024;
constexpr int32_t scwSecondCellEmptyIgnore = 2048;

// Formatting attribute bits, the same in the search-formatting and the set-formatting sets.
constexpr int32_t fmtHighlight = 1;
constexpr int32_t fmtFontName = 2;
constexpr int32_t fmtFontSize = 4;
constexpr int32_t fmtFontColor = 8;
constexpr int32_t fmtBold = 16;
constexpr int32_t fmtItalic = 32;
constexpr int32_t fmtUnderline = 64;
