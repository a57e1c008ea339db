#pragma once
// The tables of an OpenDocument spreadsheet as sheets: rows and cells with their repeats,
// values and cached formula results, texts and formats. A repeat of empty cells costs nothing;
// formatted empty cells are kept while a budget lasts, and values count against the cell limit.
#include <memory>

#include "ooxml/sheet/OdsStyles.h"
#include "ooxml/sheet/OdsText.h"
#include "ooxml/sheet/XlsxReader.h"

namespace ooxml::sheet::ods {

class TableReader {
 public:
  TableReader(Workbook& book, CellStyles& styles, const WorkbookLimits& limits);

  // One table:table element into a sheet of the workbook.
  void read(xml::Node table, const Names& names);

 private:
  struct ColumnRun {
    uint32_t first, last, format;
  };
  struct Group;
  void readColumns(xml::Node parent, const Names& n, int depth);
  void readRows(xml::Node parent, const Names& n, Sheet& sheet, int depth);
  void readRow(xml::Node row, const Names& n, Sheet& sheet);
  Group groupOf(xml::Node cell, const Names& n, uint32_t first, uint32_t count);
  void content(Group& g, xml::Node cell, const Names& n);
  bool emit(const Group& g, uint32_t row, Sheet& sheet);
  void emitCell(const Group& g, uint32_t row, uint32_t column, uint32_t format, Sheet& sheet);
  uint32_t columnFormat(uint32_t column) const;
  bool anyColumnFormatted(uint32_t first, uint32_t last) const;
  uint32_t keep(RichString s);

  Workbook& book_;
  CellStyles& styles_;
  const WorkbookLimits& limits_;
  std::vector<ColumnRun> columns_;
  uint32_t nextColumn_ = 1, nextRow_ = 1;
  size_t cells_ = 0, blanksLeft_ = 0, totalText_ = 0, runs_ = 0;
};

}  // namespace ooxml::sheet::ods
