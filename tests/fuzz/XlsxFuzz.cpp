// Workbook files come from users: any bytes must load cleanly or fail with PackageError, and a
// workbook we loaded must survive being written and read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "automation/Dispatch.h"
#include "ooxml/sheet/CellAccess.h"
#include "ooxml/sheet/XlsxReader.h"
#include "ooxml/sheet/XlsxWriter.h"

using namespace ooxml::sheet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WorkbookLimits limits;
  limits.maxPartSize = 16u << 20;
  limits.maxCells = 100000;
  std::unique_ptr<Workbook> book;
  try {
    book = loadWorkbookBytes(std::string(reinterpret_cast<const char*>(data), size), limits);
  } catch (const automation::AutomationError&) {
    return 0;
  }
  for (Sheet& sheet : book->sheets) {
    for (size_t i = 0; i < sheet.cells.size() && i < 50; ++i) {
      CellAccess cell(*book, sheet, sheet.cells[i].row, sheet.cells[i].column);
      cell.value();
      cell.text();
      cell.formulaR1C1();
      cell.interiorColor();
      for (auto p : {FontProperty::Bold, FontProperty::Color, FontProperty::Size, FontProperty::Name, FontProperty::Underline})
        cell.font(p);
    }
  }
  std::unique_ptr<Workbook> again;
  try {
    again = loadWorkbookBytes(workbookBytes(*book), limits);
  } catch (const automation::AutomationError&) {
    std::abort();  // our own output must always read back
  }
  if (again->sheets.size() != book->sheets.size()) std::abort();
  return 0;
}
