#pragma once
// Word's underline value for the spreadsheet's underline style of a table cell.
#include <cstdint>

int32_t MapUnderline(int32_t spreadsheetStyle);
