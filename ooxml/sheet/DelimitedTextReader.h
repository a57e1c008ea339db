#pragma once
// Reads a text file of values (.csv: comma-separated; .txt, .tsv, .prn: TAB-separated) into a
// workbook of one sheet, as Excel opens such a file: quoted fields, values converted as typed
// ones are, every cell in the default format.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ooxml/sheet/Workbook.h"
#include "ooxml/sheet/XlsxReader.h"

namespace ooxml::sheet {

// The separator of a file of this name that is no package, read as delimited text; none for a
// name that is not a text file's.
std::optional<char> delimitedTextSeparator(std::string_view fileName);

// bytes: the whole file; sheetName: the file's name without its extension, as Excel names the
// sheet. Throws PackageError for bytes that are no text (a NUL outside UTF-16).
std::unique_ptr<Workbook> loadDelimitedText(std::string bytes, char separator, const WideString& sheetName,
                                            const WorkbookLimits& limits = {});

}  // namespace ooxml::sheet
