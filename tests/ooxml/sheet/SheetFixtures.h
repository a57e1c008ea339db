#pragma once
// Workbooks written by scripts/gen/make_xlsx_fixtures.py, and a scratch folder per test.
#include <gtest/gtest.h>

#include <string>

#include "automation/Ole.h"
#include "ooxml/sheet/ExcelApplication.h"
#include "ooxml/sheet/XlsxReader.h"
#include "platform/Files.h"

inline std::string xlsxFixture(const std::string& name) {
  return std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/xlsx/" + name;
}

inline std::unique_ptr<ooxml::sheet::Workbook> fixtureBook(const std::string& name) {
  return ooxml::sheet::loadWorkbookBytes(platform::readFile(xlsxFixture(name), 1 << 20));
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
