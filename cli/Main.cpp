// tavimo: the command-line batch.
#include <cstdio>
#include <stdexcept>

#include "cli/BatchRun.h"
#ifndef _WIN32
#include "ooxml/sheet/ExcelApplication.h"
#include "ooxml/word/WordApplication.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  CliOptions options;
  try {
    options = ParseCommandLine(args);
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "tavimo: %s\n\n%s", e.what(), UsageText().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
#ifndef _WIN32
  // Linux has no Word or Excel: our own engine answers for both, in process.
  ooxml::registerWordInProcess();
  ooxml::registerExcelInProcess();
#endif
  return RunBatch(options, stdout);
}
