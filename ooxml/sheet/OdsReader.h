#pragma once
// Reads an OpenDocument spreadsheet (.ods and .ots packages, and the flat XML .fods) into the
// model: every table with its values, cached formula results, texts with their spans, cell
// styles and data styles. Encrypted files and other OpenDocument kinds are refused. Errors are
// ooxml::PackageError with a message a user can act on.
#include <memory>
#include <string>
#include <string_view>

#include "ooxml/sheet/XlsxReader.h"

namespace ooxml::sheet {

// By content: a ZIP package whose first entry is an OpenDocument "mimetype", or an XML file
// in the OpenDocument office namespace.
bool looksLikeOpenDocument(std::string_view bytes);

std::unique_ptr<Workbook> loadOdsWorkbook(std::string bytes, const WorkbookLimits& limits = {});

}  // namespace ooxml::sheet
