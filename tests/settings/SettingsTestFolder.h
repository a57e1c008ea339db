#pragma once
// A scratch folder per test, removed afterwards with everything in it.
#include <gtest/gtest.h>

#include <string>

#include "platform/Files.h"

class SettingsFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("tavimo_settings_") + info->test_suite_name() + "_" + info->name();
    for (char& c : name)
      if (c == '/') c = '_';
    folder_ = platform::joinPath(platform::tempFolder(), name);
    removeAll(folder_);
    platform::fileSystem().createFolder(folder_);
  }
  void TearDown() override { removeAll(folder_); }

  static void removeAll(const std::string& path) {
    if (platform::isFolder(path))
      for (auto& e : platform::fileSystem().listFolder(path)) removeAll(platform::joinPath(path, e.name));
    platform::fileSystem().remove(path);
  }
  std::string path(const std::string& name) const { return platform::joinPath(folder_, name); }
  std::string write(const std::string& name, const std::string& bytes) {
    EXPECT_TRUE(platform::writeFileAtomically(path(name), bytes));
    return path(name);
  }
  std::string read(const std::string& name) { return platform::readFile(path(name), 1 << 20); }

  std::string folder_;
};
