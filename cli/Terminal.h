#pragma once
// The console: whether output is a terminal, a one-line progress bar, and Ctrl+C.
#include <atomic>
#include <string>

bool StdoutIsTerminal();
// "[#####.....]  50%  name" fitted to width; only for terminals.
std::string ProgressBarLine(int percent, const std::string& name, int width = 78);
// Ctrl+C sets the flag instead of ending the process, so the batch can stop cleanly.
void InstallInterruptFlag(std::atomic<bool>& interrupted);

// For as long as it lives, a Windows console shows what we write as UTF-8 (our lines carry
// file names in UTF-8); the console's own code page comes back afterwards. Elsewhere nothing.
class Utf8Console {
 public:
  Utf8Console();
  ~Utf8Console();
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  unsigned previous_ = 0;
};
