// The parts of a workbook, fuzzed as text rather than as a ZIP (whose checksums stop most
// mutations): input is the worksheet, shared strings and styles, split by a line "--".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "automation/Dispatch.h"
#include "ooxml/package/Zip.h"
#include "ooxml/sheet/CellAccess.h"
#include "ooxml/sheet/XlsxReader.h"
#include "ooxml/sheet/XlsxWriter.h"

using namespace ooxml::sheet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string in(reinterpret_cast<const char*>(data), size);
  std::string parts[3];
  for (int i = 0, at = 0; i < 3; ++i) {
    size_t cut = i < 2 ? in.find("\n--\n", static_cast<size_t>(at)) : std::string::npos;
    parts[i] = in.substr(static_cast<size_t>(at), cut == std::string::npos ? std::string::npos : cut - static_cast<size_t>(at));
    if (cut == std::string::npos) break;
    at = static_cast<int>(cut + 4);
  }
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  ooxml::ZipWriter zip;
  zip.add("[Content_Types].xml",
          "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
          "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
          "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
          "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>", 0);
  zip.add("_rels/.rels", "<Relationships xmlns=\"x\"><Relationship Id=\"rId1\" Type=\"" + rel +
          "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>", 0);
  zip.add("xl/workbook.xml", "<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>", 0);
  zip.add("xl/_rels/workbook.xml.rels", "<Relationships xmlns=\"x\"><Relationship Id=\"rId1\" Type=\"" + rel +
          "worksheet\" Target=\"s.xml\"/><Relationship Id=\"rId2\" Type=\"" + rel + "sharedStrings\" Target=\"t.xml\"/>"
          "<Relationship Id=\"rId3\" Type=\"" + rel + "styles\" Target=\"y.xml\"/></Relationships>", 0);
  zip.add("xl/s.xml", parts[0], 0);
  zip.add("xl/t.xml", parts[1], 0);
  zip.add("xl/y.xml", parts[2], 0);
  WorkbookLimits limits;
  limits.maxCells = 100000;
  std::unique_ptr<Workbook> book;
  try {
    book = loadWorkbookBytes(zip.finish(), limits);
  } catch (const automation::AutomationError&) {
    return 0;
  }
  Sheet& sheet = book->active();
  for (size_t i = 0; i < sheet.cells.size() && i < 50; ++i) {
    CellAccess cell(*book, sheet, sheet.cells[i].row, sheet.cells[i].column);
    cell.value();
    cell.text();
    cell.interiorColor();
    cell.font(FontProperty::Color);
    cell.font(FontProperty::Underline);
  }
  try {
    loadWorkbookBytes(workbookBytes(*book), limits);
  } catch (const automation::AutomationError&) {
    std::abort();  // our own output must always read back
  }
  return 0;
}
