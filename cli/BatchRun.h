#pragma once
// One run of the command-line batch: settings and options into a worker, the host's part
// played here (documents handed over in order), lines and totals printed as they come.
#include <cstdio>

#include "cli/CliOptions.h"

// Exit status: 0 completed without failed documents, 1 completed with some, 2 the table or
// Word could not be used, 130 aborted.
int RunBatch(const CliOptions& options, std::FILE* out);

// The documents in the order given; folders stay as they are unless recursive, which puts
// the files below them in their place (sorted by name, depth first). A file met again is
// left out, and named in repeated when that is given.
std::vector<AnsiString> ExpandPaths(const std::vector<AnsiString>& paths, bool recursive,
                                    std::vector<AnsiString>* repeated = nullptr);
