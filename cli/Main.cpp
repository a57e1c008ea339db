// tavimo: the command-line batch.
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <stdexcept>

#include "cli/BatchRun.h"
#include "cli/Terminal.h"
#ifdef TAVIMO_IN_PROCESS_WORD
#include "ooxml/word/WordApplication.h"
#endif
#ifdef TAVIMO_IN_PROCESS_EXCEL
#include "ooxml/sheet/ExcelApplication.h"
#endif

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // A batch opens and frees the same few megabytes for every document: keep them rather than
  // hand them back to the system and fault them in again.
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  CliOptions options;
  try {
    options = ParseCommandLine(args);
  } catch (const std::invalid_argument& e) {
    // The mistake, and where to read more: the whole text would push it off the screen.
    std::fprintf(stderr, "tavimo: %s\n%s(tavimo --help lists the options)\n", e.what(),
                 UsageText().substr(0, UsageText().find('\n') + 1).c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  // Linux has no Word or Excel: our own engine answers for both, in process.
#ifdef TAVIMO_IN_PROCESS_WORD
  ooxml::registerWordInProcess();
#endif
#ifdef TAVIMO_IN_PROCESS_EXCEL
  ooxml::registerExcelInProcess();
#endif
  Utf8Console console;
  return RunBatch(options, stdout);
}
