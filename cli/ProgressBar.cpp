#include "cli/ProgressBar.h"

#include "cli/Terminal.h"

void ProgressBar::Start(const std::string& name) {
  name_ = name;
  active_ = true;
}

void ProgressBar::Draw(int32_t percent) {
  last_ = std::chrono::steady_clock::now();
  drawn_ = true;
  std::string line = ProgressBarLine(percent, name_);
  if (line == shown_) return;
  std::fprintf(out_, "\r%s", line.c_str());
  std::fflush(out_);
  shown_ = line;
}

void ProgressBar::Clear() {
  active_ = false;
  if (shown_.empty()) return;
  std::fprintf(out_, "\r%-78s\r", "");
  shown_.clear();
}
