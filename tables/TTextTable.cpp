#include "tables/TTextTable.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "platform/Files.h"
#include "platform/Text.h"

namespace {

// A spreadsheet's "Unicode text" is UTF-16 with a byte order mark, and editors write UTF-8
// with one: read as ANSI, the first would end at its first NUL (a table of one garbage row,
// every document "unchanged") and the second would spoil the first find text. Such a file is
// turned into UTF-8, where a NUL character ends the text as a NUL byte does in ANSI; any
// other file is left to the ANSI code page. Returns whether the text is now UTF-8.
bool takeUnicode(std::string& text) {
  const platform::ByteOrderMark mark = platform::byteOrderMarkOf(text);
  if (mark == platform::ByteOrderMark::None) return false;
  if (mark == platform::ByteOrderMark::Utf8) {
    text.erase(0, 3);
    return true;
  }
  WideString wide = platform::utf16BytesToWide(std::string_view(text).substr(2), mark == platform::ByteOrderMark::Utf16Le);
  wide.resize(std::min(wide.size(), wide.find(u'\0')));
  text = platform::wideToUtf8(wide);
  return true;
}

}  // namespace

void TTextTable::Open(const AnsiString& fileName) {
  if (!Lines) Lines = std::make_unique<LineList>();
  try {
    auto loaded = std::make_unique<LineList>();
    loaded->text = platform::readFile(fileName, kMaxFileBytes);
    loaded->utf8 = takeUnicode(loaded->text);
    size_t nul = loaded->text.find('\0');
    if (nul != std::string::npos) loaded->text.resize(nul);
    const std::string& t = loaded->text;
    size_t start = 0;
    // Reading stops at the first line without a find text, so lines after it are not indexed:
    // a file of millions of empty lines would otherwise cost sixteen times its size.
    bool ended = false;
    for (size_t i = 0; i < t.size() && !ended; ++i) {
      if (t[i] != '\r' && t[i] != '\n') continue;
      loaded->starts.push_back(static_cast<uint32_t>(start));
      loaded->ends.push_back(static_cast<uint32_t>(i));
      ended = i == start || t[start] == '\t';
      if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
      start = i + 1;
    }
    if (!ended && start < t.size()) {  // a last line without a terminator
      loaded->starts.push_back(start);
      loaded->ends.push_back(t.size());
    }
    Lines = std::move(loaded);
  } catch (const std::exception&) {
    // An unreadable file reads as the table held before: empty for a new reader.
  }
}

bool TTextTable::ReadRow(WideString& findText, WideString& replaceText, TFormating& findFormat,
                         TFormating& replaceFormat) {
  if (Row < 1 || LineCount() < static_cast<size_t>(Row)) return false;
  size_t index = static_cast<size_t>(Row) - 1;
  std::string_view line(Lines->text.data() + Lines->starts[index],
                        Lines->ends[index] - Lines->starts[index]);
  ResetFormating(findFormat);
  ResetFormating(replaceFormat);

  std::string_view fields[3];
  size_t field = 0, fieldStart = 0;
  for (size_t i = 0; i <= line.size() && field < 3; ++i) {
    if (i == line.size() || line[i] == '\t') {
      fields[field++] = line.substr(fieldStart, i - fieldStart);
      fieldStart = i + 1;
    }
  }
  if (fields[0].empty()) return false;
  auto toWide = Lines->utf8 ? platform::utf8ToWide : platform::ansiToWide;
  findText = toWide(fields[0]);
  replaceText = toWide(fields[1]);
  if (!fields[2].empty()) ParseRowOptions(findFormat, toWide(fields[2]));
  ++Row;
  return true;
}
