#pragma once
// The one-line bar a terminal shows for the document in hand, drawn by the main thread from
// the worker's last percentage and redrawn at most every `every`.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

class ProgressBar {
 public:
  explicit ProgressBar(std::FILE* out, std::chrono::milliseconds every = std::chrono::milliseconds(100))
      : out_(out), every_(every) {}
  void Start(const std::string& name);  // a new document
  // Whether a document is in hand and the last draw is old enough.
  bool Due() const {
    return active_ && (!drawn_ || std::chrono::steady_clock::now() - last_ >= every_);
  }
  void Draw(int32_t percent);
  // Wipes the bar before the document's line is printed, and ends the document.
  void Clear();

 private:
  std::FILE* out_;
  std::chrono::milliseconds every_;
  // The clock counts from boot, so "never drawn" needs its own flag, not an epoch time_point.
  std::chrono::steady_clock::time_point last_{};
  bool drawn_ = false;
  std::string name_;
  std::string shown_;  // the line on screen, empty when none is
  bool active_ = false;
};
