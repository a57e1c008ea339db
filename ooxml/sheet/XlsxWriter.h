#pragma once
// Writes the model as an .xlsx package: values, shared strings with rich text, the styles the
// model knows and the theme it was read with. The file is replaced only when complete.
#include <string>

#include "ooxml/sheet/Workbook.h"

namespace ooxml::sheet {

std::string workbookBytes(const Workbook& book);
void saveWorkbook(const Workbook& book, const AnsiString& path);  // throws PackageError

}  // namespace ooxml::sheet
