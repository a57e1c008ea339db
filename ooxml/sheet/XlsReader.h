#pragma once
// Reads a legacy binary workbook (.xls of Excel 97 and later) into the model: values, cached
// formula results, texts with their formatting runs, fonts, fills, number formats and the
// formats of rows and columns. Older versions and password-protected files are refused.
// Errors are ooxml::PackageError with a message a user can act on.
#include <memory>
#include <string>

#include "ooxml/sheet/XlsxReader.h"

namespace ooxml::sheet {

std::unique_ptr<Workbook> loadXlsWorkbook(std::string bytes, const WorkbookLimits& limits = {});

}  // namespace ooxml::sheet
