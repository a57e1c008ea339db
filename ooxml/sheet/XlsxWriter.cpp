#include "ooxml/sheet/XlsxWriter.h"

#include <cstdio>
#include <unordered_map>

#include "ooxml/package/PackageError.h"
#include "ooxml/package/Xml.h"
#include "ooxml/package/Zip.h"
#include "ooxml/sheet/SheetXml.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace ooxml::sheet {
namespace {

constexpr const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kRelBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string esc(std::string_view text, bool attribute = true) {
  std::string out;
  xml::appendEscaped(out, text, attribute);
  return out;
}
std::string escW(const WideString& text, bool attribute = true) { return esc(toXmlText(text), attribute); }

std::string num(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  // The shortest text that reads back as the same double keeps files tidy.
  for (int p = 1; p <= 17; ++p) {
    char t[40];
    std::snprintf(t, sizeof t, "%.*g", p, v);
    if (std::strtod(t, nullptr) == v) return t;
  }
  return buf;
}

std::string colorXml(const char* element, const ColorRef& c) {
  std::string tint = c.tint != 0 ? " tint=\"" + num(c.tint) + "\"" : "";
  char hex[16];
  switch (c.kind) {
    case ColorRef::Kind::Auto: return std::string("<") + element + " auto=\"1\"/>";
    case ColorRef::Kind::Rgb:
      std::snprintf(hex, sizeof hex, "%08X", c.value);
      return std::string("<") + element + " rgb=\"" + hex + "\"" + tint + "/>";
    case ColorRef::Kind::Indexed: return std::string("<") + element + " indexed=\"" + std::to_string(c.value) + "\"/>";
    case ColorRef::Kind::Theme:
      return std::string("<") + element + " theme=\"" + std::to_string(c.value) + "\"" + tint + "/>";
  }
  return "";
}

const char* underlineName(int32_t u) {
  switch (u) {
    case kUnderlineSingle: return "single";
    case kUnderlineDouble: return "double";
    case kUnderlineSingleAccounting: return "singleAccounting";
    case kUnderlineDoubleAccounting: return "doubleAccounting";
    default: return nullptr;
  }
}

// A font in the schema's element order: a style's font, or a run's properties (rFont first).
std::string fontXml(const Font& f, bool run) {
  std::string s = run ? "<rPr>" : "<font>";
  if (run) s += "<rFont val=\"" + escW(f.name) + "\"/>";
  if (f.bold) s += "<b/>";
  if (f.italic) s += "<i/>";
  if (f.strike) s += "<strike/>";
  if (!run) {
    if (const char* u = underlineName(f.underline)) s += std::string("<u val=\"") + u + "\"/>";
    s += "<sz val=\"" + num(f.size) + "\"/>";
    if (f.color.kind != ColorRef::Kind::Auto) s += colorXml("color", f.color);
    s += "<name val=\"" + escW(f.name) + "\"/>";
    return s + "</font>";
  }
  if (f.color.kind != ColorRef::Kind::Auto) s += colorXml("color", f.color);
  s += "<sz val=\"" + num(f.size) + "\"/>";
  if (const char* u = underlineName(f.underline)) s += std::string("<u val=\"") + u + "\"/>";
  return s + "</rPr>";
}

std::string textElement(const WideString& text) {
  bool keepSpace = !text.empty() && (text.front() == ' ' || text.back() == ' ' || text.find(u'\n') != WideString::npos ||
                                     text.front() == '\t' || text.back() == '\t');
  return std::string(keepSpace ? "<t xml:space=\"preserve\">" : "<t>") + escW(text, false) + "</t>";
}

std::string stringItem(const RichString& s) {
  if (s.runs.empty()) return "<si>" + textElement(s.text) + "</si>";
  std::string out = "<si>";
  for (const TextRun& r : s.runs) {
    out += "<r>";
    if (r.font) out += fontXml(*r.font, true);
    out += textElement(r.text) + "</r>";
  }
  return out + "</si>";
}

std::string stylesXml(const Styles& st) {
  std::string s = kHeader;
  s += std::string("<styleSheet xmlns=\"") + kMainNs + "\">";
  if (!st.numberFormats.empty()) {
    s += "<numFmts count=\"" + std::to_string(st.numberFormats.size()) + "\">";
    for (auto& [id, code] : st.numberFormats)
      s += "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" + escW(code) + "\"/>";
    s += "</numFmts>";
  }
  s += "<fonts count=\"" + std::to_string(st.fonts.size()) + "\">";
  for (const Font& f : st.fonts) s += fontXml(f, false);
  s += "</fonts><fills count=\"" + std::to_string(st.fills.size()) + "\">";
  for (const Fill& f : st.fills) {
    s += "<fill><patternFill patternType=\"" + escW(f.pattern.empty() ? u"none" : f.pattern) + "\"";
    std::string inner;
    if (f.foreground.kind != ColorRef::Kind::Auto) inner += colorXml("fgColor", f.foreground);
    if (f.background.kind != ColorRef::Kind::Auto) inner += colorXml("bgColor", f.background);
    s += inner.empty() ? "/></fill>" : ">" + inner + "</patternFill></fill>";
  }
  s += "</fills><borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>";
  s += "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>";
  s += "<cellXfs count=\"" + std::to_string(st.cellFormats.size()) + "\">";
  for (const CellFormat& x : st.cellFormats) {
    s += "<xf numFmtId=\"" + std::to_string(x.numFmtId) + "\" fontId=\"" + std::to_string(x.fontId) + "\" fillId=\"" +
         std::to_string(x.fillId) + "\" borderId=\"0\" xfId=\"0\"";
    if (x.numFmtId) s += " applyNumberFormat=\"1\"";
    if (x.fontId) s += " applyFont=\"1\"";
    if (x.fillId) s += " applyFill=\"1\"";
    s += "/>";
  }
  s += "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>";
  if (!st.colors.indexedOverride.empty()) {
    s += "<colors><indexedColors>";
    char hex[16];
    for (uint32_t c : st.colors.indexedOverride) {
      std::snprintf(hex, sizeof hex, "FF%06X", c & 0xFFFFFF);
      s += std::string("<rgbColor rgb=\"") + hex + "\"/>";
    }
    s += "</indexedColors></colors>";
  }
  return s + "</styleSheet>";
}

std::string sheetXml(const Workbook& book, size_t index, std::unordered_map<uint32_t, uint32_t>& sst,
                     std::string& sstItems, uint32_t& sstRefs) {
  const Sheet& sheet = book.sheets[index];
  std::string s = kHeader;
  s += std::string("<worksheet xmlns=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs + "\">";
  s += "<sheetViews><sheetView workbookViewId=\"0\"";
  if (index == book.activeSheet) s += " tabSelected=\"1\"";
  std::string active = columnName(sheet.activeColumn) + std::to_string(sheet.activeRow);
  s += "><selection activeCell=\"" + active + "\" sqref=\"" + active + "\"/></sheetView></sheetViews>";
  s += "<sheetFormatPr defaultRowHeight=\"15\"/>";
  if (!sheet.columnFormats.empty()) {
    s += "<cols>";
    for (const ColumnFormat& f : sheet.columnFormats)
      s += "<col min=\"" + std::to_string(f.first) + "\" max=\"" + std::to_string(f.last) + "\" style=\"" +
           std::to_string(f.style) + "\"/>";
    s += "</cols>";
  }
  s += "<sheetData>";
  // Formatted rows are written in order among the rows of cells, with or without cells.
  auto rowFormat = sheet.rowFormats.begin();
  auto openRow = [&](uint32_t r) {
    for (; rowFormat != sheet.rowFormats.end() && rowFormat->first < r; ++rowFormat)
      s += "<row r=\"" + std::to_string(rowFormat->first) + "\" s=\"" + std::to_string(rowFormat->second) +
           "\" customFormat=\"1\"/>";
    s += "<row r=\"" + std::to_string(r) + "\"";
    if (rowFormat != sheet.rowFormats.end() && rowFormat->first == r)
      s += " s=\"" + std::to_string((rowFormat++)->second) + "\" customFormat=\"1\"";
    s += ">";
  };
  uint32_t row = 0;
  for (const Cell& c : sheet.cells) {
    // A blank record says something only when its format differs from its row's or column's.
    if (c.kind == CellKind::Blank && !c.formula && c.style == sheet.emptyCellStyle(c.row, c.column)) continue;
    if (c.row != row) {
      if (row) s += "</row>";
      row = c.row;
      openRow(row);
    }
    s += "<c r=\"" + columnName(c.column) + std::to_string(c.row) + "\"";
    if (c.style) s += " s=\"" + std::to_string(c.style) + "\"";
    std::string value;
    switch (c.kind) {
      case CellKind::Blank: break;
      case CellKind::Number: value = "<v>" + num(c.number) + "</v>"; break;
      case CellKind::Boolean: s += " t=\"b\""; value = c.number != 0 ? "<v>1</v>" : "<v>0</v>"; break;
      case CellKind::Error:
        s += " t=\"e\"";
        value = "<v>" + escW(errorText(static_cast<int32_t>(c.number)), false) + "</v>";
        break;
      case CellKind::String: {
        if (c.formula) {  // a formula's text result is stored with the cell, as Excel does
          s += " t=\"str\"";
          value = "<v>" + escW(book.strings.at(c.string).text, false) + "</v>";
          break;
        }
        auto [it, added] = sst.try_emplace(c.string, static_cast<uint32_t>(sst.size()));
        if (added) sstItems += stringItem(book.strings.at(c.string));
        ++sstRefs;
        s += " t=\"s\"";
        value = "<v>" + std::to_string(it->second) + "</v>";
        break;
      }
    }
    s += ">";
    if (c.formula) s += "<f>" + escW(book.strings.at(c.formula - 1).text, false) + "</f>";
    s += value + "</c>";
  }
  if (row) s += "</row>";
  for (; rowFormat != sheet.rowFormats.end(); ++rowFormat)
    s += "<row r=\"" + std::to_string(rowFormat->first) + "\" s=\"" + std::to_string(rowFormat->second) +
         "\" customFormat=\"1\"/>";
  return s + "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/></worksheet>";
}

}  // namespace

std::string workbookBytes(const Workbook& book) {
  ZipWriter zip;
  std::string types = kHeader;
  types += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
           "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
           "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>";
  if (!book.themeXml.empty())
    types += "<Override PartName=\"/xl/theme/theme1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.theme+xml\"/>";
  for (size_t i = 0; i < book.sheets.size(); ++i)
    types += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(i + 1) +
             ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
  types += "</Types>";

  std::string rootRels = std::string(kHeader) +
                         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                         "<Relationship Id=\"rId1\" Type=\"" + kRelBase + "officeDocument\" Target=\"xl/workbook.xml\"/>"
                         "</Relationships>";

  std::string wb = kHeader;
  wb += std::string("<workbook xmlns=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs + "\">";
  if (book.date1904) wb += "<workbookPr date1904=\"1\"/>";
  wb += "<bookViews><workbookView activeTab=\"" + std::to_string(book.activeSheet) + "\"/></bookViews><sheets>";
  std::string rels = std::string(kHeader) + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  std::unordered_map<uint32_t, uint32_t> sst;
  std::string sstItems;
  uint32_t sstRefs = 0;
  std::vector<std::string> sheets;
  for (size_t i = 0; i < book.sheets.size(); ++i) {
    std::string n = std::to_string(i + 1);
    wb += "<sheet name=\"" + escW(book.sheets[i].name) + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
    rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + kRelBase + "worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
    sheets.push_back(sheetXml(book, i, sst, sstItems, sstRefs));
  }
  wb += "</sheets></workbook>";
  size_t next = book.sheets.size() + 1;
  rels += "<Relationship Id=\"rId" + std::to_string(next++) + "\" Type=\"" + kRelBase + "styles\" Target=\"styles.xml\"/>";
  rels += "<Relationship Id=\"rId" + std::to_string(next++) + "\" Type=\"" + kRelBase + "sharedStrings\" Target=\"sharedStrings.xml\"/>";
  if (!book.themeXml.empty())
    rels += "<Relationship Id=\"rId" + std::to_string(next++) + "\" Type=\"" + kRelBase + "theme\" Target=\"theme/theme1.xml\"/>";
  rels += "</Relationships>";
  std::string strings = std::string(kHeader) + "<sst xmlns=\"" + kMainNs + "\" count=\"" + std::to_string(sstRefs) +
                        "\" uniqueCount=\"" + std::to_string(sst.size()) + "\">" + sstItems + "</sst>";

  zip.add("[Content_Types].xml", types);
  zip.add("_rels/.rels", rootRels);
  zip.add("xl/workbook.xml", wb);
  zip.add("xl/_rels/workbook.xml.rels", rels);
  for (size_t i = 0; i < sheets.size(); ++i) zip.add("xl/worksheets/sheet" + std::to_string(i + 1) + ".xml", sheets[i]);
  zip.add("xl/styles.xml", stylesXml(book.styles));
  zip.add("xl/sharedStrings.xml", strings);
  if (!book.themeXml.empty()) zip.add("xl/theme/theme1.xml", book.themeXml);
  return zip.finish();
}

void saveWorkbook(const Workbook& book, const AnsiString& path) {
  std::string bytes = workbookBytes(book);
  if (!platform::writeFileAtomically(path, bytes)) throw PackageError("The workbook cannot be saved as '" + platform::ansiToUtf8(path) + "'");
}

}  // namespace ooxml::sheet
