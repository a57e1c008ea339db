#pragma once
// What the main window (and the command-line batch) shows for a batch: one line per file and
// the four totals rows, computed without a window.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Text.h"

// A signed 64-bit value in decimal, digits grouped by three with blanks: 1 200 000.
std::string FormatSize(int64_t value);

enum class CellColour { Normal, Red, Green };

struct FileLine {
  AnsiString path;
  std::array<std::string, 4> sizes;  // size before, size after, changed size, amount (UTF-8)
  WideString status;
  CellColour statusColour = CellColour::Normal;
};

// Texts by translator id; the English defaults when none is given.
using TextById = std::function<WideString(int id)>;
WideString DefaultText(int id);

class BatchReport {
 public:
  explicit BatchReport(TextById text = DefaultText) : text_(std::move(text)) {}

  // A new line for the file just handed over.
  FileLine& AddFile(const AnsiString& path);
  // The last line gets its results and the totals change.
  void FileDone(int32_t code, int32_t step, int32_t count, int64_t sizeBefore, int64_t sizeAfter);
  // Progress in the status cell of the last line.
  void Progress(int32_t percent);

  const std::vector<FileLine>& Lines() const { return lines_; }
  // Rows "All files", "All unchanged", "All successful", "All failed"; columns: number of
  // files, size before, size after, changed size.
  std::array<std::array<std::string, 4>, 4> Totals() const;
  std::array<WideString, 4> TotalsRowTitles() const;
  std::array<WideString, 4> TotalsColumnTitles() const;
  std::array<WideString, 6> LineColumnTitles() const;

  int32_t AllFiles() const { return all_; }
  int32_t Failed() const { return failed_; }
  int32_t Successful() const { return successful_; }
  int32_t Unchanged() const { return unchanged_; }
  int64_t AllBefore() const { return allBefore_; }
  int64_t AllAfter() const { return allAfter_; }
  int64_t SuccessfulBefore() const { return okBefore_; }
  int64_t SuccessfulAfter() const { return okAfter_; }

 private:
  TextById text_;
  std::vector<FileLine> lines_;
  int32_t all_ = 0, unchanged_ = 0, successful_ = 0, failed_ = 0;
  int64_t allBefore_ = 0, allAfter_ = 0, okBefore_ = 0, okAfter_ = 0;
};

// The end text of a run state: 216, 215, 217, 218 or 219; empty while running.
WideString RunStateText(int32_t runState, const TextById& text = DefaultText);
