#include "ooxml/sheet/CellAccess.h"

#include <cmath>
#include <cstdio>

#include "automation/Dispatch.h"
#include "ooxml/sheet/NumberFormat.h"

namespace ooxml::sheet {
namespace {

using automation::AutomationError;
using automation::Variant;
using automation::VarType;

bool equalsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (platform::toLower(a[i]) != platform::toLower(b[i])) return false;
  return true;
}

// A constant as the formula bar shows it: up to fifteen significant digits.
WideString typedNumber(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  std::string s = buf;
  size_t e = s.find('E');
  std::string mant = e == std::string::npos ? s : s.substr(0, e);
  std::string exp = e == std::string::npos ? "" : s.substr(e);
  if (mant.find('.') != std::string::npos) {
    while (mant.back() == '0') mant.pop_back();
    if (mant.back() == '.') mant.pop_back();
  }
  if (!exp.empty()) {
    std::string num = exp.substr(2);
    while (num.size() > 2 && num[0] == '0') num.erase(0, 1);
    exp = exp.substr(0, 2) + num;
  }
  return platform::utf8ToWide(mant + exp);
}

bool parseTypedNumber(const WideString& text, double& out) {
  if (equalsNoCase(text, u"true") || equalsNoCase(text, u"false")) return false;
  try {
    out = Variant(text).toDouble();
    return std::isfinite(out);  // Excel keeps "1e999" typed in as text
  } catch (const AutomationError&) {
    return false;
  }
}

int32_t underlineFrom(const Variant& v) {
  if (v.type() == VarType::Bool) return v.toBool() ? kUnderlineSingle : kUnderlineNone;
  int32_t u = v.toInt();
  switch (u) {
    case kUnderlineNone: case kUnderlineSingle: case kUnderlineDouble:
    case kUnderlineSingleAccounting: case kUnderlineDoubleAccounting: return u;
    default: throw AutomationError("Unable to set the Underline property of the Font class");
  }
}

}  // namespace

CellAccess::CellAccess(Workbook& book, Sheet& sheet, uint32_t row, uint32_t column)
    : book_(book), sheet_(sheet), row_(row), column_(column) {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
    throw AutomationError("Application-defined or object-defined error: the cell is outside the sheet",
                          static_cast<int32_t>(0x800A03EC));
}

uint32_t CellAccess::style() const {
  const Cell* c = cell();
  return c ? c->style : sheet_.emptyCellStyle(row_, column_);
}

Variant CellAccess::value() const {
  const Cell* c = cell();
  if (!c) return Variant();
  switch (c->kind) {
    case CellKind::Blank: return Variant();
    case CellKind::Boolean: return Variant(c->number != 0);
    case CellKind::Error: return Variant::error(errorScode(static_cast<int32_t>(c->number)));
    case CellKind::String: return Variant(book_.strings.at(c->string).text);
    case CellKind::Number: {
      FormatKind kind = classifyFormat(book_.styles.formatCode(c->style));
      if (kind == FormatKind::Date && c->number >= 0 && c->number < 2958466)
        return Variant::date(serialToOleDate(c->number, book_.date1904));
      if (kind == FormatKind::Currency && std::fabs(c->number) < 9.2e14)
        return Variant::currency(std::llround(c->number * 10000));
      return Variant(c->number);
    }
  }
  return Variant();
}

WideString CellAccess::text() const {
  const Cell* c = cell();
  if (!c) return u"";
  WideString code = book_.styles.formatCode(c->style);
  switch (c->kind) {
    case CellKind::Blank: return u"";
    case CellKind::Boolean: return c->number != 0 ? u"TRUE" : u"FALSE";
    case CellKind::Error: return errorText(static_cast<int32_t>(c->number));
    case CellKind::String: return formatText(book_.strings.at(c->string).text, code);
    case CellKind::Number: return formatNumber(c->number, code, book_.date1904);
  }
  return u"";
}

WideString CellAccess::formulaR1C1() const {
  const Cell* c = cell();
  if (!c) return u"";
  if (c->formula) return u"=" + book_.strings.at(c->formula - 1).text;
  switch (c->kind) {
    case CellKind::Blank: return u"";
    case CellKind::Boolean: return c->number != 0 ? u"TRUE" : u"FALSE";
    case CellKind::Error: return errorText(static_cast<int32_t>(c->number));
    case CellKind::String: return book_.strings.at(c->string).text;
    case CellKind::Number: return typedNumber(c->number);
  }
  return u"";
}

void CellAccess::assign(const Variant& v) {
  Cell& c = sheet_.at(row_, column_);
  c.formula = 0;
  switch (v.type()) {
    case VarType::Empty:
      c.kind = CellKind::Blank;
      return;
    case VarType::Bool:
      c.kind = CellKind::Boolean;
      c.number = v.toBool() ? 1 : 0;
      return;
    case VarType::Error:
      c.kind = CellKind::Error;
      c.number = static_cast<double>(v.rawInteger() & 0xFFFF);
      return;
    case VarType::Date:
      c.setNumber(oleDateToSerial(v.rawReal(), book_.date1904));
      if (c.kind == CellKind::Number && classifyFormat(book_.styles.formatCode(c.style)) != FormatKind::Date) {
        CellFormat f = book_.styles.format(c.style);
        f.numFmtId = c.number == std::floor(c.number) ? 14 : 22;
        c.style = book_.styles.formatIndex(f);
      }
      return;
    case VarType::String: {
      const WideString& t = v.rawText();
      double d;
      if (t.empty()) {
        c.kind = CellKind::Blank;
      } else if (t[0] == u'\'') {
        c.kind = CellKind::String;
        c.string = book_.addString({t.substr(1), {}});
      } else if (t[0] == u'=') {
        throw AutomationError("Formulas cannot be entered: this workbook engine does not calculate",
                              static_cast<int32_t>(0x800A03EC));
      } else if (equalsNoCase(t, u"true") || equalsNoCase(t, u"false")) {
        c.kind = CellKind::Boolean;
        c.number = equalsNoCase(t, u"true") ? 1 : 0;
      } else if (parseTypedNumber(t, d)) {
        c.kind = CellKind::Number;
        c.number = d;
      } else {
        c.kind = CellKind::String;
        c.string = book_.addString({t, {}});
      }
      return;
    }
    case VarType::Null:
    case VarType::Dispatch:
      throw AutomationError("Type mismatch: the value cannot be put into a cell", static_cast<int32_t>(0x80020005));
    default:
      c.setNumber(v.toDouble());
      return;
  }
}

Variant CellAccess::font(FontProperty p) const {
  const Font& base = book_.styles.font(style());
  auto valueOf = [&](const Font& f) -> Variant {
    switch (p) {
      case FontProperty::Bold: return Variant(f.bold);
      case FontProperty::Italic: return Variant(f.italic);
      case FontProperty::Strikethrough: return Variant(f.strike);
      case FontProperty::Color: return Variant(static_cast<double>(toBgr(resolveRgb(f.color, book_.styles.colors, 0))));
      case FontProperty::Size: return Variant(f.size);
      case FontProperty::Name: return Variant(f.name);
      case FontProperty::Underline: return Variant(f.underline);
    }
    return Variant();
  };
  const Cell* c = cell();
  std::optional<Variant> first;
  if (c && c->kind == CellKind::String) {
    for (const TextRun& run : book_.strings.at(c->string).runs) {
      if (run.text.empty()) continue;
      Variant v = valueOf(run.font ? *run.font : base);
      if (!first) first = v;
      else if (!(v == *first)) return Variant::null();
    }
  }
  return first ? *first : valueOf(base);
}

void CellAccess::setFont(FontProperty p, const Variant& v) {
  auto change = [&](Font& f) {
    switch (p) {
      case FontProperty::Bold: f.bold = v.toBool(); break;
      case FontProperty::Italic: f.italic = v.toBool(); break;
      case FontProperty::Strikethrough: f.strike = v.toBool(); break;
      case FontProperty::Color: f.color = ColorRef::rgb(0xFF000000u | fromBgr(v.toInt())); break;
      case FontProperty::Size: {
        double s = v.toDouble();
        if (!(s >= 1 && s <= 409)) throw AutomationError("Unable to set the Size property of the Font class");
        f.size = s;
        break;
      }
      case FontProperty::Name: f.name = v.toString(); break;
      case FontProperty::Underline: f.underline = underlineFrom(v); break;
    }
  };
  Cell& c = sheet_.at(row_, column_);
  Font font = book_.styles.font(c.style);
  change(font);
  CellFormat f = book_.styles.format(c.style);
  f.fontId = book_.styles.fontIndex(font);
  c.style = book_.styles.formatIndex(f);
  if (c.kind == CellKind::String && !book_.strings.at(c.string).runs.empty()) {
    RichString copy = book_.strings[c.string];  // shared strings may serve other cells
    for (TextRun& run : copy.runs)
      if (run.font) change(*run.font);
    c.string = book_.addString(std::move(copy));
  }
}

Variant CellAccess::interiorColor() const {
  const Fill& fill = book_.styles.fill(style());
  if (fill.pattern == u"none" || fill.pattern.empty()) return Variant(16777215.0);
  uint32_t rgb = fill.pattern == u"solid" ? resolveRgb(fill.foreground, book_.styles.colors, 0x000000)
                                          : resolveRgb(fill.background, book_.styles.colors, 0xFFFFFF);
  return Variant(static_cast<double>(toBgr(rgb)));
}

void CellAccess::setInteriorColor(const Variant& v) {
  Cell& c = sheet_.at(row_, column_);
  Fill fill{u"solid", ColorRef::rgb(0xFF000000u | fromBgr(v.toInt())), ColorRef::indexed(64)};
  CellFormat f = book_.styles.format(c.style);
  f.fillId = book_.styles.fillIndex(fill);
  c.style = book_.styles.formatIndex(f);
}

}  // namespace ooxml::sheet
