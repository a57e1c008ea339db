#pragma once
// The reader for a table file, chosen by its extension: ".txt" in any letter case is a text
// table, every other extension a spreadsheet workbook.
#include <memory>

#include "tables/TAbstractTable.h"

// A reader whose Ready is true, or null when no reader can serve the file (the table cannot
// be opened). The caller still calls SetVisible and Open.
std::unique_ptr<TAbstractTable> CreateTableReader(const AnsiString& fileName);

bool IsTextTableName(const AnsiString& fileName);
