#pragma once
// One document's result as the command-line batch reports it.
#include <cstdint>
#include <string>

#include "platform/Text.h"

struct FileOutcome {
  AnsiString path;
  int32_t result = 0, step = 0, count = 0;
  int64_t sizeBefore = 0, sizeAfter = 0;
  std::string status;  // as the line shows it, UTF-8
  std::string error;   // what made a failed document fail, UTF-8; empty otherwise
};
