#pragma once
// A translation table kept as ANSI text (or Unicode text that starts with its byte order mark):
// one row per line, find text, replacement text and option letters separated by TABs. It
// carries no formatting and never fails on content.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tables/TAbstractTable.h"

class TTextTable : public TAbstractTable {
 public:
  // Larger files read as an empty table rather than exhaust a 32-bit process.
  static constexpr size_t kMaxFileBytes = 64u << 20;

  TTextTable() { Ready = true; }

  bool GetVisible() override { return false; }
  void SetVisible(bool) override {}
  // Never raises: a file that cannot be read leaves the lines as they were.
  void Open(const AnsiString& fileName) override;
  void Close() override {}
  bool ReadRow(WideString& findText, WideString& replaceText, TFormating& findFormat,
               TFormating& replaceFormat) override;
  void GetPosition(TTablePosition& position) override { position = {Row, 1}; }

  size_t LineCount() const { return Lines ? Lines->starts.size() : 0; }

 private:
  // The file's text up to its first NUL, and where each line starts and ends in it (up to the
  // first line without a find text, where reading stops).
  struct LineList {
    std::string text;
    bool utf8 = false;  // the file was Unicode: text holds it as UTF-8, not in the ANSI code page
    std::vector<uint32_t> starts, ends;  // the file is far below 4 GiB
  };
  std::unique_ptr<LineList> Lines;
};
