#include "ooxml/sheet/OdsTables.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "ooxml/package/PackageError.h"
#include "ooxml/sheet/SheetXml.h"

namespace ooxml::sheet::ods {
namespace {

constexpr int kMaxNesting = 16;  // row and column groups inside groups

[[noreturn]] void fail(const std::string& message) { throw PackageError(message); }

uint32_t repeatOf(std::string_view v, uint32_t max) {
  uint64_t n = 0;
  auto r = std::from_chars(v.data(), v.data() + v.size(), n);
  if (r.ec == std::errc::result_out_of_range) return max;
  if (r.ec != std::errc() || n == 0) return 1;
  return static_cast<uint32_t>(std::min<uint64_t>(n, max));
}

bool parseDouble(std::string_view text, double& out) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto r = std::from_chars(text.data(), text.data() + text.size(), out);
  if (r.ec == std::errc::result_out_of_range && r.ptr == text.data() + text.size()) {
    // Too large for a double is #NUM! in Excel; too small is zero.
    const bool tiny = text.find("e-") != std::string_view::npos || text.find("E-") != std::string_view::npos;
    out = tiny ? 0.0 : text.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    return true;
  }
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && !text.empty();
}

// "PT18H45M00S", "-PT1H", "P1DT2H" as a fraction of a day.
bool durationOf(std::string_view v, double& days) {
  const bool negative = !v.empty() && v.front() == '-';
  if (negative) v.remove_prefix(1);
  if (v.empty() || v.front() != 'P') return false;
  v.remove_prefix(1);
  double total = 0;
  bool time = false, any = false;
  while (!v.empty()) {
    if (v.front() == 'T') {
      time = true;
      v.remove_prefix(1);
      continue;
    }
    double n = 0;
    auto r = std::from_chars(v.data(), v.data() + v.size(), n);
    if (r.ec != std::errc() || r.ptr == v.data() + v.size() || !(n >= 0)) return false;
    const char unit = *r.ptr;
    v.remove_prefix(static_cast<size_t>(r.ptr - v.data()) + 1);
    if (unit == 'D' && !time) total += n;
    else if (unit == 'H' && time) total += n / 24;
    else if (unit == 'M' && time) total += n / 1440;
    else if (unit == 'S' && time) total += n / 86400;
    else return false;
    any = true;
  }
  days = negative ? -total : total;
  return any && std::isfinite(days);
}

}  // namespace

struct TableReader::Group {
  uint32_t first = 0, last = 0;  // columns
  bool ownStyle = false;
  uint32_t format = 0;           // the cell's own style
  bool hasContent = false;
  CellKind kind = CellKind::Blank;
  double number = 0;
  uint32_t string = 0;
  WideString shown;              // a number's text as the file shows it
};

TableReader::TableReader(Workbook& book, CellStyles& styles, const WorkbookLimits& limits)
    : book_(book), styles_(styles), limits_(limits), blanksLeft_(std::min<size_t>(limits.maxCells / 4, 1u << 18)) {}

void TableReader::read(xml::Node table, const Names& n) {
  Sheet sheet(utf8(n.attr(table, Ns::Table, "name")));
  if (sheet.name.empty()) sheet.name = u"Sheet" + utf8(std::to_string(book_.sheets.size() + 1));
  columns_.clear();
  nextColumn_ = nextRow_ = 1;
  readColumns(table, n, 0);
  readRows(table, n, sheet, 0);
  book_.sheets.push_back(std::move(sheet));
}

void TableReader::readColumns(xml::Node parent, const Names& n, int depth) {
  for (xml::Node c = parent.firstElement(); c && nextColumn_ <= kMaxColumns; c = c.nextElement()) {
    const std::string_view local = n.localIn(c, Ns::Table);
    if (local == "table-column") {
      const uint32_t count = repeatOf(n.attr(c, Ns::Table, "number-columns-repeated"), kMaxColumns - nextColumn_ + 1);
      const uint32_t format = styles_.formatOf(n.attr(c, Ns::Table, "default-cell-style-name"));
      if (format != 0) columns_.push_back({nextColumn_, nextColumn_ + count - 1, format});
      nextColumn_ += count;
    } else if ((local == "table-columns" || local == "table-column-group" || local == "table-header-columns") &&
               depth < kMaxNesting) {
      readColumns(c, n, depth + 1);
    }
  }
}

uint32_t TableReader::columnFormat(uint32_t column) const {
  auto it = std::upper_bound(columns_.begin(), columns_.end(), column, [](uint32_t c, const ColumnRun& r) { return c < r.first; });
  return it != columns_.begin() && column <= std::prev(it)->last ? std::prev(it)->format : 0;
}

bool TableReader::anyColumnFormatted(uint32_t first, uint32_t last) const {
  auto it = std::upper_bound(columns_.begin(), columns_.end(), first, [](uint32_t c, const ColumnRun& r) { return c < r.first; });
  return (it != columns_.begin() && std::prev(it)->last >= first) || (it != columns_.end() && it->first <= last);
}

void TableReader::readRows(xml::Node parent, const Names& n, Sheet& sheet, int depth) {
  for (xml::Node r = parent.firstElement(); r && nextRow_ <= kMaxRows; r = r.nextElement()) {
    const std::string_view local = n.localIn(r, Ns::Table);
    if (local == "table-row") readRow(r, n, sheet);
    else if ((local == "table-rows" || local == "table-row-group" || local == "table-header-rows") && depth < kMaxNesting)
      readRows(r, n, sheet, depth + 1);
  }
}

void TableReader::readRow(xml::Node row, const Names& n, Sheet& sheet) {
  const uint32_t repeat = repeatOf(n.attr(row, Ns::Table, "number-rows-repeated"), kMaxRows - nextRow_ + 1);
  const uint32_t first = nextRow_;
  nextRow_ += repeat;
  // The groups that make cells: those with a value, and empty ones with a format to show.
  std::vector<Group> groups;
  uint32_t column = 1;
  for (xml::Node c = row.firstElement(); c && column <= kMaxColumns; c = c.nextElement()) {
    if (!n.is(c, Ns::Table, "table-cell") && !n.is(c, Ns::Table, "covered-table-cell")) continue;
    const uint32_t count = repeatOf(n.attr(c, Ns::Table, "number-columns-repeated"), kMaxColumns - column + 1);
    Group g = groupOf(c, n, column, count);
    column += count;
    if (g.hasContent || (g.ownStyle && g.format != 0)) groups.push_back(std::move(g));
    else if (!g.ownStyle && anyColumnFormatted(g.first, g.last)) groups.push_back(std::move(g));
  }
  for (uint32_t r = first; r < first + repeat && !groups.empty(); ++r) {
    bool blanksCut = false;
    for (const Group& g : groups) blanksCut = !emit(g, r, sheet) || blanksCut;
    // Once the budget for formatted empty cells is spent, the repeats keep only their values.
    if (blanksCut) groups.erase(std::remove_if(groups.begin(), groups.end(), [](const Group& g) { return !g.hasContent; }), groups.end());
  }
}

TableReader::Group TableReader::groupOf(xml::Node cell, const Names& n, uint32_t first, uint32_t count) {
  Group g;
  g.first = first;
  g.last = first + count - 1;
  g.ownStyle = n.has(cell, Ns::Table, "style-name");
  g.format = g.ownStyle ? styles_.formatOf(n.attr(cell, Ns::Table, "style-name")) : columnFormat(first);
  content(g, cell, n);
  if (!g.ownStyle) g.format = 0;  // each column gives its own
  return g;
}

void TableReader::content(Group& g, xml::Node cell, const Names& n) {
  bool paragraphs = false;
  RichString text = CellText(n, styles_, limits_.maxTextLength).read(cell, book_.styles.font(g.format), paragraphs);
  const std::string_view type = n.attr(cell, Ns::Office, "value-type");
  const bool formula = n.has(cell, Ns::Table, "formula");
  double d = 0;
  auto numberFrom = [&](std::string_view attribute, bool ok) {
    if (!ok) fail("A cell holds a value that cannot be read: " + std::string(attribute.substr(0, 40)));
    g.hasContent = true;
    Cell c;
    c.setNumber(d);
    g.kind = c.kind;
    g.number = c.number;
    g.shown = text.text;
  };
  if (n.attr(cell, Ns::Calcext, "value-type") == "error" || (type.empty() && formula && errorFromText(text.text))) {
    g.hasContent = true;
    g.kind = CellKind::Error;
    g.number = errorFromText(text.text).value_or(kErrValue);
  } else if (type == "float" || type == "percentage" || type == "currency") {
    std::string_view v = n.attr(cell, Ns::Office, "value");
    numberFrom(v, parseDouble(v, d));
  } else if (type == "date") {
    std::string_view v = n.attr(cell, Ns::Office, "date-value");
    numberFrom(v, isoDateToSerial(v, false, d));
  } else if (type == "time") {
    std::string_view v = n.attr(cell, Ns::Office, "time-value");
    numberFrom(v, durationOf(v, d));
  } else if (type == "boolean") {
    std::string_view v = n.attr(cell, Ns::Office, "boolean-value");
    g.hasContent = true;
    g.kind = CellKind::Boolean;
    g.number = v == "true" || v == "1" ? 1 : 0;
  } else if (type == "string" || (type.empty() && (formula || !text.text.empty()))) {
    // A formula's text result is its string-value; the paragraphs may show it otherwise.
    if (n.has(cell, Ns::Office, "string-value")) {
      WideString value = utf8(n.attr(cell, Ns::Office, "string-value"));
      if (value.size() > limits_.maxTextLength) value.resize(limits_.maxTextLength);
      if (value != text.text) text = RichString{std::move(value), {}};
    }
    g.hasContent = true;
    g.kind = CellKind::String;
    g.string = keep(std::move(text));
  }
}

uint32_t TableReader::keep(RichString s) {
  totalText_ += s.text.size();
  runs_ += s.runs.size();
  if (totalText_ > limits_.maxTotalText)
    fail("The workbook holds more text than can be read (over " + std::to_string(limits_.maxTotalText) + " characters)");
  if (runs_ > limits_.maxRuns)
    fail("The workbook holds more formatted pieces of text than can be read (over " + std::to_string(limits_.maxRuns) + ")");
  return book_.addString(std::move(s));
}

// False when the budget for formatted empty cells ran out on the way.
bool TableReader::emit(const Group& g, uint32_t row, Sheet& sheet) {
  if (g.hasContent || g.ownStyle) {
    for (uint32_t c = g.first; c <= g.last; ++c) {
      if (!g.hasContent && blanksLeft_ == 0) return false;
      emitCell(g, row, c, g.ownStyle ? g.format : columnFormat(c), sheet);
    }
    return true;
  }
  // An empty cell in the format of its column: only the formatted columns make cells.
  auto run = std::upper_bound(columns_.begin(), columns_.end(), g.first, [](uint32_t c, const ColumnRun& r) { return c < r.first; });
  if (run != columns_.begin() && std::prev(run)->last >= g.first) --run;
  for (; run != columns_.end() && run->first <= g.last; ++run)
    for (uint32_t c = std::max(run->first, g.first); c <= std::min(run->last, g.last); ++c) {
      if (blanksLeft_ == 0) return false;
      emitCell(g, row, c, run->format, sheet);
    }
  return true;
}

void TableReader::emitCell(const Group& g, uint32_t row, uint32_t column, uint32_t format, Sheet& sheet) {
  if (!g.hasContent) {
    if (format == 0) return;
    --blanksLeft_;
  }
  if (++cells_ > limits_.maxCells) fail("The workbook has more than " + std::to_string(limits_.maxCells) + " cells");
  Cell c;
  c.row = row;
  c.column = column;
  c.kind = g.kind;
  c.number = g.number;
  c.string = g.string;
  // A number in a format ours cannot show shows the text the file holds for it.
  const bool fileText = c.kind == CellKind::Number && !g.shown.empty() && styles_.showsFileText(format);
  c.style = fileText ? styles_.withShownText(format, g.shown) : format;
  sheet.cells.push_back(c);
}

}  // namespace ooxml::sheet::ods
