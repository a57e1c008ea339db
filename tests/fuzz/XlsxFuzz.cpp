// Workbook files come from users: any bytes must load cleanly or fail with PackageError, and a
// workbook we loaded must survive being written and read back.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/WorkbookCheck.h"

using namespace ooxml::sheet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const WorkbookLimits limits = fuzzWorkbookLimits();
  std::unique_ptr<Workbook> book;
  try {
    book = loadWorkbookBytes(std::string(reinterpret_cast<const char*>(data), size), limits);
  } catch (const automation::AutomationError&) {
    return 0;
  }
  checkLoadedWorkbook(*book, limits);
  return 0;
}
