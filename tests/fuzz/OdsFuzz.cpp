// OpenDocument spreadsheets come from users: any bytes must load cleanly or fail with
// PackageError, both as a whole file (a package or a flat document) and as the content of a
// sound package, and a workbook we loaded must survive being written as .xlsx and read back.
#include <cstddef>
#include <cstdint>

#include "ooxml/package/Zip.h"
#include "tests/fuzz/WorkbookCheck.h"

using namespace ooxml::sheet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const WorkbookLimits limits = fuzzWorkbookLimits();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  loadAndCheckWorkbook(bytes, limits);
  if (bytes.compare(0, 2, "PK") != 0) {
    // The same text as the content (and the styles) of a package.
    ooxml::ZipWriter zip;
    zip.add("mimetype", "application/vnd.oasis.opendocument.spreadsheet", 0);
    zip.add("content.xml", bytes, 1);
    zip.add("styles.xml", bytes, 1);
    loadAndCheckWorkbook(zip.finish(), limits);
  }
  return 0;
}
