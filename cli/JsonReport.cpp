#include "cli/JsonReport.h"

#include <cstdio>

#include "platform/Text.h"

std::string JsonEscape(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string RenderJsonReport(const std::vector<FileOutcome>& files, const BatchReport& report, int32_t runState,
                             const std::string& endText) {
  std::string j = "{\n  \"files\": [";
  for (size_t i = 0; i < files.size(); ++i) {
    const FileOutcome& f = files[i];
    j += i ? ",\n    " : "\n    ";
    // A failed document's sizes are not its own (the worker keeps the last ones it had), so
    // they are unknown here as the line's question marks say.
    auto size = [&](int64_t v) { return f.result == 1 ? std::string("null") : std::to_string(v); };
    j += "{\"path\": " + JsonEscape(platform::ansiToUtf8(f.path)) +
         ", \"result\": " + std::to_string(f.result) + ", \"step\": " + std::to_string(f.step) +
         ", \"replacements\": " + std::to_string(f.count) + ", \"sizeBefore\": " + size(f.sizeBefore) +
         ", \"sizeAfter\": " + size(f.sizeAfter) + ", \"status\": " + JsonEscape(f.status) +
         ", \"error\": " + (f.error.empty() ? std::string("null") : JsonEscape(f.error)) + "}";
  }
  j += files.empty() ? "],\n" : "\n  ],\n";
  j += "  \"totals\": {\"files\": " + std::to_string(report.AllFiles()) +
       ", \"unchanged\": " + std::to_string(report.Unchanged()) +
       ", \"successful\": " + std::to_string(report.Successful()) + ", \"failed\": " + std::to_string(report.Failed()) +
       ", \"sizeBefore\": " + std::to_string(report.AllBefore()) + ", \"sizeAfter\": " + std::to_string(report.AllAfter()) +
       ", \"successfulSizeBefore\": " + std::to_string(report.SuccessfulBefore()) +
       ", \"successfulSizeAfter\": " + std::to_string(report.SuccessfulAfter()) + "},\n";
  j += "  \"runState\": " + std::to_string(runState) + ",\n  \"endText\": " + JsonEscape(endText) + "\n}\n";
  return j;
}
