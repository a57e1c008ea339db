#pragma once
// A scratch folder per test, removed afterwards, for table files written byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "platform/Files.h"

class TableFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = platform::joinPath(platform::tempFolder(),
                                 std::string("tavimo_tables_") + info->test_suite_name() + "_" + info->name());
    platform::fileSystem().createFolder(folder_);
  }
  void TearDown() override {
    for (auto& e : platform::fileSystem().listFolder(folder_))
      platform::fileSystem().remove(platform::joinPath(folder_, e.name));
    platform::fileSystem().remove(folder_);
  }
  std::string write(const std::string& name, const std::string& bytes) {
    std::string path = platform::joinPath(folder_, name);
    EXPECT_TRUE(platform::writeFileAtomically(path, bytes));
    return path;
  }
  std::string folder_;
};
