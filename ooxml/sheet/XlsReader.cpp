#include "ooxml/sheet/XlsReader.h"

#include <algorithm>
#include <cstring>

#include "ooxml/package/CompoundFile.h"
#include "ooxml/package/PackageError.h"
#include "ooxml/sheet/BiffRecords.h"
#include "ooxml/sheet/XlsStyles.h"

namespace ooxml::sheet {
namespace {

using namespace biff;

constexpr uint16_t kBiff8 = 0x0600;
constexpr uint16_t kGlobalsKind = 0x0005, kWorksheetKind = 0x0010;
constexpr uint8_t kWorksheetEntry = 0;
constexpr uint16_t kRowHasFormat = 0x0080;

[[noreturn]] void fail(const std::string& message) { throw PackageError(message); }

[[noreturn]] void tooOld() {
  fail("The workbook was saved by a very old version of Excel (5.0/95 or older) and cannot be read: "
       "save it as an .xlsx workbook");
}

struct SheetEntry {
  WideString name;
  uint32_t offset = 0;
  bool worksheet = false;
};

size_t recordSize(const Record& r) {
  size_t n = 0;
  for (auto p : r.parts) n += p.size();
  return n;
}

std::optional<CellError> errorOfCode(uint8_t code) {
  switch (code) {
    case 0x00: return kErrNull;
    case 0x07: return kErrDiv0;
    case 0x0F: return kErrValue;
    case 0x17: return kErrRef;
    case 0x1D: return kErrName;
    case 0x24: return kErrNum;
    case 0x2A: return kErrNA;
    default: return std::nullopt;
  }
}

// Reads the BOF record that opens a substream: its version and the kind of substream.
std::pair<uint16_t, uint16_t> beginningOf(RecordStream& records) {
  Record r;
  if (!records.next(r)) damaged("a part of the workbook stream is empty");
  if (isOldBof(r.type)) tooOld();
  if (r.type != kBof) damaged("a part of the workbook stream does not begin as it should");
  RecordReader in(r);
  const uint16_t version = in.u16();
  return {version, in.u16()};
}

class XlsLoader {
 public:
  XlsLoader(std::string_view stream, const WorkbookLimits& limits) : stream_(stream), limits_(limits) {}

  std::unique_ptr<Workbook> load() {
    book_ = std::make_unique<Workbook>();
    book_->sheets.clear();
    styles_.emplace(book_->styles);
    readGlobals();
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (!entries_[i].worksheet) continue;
      Sheet sheet(entries_[i].name);
      if (!readSheet(entries_[i].offset, sheet)) continue;
      if (i == activeTab_) book_->activeSheet = book_->sheets.size();
      book_->sheets.push_back(std::move(sheet));
    }
    if (book_->sheets.empty()) fail("The workbook has no worksheet");
    return std::move(book_);
  }

 private:
  void readGlobals() {
    RecordStream records(stream_, 0);
    auto [version, kind] = beginningOf(records);
    if (version != kBiff8) tooOld();
    if (kind != kGlobalsKind) damaged("the workbook stream does not begin with the workbook's settings");
    for (Record r; records.next(r) && r.type != kEof;) {
      RecordReader in(r);
      switch (r.type) {
        case kFilePass:
          fail("The workbook is protected by a password and cannot be read: open it in Excel, remove the password and save it again");
        case kDateMode: book_->date1904 = in.u16() == 1; break;
        case kBoundSheet: {
          SheetEntry e;
          e.offset = in.u32();
          in.skip(1);  // visibility
          e.worksheet = in.u8() == kWorksheetEntry;
          e.name = in.string8();
          entries_.push_back(std::move(e));
          break;
        }
        case kWindow1:
          if (!sawWindow_) in.skip(10), activeTab_ = in.u16(), sawWindow_ = true;
          break;
        case kFont: styles_->readFont(in); break;
        case kFormat: styles_->readFormat(in); break;
        case kXf: styles_->readXf(in); break;
        case kPalette: styles_->readPalette(in); break;
        case kXfExt: styles_->readXfExtension(in); break;
        case kSst:
          if (!sawSst_) readSharedTexts(in), sawSst_ = true;
          break;
        default: break;  // CODEPAGE among them: texts of this version are Unicode whatever it says
      }
    }
  }

  void readSharedTexts(RecordReader& in) {
    in.skip(4);  // references to texts in the workbook
    const uint32_t count = in.u32();
    // The count is only a claim: reading stops where the table's records end.
    for (uint32_t i = 0; i < count && !in.atEnd(); ++i) {
      if (book_->strings.size() >= limits_.maxCells)
        fail("The workbook has more than " + std::to_string(limits_.maxCells) + " shared texts");
      keep(richString(readRichText(in, limits_.maxTextLength)));
    }
    sharedCount_ = book_->strings.size();
  }

  RichString richString(RichText t) {
    RichString s;
    s.text = std::move(t.text);
    size_t next = 0;  // runs must start in order within the text; others format nothing
    std::vector<std::pair<uint16_t, uint16_t>> runs;
    for (auto run : t.runs)
      if (run.first >= next && run.first < s.text.size()) runs.push_back(run), next = run.first + 1u;
    if (runs.empty()) return s;
    if (runs.front().first > 0) s.runs.push_back({s.text.substr(0, runs.front().first), std::nullopt});
    for (size_t i = 0; i < runs.size(); ++i) {
      const size_t end = i + 1 < runs.size() ? runs[i + 1].first : s.text.size();
      TextRun run{s.text.substr(runs[i].first, end - runs[i].first), styles_->runFont(runs[i].second)};
      if (!s.runs.empty() && s.runs.back().font == run.font) {
        s.runs.back().text += run.text;  // the same font goes on: one run shows the same
        continue;
      }
      if (++runs_ > limits_.maxRuns)
        fail("The workbook holds more formatted pieces of text than can be read (over " + std::to_string(limits_.maxRuns) + ")");
      s.runs.push_back(std::move(run));
    }
    return s;
  }

  uint32_t keep(RichString s) {
    totalText_ += s.text.size();
    if (totalText_ > limits_.maxTotalText)
      fail("The workbook holds more text than can be read (over " + std::to_string(limits_.maxTotalText) + " characters)");
    return book_->addString(std::move(s));
  }

  WideString checkedText(WideString text) const {
    if (text.size() > limits_.maxTextLength)
      fail("A text in the workbook is longer than " + std::to_string(limits_.maxTextLength) + " characters");
    return text;
  }

  bool readSheet(uint32_t offset, Sheet& sheet) {
    if (offset >= stream_.size()) damaged("a sheet lies outside the workbook stream");
    RecordStream records(stream_, offset);
    auto [version, kind] = beginningOf(records);
    if (version != kBiff8 || kind != kWorksheetKind) return false;
    pendingFormula_.reset();
    // Charts drawn on the sheet are substreams of their own, nested between BOF and EOF.
    int depth = 1;
    for (Record r; depth > 0 && records.next(r);) {
      // Sheets that do not overlap hold fewer records together than the stream has bytes / 4;
      // sheets pointing into each other would make reading them grow with the square.
      if (sheetRecords_++ > stream_.size() / 4) damaged("the sheets of the workbook overlap");
      if (r.type == kBof) ++depth;
      else if (r.type == kEof) --depth;
      else if (depth == 1) readSheetRecord(r, sheet);
    }
    finish(sheet);
    return true;
  }

  void readSheetRecord(const Record& r, Sheet& sheet) {
    RecordReader in(r);
    if (r.type == kString) {
      if (pendingFormula_) sheet.cells[*pendingFormula_].string = keep({checkedText(in.string16()), {}});
      pendingFormula_.reset();
      return;
    }
    switch (r.type) {
      case kRow: return readRow(in, sheet);
      case kColInfo: return readColumns(in, sheet);
      case kMulRk: case kMulBlank: return readMultiple(r, in, sheet);
      case kLabelSst: case kLabel: case kRString: case kRk: case kNumber: case kBoolErr: case kBlank: case kFormula: break;
      default: return;
    }
    pendingFormula_.reset();
    const uint16_t row = in.u16(), column = in.u16(), xf = in.u16();
    Cell& cell = addCell(sheet, row, column, xf);
    switch (r.type) {
      case kLabelSst: {
        const uint32_t index = in.u32();
        if (index >= sharedCount_) fail("A cell refers to a shared string that does not exist");
        cell.kind = CellKind::String, cell.string = index;
        break;
      }
      case kLabel: cell.kind = CellKind::String, cell.string = keep({checkedText(in.string16()), {}}); break;
      case kRString: {
        RichText t{checkedText(in.string16()), {}};
        const uint16_t runs = in.u16();
        for (uint16_t i = 0; i < runs; ++i) {
          const uint16_t first = in.u16();
          t.runs.emplace_back(first, in.u16());
        }
        cell.kind = CellKind::String, cell.string = keep(richString(std::move(t)));
        break;
      }
      case kRk: cell.setNumber(rkValue(in.u32())); break;
      case kNumber: cell.setNumber(in.f64()); break;
      case kBoolErr: {
        const uint8_t value = in.u8();
        if (in.u8() == 0) {
          cell.kind = CellKind::Boolean, cell.number = value != 0;
        } else {
          cell.kind = CellKind::Error, cell.number = errorOfCode(value).value_or(kErrValue);
        }
        break;
      }
      case kFormula: readFormulaResult(in, sheet, cell); break;
      default: break;  // BLANK: the format alone
    }
  }

  // A formula's last result: a number, or a marker of another kind in the top two bytes.
  void readFormulaResult(RecordReader& in, Sheet& sheet, Cell& cell) {
    const uint32_t low = in.u32(), high = in.u32();
    if ((high >> 16) != 0xFFFF) {
      const uint64_t bits = (static_cast<uint64_t>(high) << 32) | low;
      double number;
      std::memcpy(&number, &bits, sizeof number);
      cell.setNumber(number);
      return;
    }
    const uint8_t kind = low & 0xFF, value = (low >> 16) & 0xFF;
    switch (kind) {
      case 0:  // text, in the STRING record that follows
      case 3:  // the empty text
        cell.kind = CellKind::String;
        cell.string = emptyText();
        if (kind == 0) pendingFormula_ = sheet.cells.size() - 1;
        break;
      case 1: cell.kind = CellKind::Boolean, cell.number = value != 0; break;
      case 2: cell.kind = CellKind::Error, cell.number = errorOfCode(value).value_or(kErrValue); break;
      default: break;
    }
  }

  uint32_t emptyText() {
    if (!emptyText_) emptyText_ = keep({});
    return *emptyText_;
  }

  void readMultiple(const Record& r, RecordReader& in, Sheet& sheet) {
    pendingFormula_.reset();
    const bool numbers = r.type == kMulRk;
    const size_t itemSize = numbers ? 6 : 2;
    const size_t size = recordSize(r);
    if (size < 6) damaged("a record is shorter than its contents");
    const uint16_t row = in.u16(), first = in.u16();
    const size_t count = (size - 6) / itemSize;
    for (size_t i = 0; i < count; ++i) {
      Cell& cell = addCell(sheet, row, first + i, in.u16());
      if (numbers) cell.setNumber(rkValue(in.u32()));
    }
  }

  Cell& addCell(Sheet& sheet, uint32_t row, size_t column, uint16_t xf) {
    if (++cells_ > limits_.maxCells) fail("The workbook has more than " + std::to_string(limits_.maxCells) + " cells");
    if (column >= kMaxColumns) damaged("a cell lies outside the sheet");
    Cell cell;
    cell.row = row + 1;
    cell.column = static_cast<uint32_t>(column + 1);
    cell.style = xf;
    sheet.cells.push_back(cell);
    return sheet.cells.back();
  }

  void readRow(RecordReader& in, Sheet& sheet) {
    const uint16_t row = in.u16();
    in.skip(10);  // columns, height, reserved
    const uint16_t flags = in.u16();
    const uint16_t xf = in.u16() & 0x0FFF;
    // A row's own format counts only when the row says it has one, as Excel reads it.
    if (flags & kRowHasFormat) sheet.rowFormats.emplace_back(row + 1u, xf);
  }

  void readColumns(RecordReader& in, Sheet& sheet) {
    const uint32_t first = in.u16() + 1u, last = in.u16() + 1u;
    in.skip(2);  // width
    const uint16_t xf = in.u16();
    if (first <= last && first <= kMaxColumns && sheet.columnFormats.size() < kMaxColumns)
      sheet.columnFormats.push_back({first, std::min(last, kMaxColumns), xf});
  }

  // Records come by row in practice, but nothing forces it: the model wants them sorted and
  // unique, and of two records for one cell the later one is what the file shows.
  static void finish(Sheet& sheet) {
    auto byPosition = [](const Cell& a, const Cell& b) { return a.row != b.row ? a.row < b.row : a.column < b.column; };
    std::stable_sort(sheet.cells.begin(), sheet.cells.end(), byPosition);
    auto samePosition = [](const Cell& a, const Cell& b) { return a.row == b.row && a.column == b.column; };
    std::vector<Cell> unique;
    unique.reserve(sheet.cells.size());
    for (const Cell& c : sheet.cells) {
      if (!unique.empty() && samePosition(unique.back(), c)) unique.back() = c;
      else unique.push_back(c);
    }
    sheet.cells = std::move(unique);
    std::stable_sort(sheet.rowFormats.begin(), sheet.rowFormats.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    sheet.rowFormats.erase(std::unique(sheet.rowFormats.begin(), sheet.rowFormats.end(),
                                       [](const auto& a, const auto& b) { return a.first == b.first; }),
                           sheet.rowFormats.end());
    std::stable_sort(sheet.columnFormats.begin(), sheet.columnFormats.end(),
                     [](const ColumnFormat& a, const ColumnFormat& b) { return a.first < b.first; });
  }

  std::string_view stream_;
  const WorkbookLimits& limits_;
  std::unique_ptr<Workbook> book_;
  std::optional<XlsStyles> styles_;
  std::vector<SheetEntry> entries_;
  size_t activeTab_ = 0;
  bool sawWindow_ = false, sawSst_ = false;
  size_t sharedCount_ = 0, cells_ = 0, totalText_ = 0, runs_ = 0, sheetRecords_ = 0;
  std::optional<size_t> pendingFormula_;
  std::optional<uint32_t> emptyText_;
};

}  // namespace

std::unique_ptr<Workbook> loadXlsWorkbook(std::string bytes, const WorkbookLimits& limits) {
  if (bytes.size() > limits.maxFileSize) fail("The workbook file is too large to be read");
  CompoundFile file(std::move(bytes));
  if (!file.hasStream(u"Workbook")) {
    if (file.hasStream(u"Book")) tooOld();
    // An .xlsx saved with a password to open is an encrypted package in this container.
    if (file.hasStream(u"EncryptedPackage"))
      fail("The workbook is protected by a password and cannot be read: open it in Excel, remove the password and save it again");
    fail("The file is not a workbook: it is a legacy binary file of another kind");
  }
  const std::string stream = file.readStream(u"Workbook");
  return XlsLoader(stream, limits).load();
}

}  // namespace ooxml::sheet
