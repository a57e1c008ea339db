// Legacy binary workbooks come from users: any bytes must load cleanly or fail with
// PackageError, both as a whole file (the container) and as the workbook stream inside a sound
// container (the records), and a workbook we loaded must survive being written as .xlsx and
// read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tests/fuzz/WorkbookCheck.h"
#include "tests/ooxml/package/CompoundFileBuilder.h"

using namespace ooxml::sheet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const WorkbookLimits limits = fuzzWorkbookLimits();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  loadAndCheckWorkbook(bytes, limits);
  if (bytes.compare(0, 4, "\xD0\xCF\x11\xE0") != 0) {
    testing_cfb::Builder container;
    container.streams = {{u"Workbook", bytes}};
    loadAndCheckWorkbook(container.build().bytes, limits);
  }
  return 0;
}
