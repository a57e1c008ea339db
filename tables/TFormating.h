#pragma once
// The formatting record of one table cell, and the cell a failed table check points at.
#include <cstdint>

#include "platform/Text.h"

struct TFormating {
  int32_t BackColor = 0x00FFFFFF;  // 0x00BBGGRR; white means no fill
  int32_t Bold = 0;                // -1 bold, 0 not bold or mixed
  int32_t Italic = 0;              // -1 italic, 0 not italic or mixed
  int32_t FontColor = 0;           // 0x00BBGGRR
  double FontSize = 12.0;
  WideString FontName;
  int32_t Underline = 0;  // 2 single, -4119 double, 4 and 5 accounting; anything else: none
  // Per-row search overrides, find record only: -1 use the batch's word, 0 off, 1 on.
  int32_t MatchCase = -1;
  int32_t WholeWord = -1;
  int32_t Wildcards = -1;
};

inline void ResetFormating(TFormating& f) { f = TFormating(); }

struct TTablePosition {
  int32_t Row = 0;     // 1-based
  int32_t Column = 0;  // 1 first cell, 2 second cell
};
