#include "ooxml/sheet/DelimitedTextReader.h"

#include <algorithm>

#include "automation/Variant.h"
#include "ooxml/package/PackageError.h"
#include "ooxml/sheet/CellAccess.h"

namespace ooxml::sheet {
namespace {

[[noreturn]] void fail(const std::string& message) { throw PackageError(message); }

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The file's text as UTF-16: a byte order mark says UTF-8 or UTF-16, anything else is in the
// ANSI code page, as Excel takes it.
WideString decodeText(const std::string& bytes) {
  const platform::ByteOrderMark mark = platform::byteOrderMarkOf(bytes);
  const std::string_view body = std::string_view(bytes).substr(platform::byteOrderMarkSize(mark));
  if (mark == platform::ByteOrderMark::Utf8) return platform::utf8ToWide(body);
  if (mark != platform::ByteOrderMark::None) return platform::utf16BytesToWide(body, mark == platform::ByteOrderMark::Utf16Le);
  // A NUL byte is no text: a binary file under a text name is refused, not read as garbage.
  if (bytes.find('\0') != std::string::npos) fail("The file is not a workbook, nor text");
  return platform::ansiToWide(bytes);
}

// Excel set to a language whose decimal mark is a comma writes its comma-separated files with
// semicolons (and "1,5" for numbers). A first line with more semicolons than commas outside
// quotes is taken as such a file: read with commas it would be one column, a table that finds
// nothing it should.
char16_t separatorOf(std::u16string_view text, char16_t separator) {
  if (separator != u',') return separator;
  bool quoted = false;
  size_t commas = 0, semicolons = 0;
  for (char16_t c : text) {
    if (c == u'"') quoted = !quoted;
    else if (quoted) continue;
    else if (c == u',') ++commas;
    else if (c == u';') ++semicolons;
    else if (c == u'\r' || c == u'\n') break;
  }
  return semicolons > commas ? u';' : u',';
}

class Parser {
 public:
  Parser(Workbook& book, char16_t separator, const WorkbookLimits& limits)
      : book_(book), separator_(separator), limits_(limits) {}

  void parse(std::u16string_view text) {
    size_t i = 0;
    uint32_t row = 1, column = 1;
    while (i < text.size() && row <= kMaxRows) {
      WideString field;
      if (text[i] == u'"') {
        ++i;
        while (i < text.size()) {  // up to the closing quote; "" is a quote
          if (text[i] == u'"') {
            if (i + 1 < text.size() && text[i + 1] == u'"') {
              field += u'"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;  // a line end in a cell is LF
          field += text[i] == u'\r' ? u'\n' : text[i];
          ++i;
        }
      }
      while (i < text.size() && text[i] != separator_ && text[i] != u'\r' && text[i] != u'\n') field += text[i++];
      store(row, column, std::move(field));
      if (i < text.size() && text[i] == separator_) {
        ++i;
        ++column;
        continue;
      }
      if (i < text.size() && text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      ++i;
      ++row;
      column = 1;
    }
  }

 private:
  // Each value becomes what typing it would make (a number, TRUE or FALSE, else text), as
  // Excel takes a file of values, quoted or not. A formula stays its text: nothing calculates.
  void store(uint32_t row, uint32_t column, WideString field) {
    if (field.empty() || column > kMaxColumns) return;  // Excel drops what lies past its last column
    if (++cells_ > limits_.maxCells) fail("The file has more than " + std::to_string(limits_.maxCells) + " cells");
    if (field.size() > limits_.maxTextLength) field.resize(limits_.maxTextLength);  // Excel cuts a cell's text there
    Sheet& sheet = book_.active();
    if (field[0] != u'\'' && field[0] != u'=') {
      CellAccess(book_, sheet, row, column).assign(automation::Variant(field));
      if (sheet.at(row, column).kind != CellKind::String) return;
    } else {
      Cell& cell = sheet.at(row, column);
      cell.kind = CellKind::String;
      cell.string = book_.addString(RichString{field, {}});
    }
    totalText_ += field.size();
    if (totalText_ > limits_.maxTotalText)
      fail("The file holds more text than can be read (over " + std::to_string(limits_.maxTotalText) + " characters)");
  }

  Workbook& book_;
  char16_t separator_;
  const WorkbookLimits& limits_;
  size_t cells_ = 0, totalText_ = 0;
};

WideString sheetNameOf(const WideString& name) {
  WideString out;
  for (char16_t c : name) out += (c == u'[' || c == u']' || c == u':' || c == u'*' || c == u'?' || c == u'/' || c == u'\\') ? u'_' : c;
  if (out.size() > 31) out.resize(31);  // Excel's longest sheet name
  return out.empty() ? WideString(u"Sheet1") : out;
}

}  // namespace

std::optional<char> delimitedTextSeparator(std::string_view fileName) {
  size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string ext = lowerAscii(fileName.substr(dot));
  if (ext == ".csv") return ',';
  if (ext == ".txt" || ext == ".tsv" || ext == ".prn") return '\t';
  return std::nullopt;
}

std::unique_ptr<Workbook> loadDelimitedText(std::string bytes, char separator, const WideString& sheetName,
                                            const WorkbookLimits& limits) {
  // Its text takes twice its bytes as UTF-16, and more again as cells.
  constexpr size_t kMaxTextFile = 64u << 20;
  if (bytes.size() > std::min<uint64_t>(limits.maxFileSize, kMaxTextFile)) fail("The file is too large to be read as a workbook");
  WideString text = decodeText(bytes);
  std::string().swap(bytes);
  auto book = std::make_unique<Workbook>();
  book->sheets.front().name = sheetNameOf(sheetName);
  // Cells arrive in row order, so each is appended where Sheet::at would put it.
  book->active().cells.reserve(std::min<size_t>(text.size() / 4 + 1, limits.maxCells));
  Parser(*book, separatorOf(text, static_cast<char16_t>(separator)), limits).parse(text);
  return book;
}

}  // namespace ooxml::sheet
