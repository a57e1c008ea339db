#pragma once
// Reads a workbook file (.xlsx, .xlsm, .xltx, .xltm, the legacy binary .xls and OpenDocument
// .ods and .fods: recognised by content, not by name; a text file of values by its name) into
// the model. Errors are ooxml::PackageError with a message a user can act on.
#include <memory>
#include <string>

#include "ooxml/sheet/Workbook.h"

namespace ooxml::sheet {

struct WorkbookLimits {
  uint64_t maxFileSize = 256ull << 20;
  uint64_t maxPartSize = 512ull << 20;  // inflated bytes of one part
  size_t maxCells = 8u << 20;           // about 256 MB of cells; also bounds the shared texts
  size_t maxRuns = 4u << 20;            // rich-text runs of all texts, about 100 bytes each
  size_t maxTextLength = 32767;         // Excel's limit for the text of one cell
  size_t maxTotalText = 64u << 20;      // characters of all texts together
};

std::unique_ptr<Workbook> loadWorkbook(const AnsiString& path, const WorkbookLimits& limits = {});
std::unique_ptr<Workbook> loadWorkbookBytes(std::string bytes, const WorkbookLimits& limits = {});

}  // namespace ooxml::sheet
