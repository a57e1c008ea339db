#pragma once
// Workbooks written by scripts/gen/make_xlsx_fixtures.py, and a scratch folder per test.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "automation/Ole.h"
#include "ooxml/package/PackageError.h"
#include "ooxml/sheet/CellAccess.h"
#include "ooxml/sheet/ExcelApplication.h"
#include "ooxml/sheet/XlsxReader.h"
#include "platform/Files.h"

inline std::string xlsxFixture(const std::string& name) {
  return std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/xlsx/" + name;
}

inline std::unique_ptr<ooxml::sheet::Workbook> fixtureBook(const std::string& name) {
  return ooxml::sheet::loadWorkbookBytes(platform::readFile(xlsxFixture(name), 1 << 20));
}

// The last row and column a sheet's cells reach; with formats, also its formatted rows and
// formatted columns (those up to 64, past which a whole-row format would reach).
inline std::pair<uint32_t, uint32_t> extent(const ooxml::sheet::Sheet& s, bool withFormats) {
  uint32_t rows = 0, columns = 0;
  for (const ooxml::sheet::Cell& c : s.cells) rows = std::max(rows, c.row), columns = std::max(columns, c.column);
  if (withFormats) {
    for (auto& r : s.rowFormats) rows = std::max(rows, r.first);
    for (auto& c : s.columnFormats) columns = std::max(columns, std::min(c.last, 64u));
  }
  return {rows, columns};
}

// The rows and columns two sheets are compared over: both extents and a margin of two.
inline std::pair<uint32_t, uint32_t> comparedGrid(const ooxml::sheet::Sheet& a, const ooxml::sheet::Sheet& b,
                                                  bool withFormats) {
  auto [rowsA, columnsA] = extent(a, withFormats);
  auto [rowsB, columnsB] = extent(b, withFormats);
  return {std::max(rowsA, rowsB) + 2, std::max(columnsA, columnsB) + 2};
}

// The message a load refuses the bytes with, or "loaded".
inline std::string failure(const std::string& bytes, const ooxml::sheet::WorkbookLimits& limits = {}) {
  try {
    ooxml::sheet::loadWorkbookBytes(bytes, limits);
  } catch (const ooxml::PackageError& e) {
    return e.what();
  }
  return "loaded";
}

// A value as a comparison shows it: its type and text, or the error's code.
inline std::string describe(const automation::Variant& v) {
  using automation::VarType;
  switch (v.type()) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Error: return "Error " + std::to_string(v.rawInteger() & 0xFFFF);
    default: return std::to_string(static_cast<int>(v.type())) + ":" + v.toUtf8();
  }
}

class SheetScratch : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = platform::joinPath(platform::tempFolder(),
                                 std::string("tavimo_sheet_") + info->test_suite_name() + "_" + info->name());
    TearDown();
    platform::fileSystem().createFolder(folder_);
  }
  void TearDown() override {
    for (auto& e : platform::fileSystem().listFolder(folder_))
      platform::fileSystem().remove(platform::joinPath(folder_, e.name));
    platform::fileSystem().remove(folder_);
  }
  std::string scratch(const std::string& name) const { return platform::joinPath(folder_, name); }
  std::string folder_;
};

// Everything the table reader can ask of one cell, as text, for a readable comparison.
// fontName, when given, shows the font name its own way, or leaves it out (nullopt).
inline std::string cellAnswers(ooxml::sheet::Workbook& book, ooxml::sheet::Sheet& sheet, uint32_t row, uint32_t column,
                               const std::function<std::optional<std::string>(const automation::Variant&)>& fontName = {}) {
  using ooxml::sheet::FontProperty;
  ooxml::sheet::CellAccess cell(book, sheet, row, column);
  std::string s = "value " + describe(cell.value()) + " | text " + platform::wideToUtf8(cell.text()) + " | interior " +
                  describe(cell.interiorColor());
  const char* names[] = {"bold", "italic", "color", "size", "name", "underline", "strike"};
  int i = 0;
  for (auto p : {FontProperty::Bold, FontProperty::Italic, FontProperty::Color, FontProperty::Size, FontProperty::Name,
                 FontProperty::Underline, FontProperty::Strikethrough}) {
    const automation::Variant v = cell.font(p);
    const std::optional<std::string> shown = p == FontProperty::Name && fontName ? fontName(v) : describe(v);
    if (shown) s += std::string(" | ") + names[i] + " " + *shown;
    ++i;
  }
  return s;
}
