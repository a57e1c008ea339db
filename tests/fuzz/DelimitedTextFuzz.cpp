// Comma- and TAB-separated tables come from users: any bytes must load as cells or fail with
// PackageError, and what loaded must survive being written as .xlsx and read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ooxml/sheet/DelimitedTextReader.h"
#include "tests/fuzz/WorkbookCheck.h"

using namespace ooxml::sheet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  WorkbookLimits limits;
  limits.maxCells = 100000;
  // The first byte picks the separator, as the file's name would.
  const char separator = data[0] & 1 ? ',' : '\t';
  std::unique_ptr<Workbook> book;
  try {
    book = loadDelimitedText(std::string(reinterpret_cast<const char*>(data + 1), size - 1), separator, u"fuzz", limits);
  } catch (const automation::AutomationError&) {
    return 0;
  }
  Sheet& sheet = book->active();
  for (size_t i = 1; i < sheet.cells.size(); ++i) {
    const Cell& a = sheet.cells[i - 1];
    const Cell& b = sheet.cells[i];
    if (a.row > b.row || (a.row == b.row && a.column >= b.column)) std::abort();  // cells stay sorted
  }
  for (size_t i = 0; i < sheet.cells.size() && i < 50; ++i)
    if (CellAccess(*book, sheet, sheet.cells[i].row, sheet.cells[i].column).text().size() > limits.maxTextLength) std::abort();
  checkLoadedWorkbook(*book, limits);
  return 0;
}
