#include "cli/Terminal.h"

#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {
std::atomic<bool>* g_interrupted = nullptr;
extern "C" void onInterrupt(int) {
  if (g_interrupted) g_interrupted->store(true);
  std::signal(SIGINT, onInterrupt);  // stay armed where the handler resets
}
}  // namespace

bool StdoutIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdout)) != 0;
#else
  return isatty(fileno(stdout)) != 0;
#endif
}

std::string ProgressBarLine(int percent, const std::string& name, int width) {
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  const int barWidth = 20;
  int filled = percent * barWidth / 100;
  std::string line = "[" + std::string(filled, '#') + std::string(barWidth - filled, '.') + "] ";
  std::string pct = std::to_string(percent) + "%";
  line += std::string(4 - pct.size(), ' ') + pct + "  ";
  int room = width - static_cast<int>(line.size());
  if (room > 3 && static_cast<int>(name.size()) > room) {
    // The name's tail, cut where a UTF-8 character begins: half a letter prints as garbage.
    size_t from = name.size() - (room - 3);
    while (from < name.size() && (static_cast<unsigned char>(name[from]) & 0xC0) == 0x80) ++from;
    line += "..." + name.substr(from);
  } else if (room > 0) {
    line += name;
  }
  return line;
}

void InstallInterruptFlag(std::atomic<bool>& interrupted) {
  g_interrupted = &interrupted;
  std::signal(SIGINT, onInterrupt);
}

#ifdef _WIN32
Utf8Console::Utf8Console() {
  if (!StdoutIsTerminal()) return;
  previous_ = GetConsoleOutputCP();
  if (previous_ == CP_UTF8 || !SetConsoleOutputCP(CP_UTF8)) previous_ = 0;
}
Utf8Console::~Utf8Console() {
  if (previous_) SetConsoleOutputCP(previous_);
}
#else
Utf8Console::Utf8Console() {}
Utf8Console::~Utf8Console() {}
#endif
