#pragma once
// What every workbook fuzz target asks of a loaded workbook: each cell answers every member the
// table reader calls, and the workbook survives being written as .xlsx and read back.
#include <cstdio>
#include <cstdlib>

#include "automation/Dispatch.h"
#include "ooxml/sheet/CellAccess.h"
#include "ooxml/sheet/XlsxReader.h"
#include "ooxml/sheet/XlsxWriter.h"

// Limits that keep one fuzz input within seconds and a few hundred megabytes.
inline ooxml::sheet::WorkbookLimits fuzzWorkbookLimits() {
  ooxml::sheet::WorkbookLimits limits;
  limits.maxPartSize = 16u << 20;
  limits.maxCells = 100000;
  return limits;
}

inline void checkLoadedWorkbook(ooxml::sheet::Workbook& book, const ooxml::sheet::WorkbookLimits& limits) {
  using namespace ooxml::sheet;
  for (Sheet& sheet : book.sheets) {
    for (size_t i = 0; i < sheet.cells.size() && i < 50; ++i) {
      CellAccess cell(book, sheet, sheet.cells[i].row, sheet.cells[i].column);
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
    again = loadWorkbookBytes(workbookBytes(book), limits);
  } catch (const automation::AutomationError& e) {
    std::fprintf(stderr, "our own workbook did not read back: %s\n", e.what());
    std::abort();  // our own output must always read back
  }
  if (again->sheets.size() != book.sheets.size()) std::abort();
}

// Loads bytes as a workbook; a clean refusal ends there, a loaded workbook is checked as above.
inline void loadAndCheckWorkbook(const std::string& bytes, const ooxml::sheet::WorkbookLimits& limits) {
  std::unique_ptr<ooxml::sheet::Workbook> book;
  try {
    book = ooxml::sheet::loadWorkbookBytes(bytes, limits);
  } catch (const automation::AutomationError&) {
    return;
  }
  checkLoadedWorkbook(*book, limits);
}
