#pragma once
// The console: whether output is a terminal, a one-line progress bar, and Ctrl+C.
#include <atomic>
#include <string>

bool StdoutIsTerminal();
// "[#####.....]  50%  name" fitted to width; only for terminals.
std::string ProgressBarLine(int percent, const std::string& name, int width = 78);
// Ctrl+C sets the flag instead of ending the process, so the batch can stop cleanly.
void InstallInterruptFlag(std::atomic<bool>& interrupted);
