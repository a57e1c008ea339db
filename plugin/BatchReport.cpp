#include "plugin/BatchReport.h"

#include <map>

std::string FormatSize(int64_t value) {
  // Work on the magnitude as unsigned so the most negative value is written correctly.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
    out += digits[i];
  }
  return value < 0 ? "-" + out : out;
}

WideString DefaultText(int id) {
  static const std::map<int, const char16_t*> texts = {
      {208, u"Name"}, {209, u"unchanged"}, {210, u"failed"}, {211, u"successful"}, {212, u"not found"},
      {213, u"not supported"}, {214, u"protected from changes"}, {215, u"Operation completed!"},
      {216, u"Operation aborted!"}, {217, u"Error during opening a Translation Table!"},
      {218, u"Error during launch MS Word application!"},
      {219, u"Will choose an Excel file with table and press to the start button"}, {227, u"All files"},
      {228, u"All unchanged"}, {229, u"All successful"}, {230, u"All failed"}, {231, u"Number of files"},
      {232, u"Size before"}, {233, u"Size after"}, {234, u"Changed size"}, {235, u"Amount"}, {236, u"Status"},
  };
  auto it = texts.find(id);
  return it == texts.end() ? WideString() : WideString(it->second);
}

FileLine& BatchReport::AddFile(const AnsiString& path) {
  lines_.push_back({path, {}, {}, CellColour::Normal});
  return lines_.back();
}

void BatchReport::FileDone(int32_t code, int32_t step, int32_t count, int64_t before, int64_t after) {
  if (lines_.empty()) AddFile("");
  FileLine& line = lines_.back();
  ++all_;
  if (code == 1) {
    line.sizes = {"?", "?", "?", "?"};
  } else {
    allBefore_ += before;
    allAfter_ += after;
    line.sizes = {FormatSize(before), FormatSize(after), FormatSize(after - before), FormatSize(count)};
  }
  if (code == 1) ++failed_;
  if (code == 2) {
    ++successful_;
    okBefore_ += before;
    okAfter_ += after;
  }
  if (code == 8 || code == 16 || code == 64) ++unchanged_;

  auto word = [&](int id) { return text_(id).substr(0, 255); };
  switch (code) {
    case 1:
      line.status = word(210);
      if (step != 0) line.status += u"_" + platform::utf8ToWide(std::to_string(step));
      line.statusColour = CellColour::Red;
      break;
    case 2: line.status = word(211); line.statusColour = CellColour::Green; break;
    case 8: line.status = text_(209); line.statusColour = CellColour::Normal; break;
    case 16: line.status = word(213); line.statusColour = CellColour::Red; break;
    case 64: line.status = word(214); line.statusColour = CellColour::Red; break;
    default: break;
  }
}

void BatchReport::Progress(int32_t percent) {
  if (lines_.empty()) return;
  lines_.back().status = platform::utf8ToWide(std::to_string(percent) + "%");
  lines_.back().statusColour = CellColour::Green;
}

std::array<std::array<std::string, 4>, 4> BatchReport::Totals() const {
  return {{
      {std::to_string(all_), FormatSize(allBefore_), FormatSize(allAfter_), FormatSize(allAfter_ - allBefore_)},
      {std::to_string(unchanged_), FormatSize(allBefore_ - okBefore_), FormatSize(allAfter_ - okAfter_), "0"},
      {std::to_string(successful_), FormatSize(okBefore_), FormatSize(okAfter_), FormatSize(okAfter_ - okBefore_)},
      {std::to_string(failed_), "---", "---", "---"},
  }};
}

std::array<WideString, 4> BatchReport::TotalsRowTitles() const { return {text_(227), text_(228), text_(229), text_(230)}; }
std::array<WideString, 4> BatchReport::TotalsColumnTitles() const {
  return {text_(231), text_(232), text_(233), text_(234)};
}
std::array<WideString, 6> BatchReport::LineColumnTitles() const {
  return {text_(208), text_(232), text_(233), text_(234), text_(235), text_(236)};
}

WideString RunStateText(int32_t runState, const TextById& text) {
  switch (runState) {
    case 1: return text(216);
    case 2: return text(215);
    case 3: return text(217);
    case 4: return text(218);
    case 5: return text(219);
    default: return {};
  }
}
