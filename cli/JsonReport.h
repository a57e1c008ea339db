#pragma once
// The results of a run for scripts: every document with its raw values, the totals, the end.
#include <string>
#include <vector>

#include "cli/FileOutcome.h"
#include "plugin/BatchReport.h"

std::string JsonEscape(const std::string& utf8);
std::string RenderJsonReport(const std::vector<FileOutcome>& files, const BatchReport& report, int32_t runState,
                             const std::string& endTextUtf8);
