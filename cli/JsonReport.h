#pragma once
// The results of a run for scripts: every document with its raw values, the totals, the end.
#include <string>
#include <vector>

#include "platform/Text.h"
#include "plugin/BatchReport.h"

struct FileOutcome {
  AnsiString path;
  int32_t result = 0, step = 0, count = 0;
  int64_t sizeBefore = 0, sizeAfter = 0;
  std::string status;  // as the line shows it, UTF-8
  std::string error;   // what made a failed document fail, UTF-8; empty otherwise
};

std::string JsonEscape(const std::string& utf8);
std::string RenderJsonReport(const std::vector<FileOutcome>& files, const BatchReport& report, int32_t runState,
                             const std::string& endTextUtf8);
