#include "ooxml/sheet/XlsxReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "ooxml/package/CompoundFile.h"
#include "ooxml/package/Package.h"
#include "ooxml/package/PackageError.h"
#include "ooxml/sheet/DelimitedTextReader.h"
#include "ooxml/sheet/OdsReader.h"
#include "ooxml/sheet/SheetXml.h"
#include "ooxml/sheet/XlsReader.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace ooxml::sheet {
namespace {

using xml::Node;

constexpr std::string_view kRelStyles = "/styles";
constexpr std::string_view kRelSharedStrings = "/sharedStrings";
constexpr std::string_view kRelTheme = "/theme";
constexpr std::string_view kRelWorksheet = "/worksheet";

[[noreturn]] void fail(const std::string& message) { throw PackageError(message); }

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool parseDouble(std::string_view text, double& out) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto r = std::from_chars(text.data(), text.data() + text.size(), out);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(out);
}

double number(std::string_view text, double fallback = 0) {
  double d;
  return parseDouble(text, d) ? d : fallback;
}

uint32_t unsignedOf(std::string_view text, uint32_t fallback = 0) {
  uint32_t v = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() ? v : fallback;
}

bool flag(Node n) {  // <b/>, <b val="1"/>, <b val="true"/>; absent element: false
  if (!n) return false;
  std::string_view v = attr(n, "val");
  return v.empty() || v == "1" || v == "true" || v == "on";
}

ColorRef colorOf(Node n) {
  if (!n) return {};
  double tint = number(attr(n, "tint"));
  if (n.hasAttribute("rgb")) {
    std::string_view v = attr(n, "rgb");
    uint32_t argb = 0;
    std::from_chars(v.data(), v.data() + v.size(), argb, 16);
    if (v.size() == 6) argb |= 0xFF000000u;
    return ColorRef::rgb(argb, tint);
  }
  if (n.hasAttribute("theme")) return ColorRef::theme(unsignedOf(attr(n, "theme")), tint);
  if (n.hasAttribute("indexed")) return ColorRef::indexed(unsignedOf(attr(n, "indexed"), 64));
  return {};
}

int32_t underlineOf(Node u) {
  if (!u) return kUnderlineNone;
  std::string_view v = attr(u, "val");
  if (v.empty() || v == "single") return kUnderlineSingle;
  if (v == "double") return kUnderlineDouble;
  if (v == "singleAccounting") return kUnderlineSingleAccounting;
  if (v == "doubleAccounting") return kUnderlineDoubleAccounting;
  return kUnderlineNone;
}

// A font element (styles) or a run's properties (rPr, whose face name is rFont).
Font fontOf(Node f, const Font& defaults) {
  Font font;
  font.bold = flag(childNamed(f, "b"));
  font.italic = flag(childNamed(f, "i"));
  font.strike = flag(childNamed(f, "strike"));
  font.underline = underlineOf(childNamed(f, "u"));
  Node sz = childNamed(f, "sz");
  font.size = sz ? number(attr(sz, "val"), defaults.size) : defaults.size;
  if (!(font.size > 0 && font.size <= 409)) font.size = defaults.size;
  font.color = colorOf(childNamed(f, "color"));
  Node name = childNamed(f, "name");
  if (!name) name = childNamed(f, "rFont");
  font.name = name ? utf8(attr(name, "val")) : defaults.name;
  return font;
}

// `runs` counts the runs kept so far in the workbook: each costs far more than its text, so an
// item of a million one-letter runs must be refused by number, not by length.
RichString richStringOf(Node item, const Styles& styles, const WorkbookLimits& limits, size_t& runs) {
  RichString s;
  bool anyRun = false;
  for (Node n = item.firstElement(); n; n = n.nextElement()) {
    std::string_view name = localName(n);
    if (name == "t") {
      s.text += utf8(textOf(n));
    } else if (name == "r") {
      anyRun = true;
      TextRun run;
      run.text = utf8(textOf(childNamed(n, "t")));
      if (run.text.empty()) continue;  // formats no character; millions of them would cost gigabytes
      if (Node pr = childNamed(n, "rPr")) run.font = fontOf(pr, styles.fonts.empty() ? Font{} : styles.fonts[0]);
      s.text += run.text;
      if (!s.runs.empty() && s.runs.back().font == run.font) {
        s.runs.back().text += run.text;  // the same font goes on: one run shows the same
      } else {
        if (++runs > limits.maxRuns)
          fail("The workbook holds more formatted pieces of text than can be read (over " + std::to_string(limits.maxRuns) + ")");
        s.runs.push_back(std::move(run));
      }
    }
    if (s.text.size() > limits.maxTextLength)
      fail("A text in the workbook is longer than " + std::to_string(limits.maxTextLength) + " characters");
  }
  if (anyRun) {
    // Text outside runs would be lost by the run list: keep it only when there is none.
    WideString joined;
    for (auto& r : s.runs) joined += r.text;
    if (joined != s.text) s.runs.insert(s.runs.begin(), TextRun{s.text.substr(0, s.text.size() - joined.size()), std::nullopt});
  }
  return s;
}

class Loader {
 public:
  Loader(Package& pkg, const WorkbookLimits& limits) : pkg_(pkg), limits_(limits) {}

  std::unique_ptr<Workbook> load() {
    std::string main = pkg_.mainPartName();
    if (main.empty() || !pkg_.hasPart(main)) fail("The file is not a workbook: it has no workbook part");
    std::string type = pkg_.contentType(main);
    if (type.find("spreadsheetml") == std::string::npos && type.find("ms-excel") == std::string::npos)
      fail("The file is not a workbook but a package of type " + type);
    book_ = std::make_unique<Workbook>();
    book_->sheets.clear();
    rels_ = pkg_.relationships(main);
    main_ = main;
    if (auto part = target(kRelTheme)) readTheme(*part);
    if (auto part = target(kRelStyles)) readStyles(*part);
    if (auto part = target(kRelSharedStrings)) readSharedStrings(*part);
    readWorkbook();
    if (book_->sheets.empty()) fail("The workbook has no worksheet");
    return std::move(book_);
  }

 private:
  std::optional<std::string> target(std::string_view typeTail) {
    for (auto& r : rels_)
      if (!r.external && endsWith(r.type, typeTail)) {
        std::string name = Package::resolveTarget(main_, r.target);
        if (pkg_.hasPart(name)) return name;
      }
    return std::nullopt;
  }

  std::string bytesOf(const std::string& part) {
    std::string bytes = pkg_.partBytes(part);
    if (bytes.size() > limits_.maxPartSize) fail("The part " + part + " is too large");
    return bytes;
  }

  void readTheme(const std::string& part) {
    book_->themeXml = bytesOf(part);
    auto doc = parseXml(book_->themeXml);
    Node scheme = findDescendant(doc->documentElement(), "clrScheme", 4);
    static const char* kSlots[] = {"dk1", "lt1", "dk2", "lt2", "accent1", "accent2", "accent3",
                                   "accent4", "accent5", "accent6", "hlink", "folHlink"};
    for (size_t i = 0; i < 12; ++i) {
      Node slot = childNamed(scheme, kSlots[i]);
      Node c = slot.firstElement();
      std::string_view hex = localName(c) == "sysClr" ? attr(c, "lastClr") : attr(c, "val");
      uint32_t rgb = 0;
      if (!hex.empty() && std::from_chars(hex.data(), hex.data() + hex.size(), rgb, 16).ec == std::errc())
        book_->styles.colors.themeScheme[i] = rgb & 0xFFFFFF;
    }
  }

  void readStyles(const std::string& part) {
    auto doc = parseXml(bytesOf(part));
    Node root = doc->documentElement();
    Styles& st = book_->styles;
    for (Node n = childNamed(childNamed(root, "numFmts"), "numFmt"); n; n = nextNamed(n, "numFmt"))
      st.numberFormats[unsignedOf(attr(n, "numFmtId"))] = utf8(attr(n, "formatCode"));
    Node fonts = childNamed(root, "fonts");
    if (childNamed(fonts, "font")) st.fonts.clear();
    for (Node n = childNamed(fonts, "font"); n; n = nextNamed(n, "font")) st.fonts.push_back(fontOf(n, Font{}));
    if (st.fonts.empty()) st.fonts.push_back(Font{});
    Node fills = childNamed(root, "fills");
    if (childNamed(fills, "fill")) st.fills.clear();
    for (Node n = childNamed(fills, "fill"); n; n = nextNamed(n, "fill")) {
      Node p = childNamed(n, "patternFill");
      Fill f;
      if (p) {
        f.pattern = utf8(attr(p, "patternType"));
        if (f.pattern.empty()) f.pattern = p.firstElement() ? u"solid" : u"none";
        f.foreground = colorOf(childNamed(p, "fgColor"));
        f.background = colorOf(childNamed(p, "bgColor"));
      } else if (Node g = childNamed(n, "gradientFill")) {
        // A gradient shows its first stop as the cell colour.
        f.pattern = u"solid";
        f.foreground = colorOf(childNamed(childNamed(g, "stop"), "color"));
      }
      st.fills.push_back(f);
    }
    Node xfs = childNamed(root, "cellXfs");
    if (childNamed(xfs, "xf")) st.cellFormats.clear();
    for (Node n = childNamed(xfs, "xf"); n; n = nextNamed(n, "xf"))
      st.cellFormats.push_back({unsignedOf(attr(n, "numFmtId")), unsignedOf(attr(n, "fontId")), unsignedOf(attr(n, "fillId"))});
    if (st.cellFormats.empty()) st.cellFormats.push_back({});
    for (Node n = childNamed(childNamed(childNamed(root, "colors"), "indexedColors"), "rgbColor"); n; n = nextNamed(n, "rgbColor"))
      st.colors.indexedOverride.push_back(colorOf(n).value & 0xFFFFFF);
  }

  uint32_t keep(RichString s) {
    totalText_ += s.text.size();
    if (totalText_ > limits_.maxTotalText)
      fail("The workbook holds more text than can be read (over " + std::to_string(limits_.maxTotalText) + " characters)");
    return book_->addString(std::move(s));
  }

  void readSharedStrings(const std::string& part) {
    // A cell refers to one shared text at most: more items than cells can never all be used,
    // and empty ones cost memory that no text limit would see.
    forEachItem(bytesOf(part), "si", [&](Node si) {
      if (book_->strings.size() >= limits_.maxCells)
        fail("The workbook has more than " + std::to_string(limits_.maxCells) + " shared texts");
      keep(richStringOf(si, book_->styles, limits_, runs_));
    });
    sharedCount_ = book_->strings.size();
  }

  void readWorkbook() {
    auto doc = parseXml(bytesOf(main_));
    Node root = doc->documentElement();
    std::string_view date1904 = attr(childNamed(root, "workbookPr"), "date1904");
    book_->date1904 = date1904 == "1" || date1904 == "true";
    size_t activeTab = unsignedOf(attr(childNamed(childNamed(root, "bookViews"), "workbookView"), "activeTab"));
    // By id once: a sheet list checked against every relationship grows with the square.
    std::unordered_multimap<std::string_view, const Relationship*> relsById;
    for (const Relationship& r : rels_) relsById.emplace(r.id, &r);
    for (Node s = childNamed(childNamed(root, "sheets"), "sheet"); s; s = nextNamed(s, "sheet")) {
      std::string_view id = attrByLocalName(s, "id");
      Sheet sheet(utf8(attr(s, "name")));
      for (auto [r, end] = relsById.equal_range(id); r != end; ++r)
        if (!r->second->external && endsWith(r->second->type, kRelWorksheet)) {
          std::string part = Package::resolveTarget(main_, r->second->target);
          if (pkg_.hasPart(part)) readSheet(part, sheet);
        }
      book_->sheets.push_back(std::move(sheet));
    }
    book_->activeSheet = activeTab < book_->sheets.size() ? activeTab : 0;
  }

  void readSheet(const std::string& part, Sheet& sheet) {
    const std::string bytes = bytesOf(part);
    // Column formats come before the cells; a sheet has no more columns than that to format.
    size_t sheetData = bytes.find("sheetData");
    std::string head;
    if (sheetData != std::string::npos) head = bytes.substr(0, sheetData);
    forEachItem(sheetData == std::string::npos ? bytes : head, "col", [&](Node c) {
      uint32_t first = unsignedOf(attr(c, "min")), last = unsignedOf(attr(c, "max"));
      if (c.hasAttribute("style") && first >= 1 && first <= last && first <= kMaxColumns &&
          sheet.columnFormats.size() < kMaxColumns)
        sheet.columnFormats.push_back({first, std::min(last, kMaxColumns), unsignedOf(attr(c, "style"))});
    });
    std::stable_sort(sheet.columnFormats.begin(), sheet.columnFormats.end(),
                     [](const ColumnFormat& a, const ColumnFormat& b) { return a.first < b.first; });
    uint32_t row = 0;
    forEachItem(bytes, "row", [&](Node r) {
      uint32_t rowNumber = r.hasAttribute("r") ? unsignedOf(attr(r, "r"), 0) : row + 1;
      if (rowNumber < 1 || rowNumber > kMaxRows || rowNumber <= row)
        fail("The worksheet " + platform::wideToUtf8(sheet.name) + " has a bad row number");
      row = rowNumber;
      // A row's own format counts only when the row says it has one, as Excel reads it.
      std::string_view custom = attr(r, "customFormat");
      if (custom == "1" || custom == "true") sheet.rowFormats.emplace_back(row, unsignedOf(attr(r, "s")));
      uint32_t column = 0;
      for (Node c = childNamed(r, "c"); c; c = nextNamed(c, "c")) {
        uint32_t at = c.hasAttribute("r") ? columnOfReference(attr(c, "r")) : column + 1;
        if (at < 1 || at > kMaxColumns || at <= column)
          fail("The worksheet " + platform::wideToUtf8(sheet.name) + " has a bad cell reference in row " + std::to_string(row));
        column = at;
        readCell(c, sheet, row, column);
      }
    });
  }

  void readCell(Node c, Sheet& sheet, uint32_t row, uint32_t column) {
    if (++cells_ > limits_.maxCells) fail("The workbook has more than " + std::to_string(limits_.maxCells) + " cells");
    Cell cell;
    cell.row = row;
    cell.column = column;
    cell.style = unsignedOf(attr(c, "s"));
    std::string_view t = attr(c, "t");
    Node v = childNamed(c, "v");
    const std::string text = textOf(v);
    // Writers that leave formulas to be calculated on opening write an empty <v/>: the cell
    // has no value yet, which is no reason to refuse the workbook.
    const bool hasValue = v && text.find_first_not_of(" \t\r\n") != std::string::npos;
    if (Node f = childNamed(c, "f")) {
      const std::string formula = textOf(f);
      if (!formula.empty()) cell.formula = keep({utf8(formula), {}}) + 1;
    }
    if (t == "s") {
      if (!hasValue) return sheet.cells.push_back(cell);
      uint32_t index = unsignedOf(text, UINT32_MAX);
      if (index >= sharedCount_) fail("A cell refers to a shared string that does not exist");
      cell.kind = CellKind::String;
      cell.string = index;
    } else if (t == "inlineStr") {
      cell.kind = CellKind::String;
      cell.string = keep(richStringOf(childNamed(c, "is"), book_->styles, limits_, runs_));
    } else if (t == "str") {
      cell.kind = CellKind::String;
      WideString s = utf8(text);
      if (s.size() > limits_.maxTextLength) fail("A text in the workbook is too long");
      cell.string = keep({std::move(s), {}});
    } else if (t == "b") {
      if (v) cell.kind = CellKind::Boolean, cell.number = number(text) != 0 ? 1 : 0;
    } else if (t == "e") {
      auto code = errorFromText(utf8(text));
      cell.kind = CellKind::Error;
      cell.number = code ? *code : kErrValue;
    } else if (t == "d") {
      double serial;
      if (v && isoDateToSerial(text, book_->date1904, serial)) cell.kind = CellKind::Number, cell.number = serial;
    } else if (hasValue) {
      double d;
      if (!parseDouble(text, d)) fail("A cell holds a number that cannot be read: " + std::string(text.substr(0, 40)));
      cell.kind = CellKind::Number;
      cell.number = d;
    }
    sheet.cells.push_back(cell);
  }

  Package& pkg_;
  const WorkbookLimits& limits_;
  std::unique_ptr<Workbook> book_;
  std::vector<Relationship> rels_;
  std::string main_;
  size_t sharedCount_ = 0;
  size_t cells_ = 0;
  size_t totalText_ = 0;
  size_t runs_ = 0;
};

}  // namespace

std::unique_ptr<Workbook> loadWorkbookBytes(std::string bytes, const WorkbookLimits& limits) {
  if (bytes.empty()) fail("The workbook file is empty");
  if (CompoundFile::hasSignature(bytes)) return loadXlsWorkbook(std::move(bytes), limits);
  if (looksLikeOpenDocument(bytes)) return loadOdsWorkbook(std::move(bytes), limits);
  if (bytes.size() < 4 || bytes.compare(0, 2, "PK") != 0) fail("The file is not a workbook");
  PackageLimits pl;
  pl.maxFileSize = limits.maxFileSize;
  pl.zip.maxEntrySize = limits.maxPartSize;
  auto pkg = Package::fromBytes(std::move(bytes), pl);
  return Loader(*pkg, limits).load();
}

std::unique_ptr<Workbook> loadWorkbook(const AnsiString& path, const WorkbookLimits& limits) {
  if (platform::fileSystem().attributes(path) < 0) fail("The workbook file '" + platform::ansiToUtf8(path) + "' does not exist");
  std::string bytes;
  try {
    bytes = platform::readFile(path, static_cast<size_t>(limits.maxFileSize));
  } catch (const std::exception& e) {
    fail("The workbook file '" + platform::ansiToUtf8(path) + "' cannot be read: " + e.what());
  }
  // Text files of values open as Excel opens them; by content, a package stays a package.
  const AnsiString name = platform::fileNameOf(path);
  const std::optional<char> separator = delimitedTextSeparator(name);
  if (separator && bytes.compare(0, 2, "PK") != 0 && bytes.compare(0, 4, "\xD0\xCF\x11\xE0") != 0)
    return loadDelimitedText(std::move(bytes), *separator, platform::ansiToWide(name.substr(0, name.rfind('.'))), limits);
  return loadWorkbookBytes(std::move(bytes), limits);
}

}  // namespace ooxml::sheet
