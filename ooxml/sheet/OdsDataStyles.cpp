#include "ooxml/sheet/OdsDataStyles.h"

#include <charconv>

#include "ooxml/sheet/SheetXml.h"

namespace ooxml::sheet::ods {
namespace {

constexpr size_t kMaxCode = 255;  // Excel's longest format code

int intOf(std::string_view text, int fallback) {
  int v = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && v >= 0 && v <= 30 ? v : fallback;
}

// A literal in a format code: quoted, with a quote itself escaped.
void appendLiteral(WideString& code, std::u16string_view text, bool percentSigns) {
  bool open = false;
  for (char16_t c : text) {
    const bool raw = c == u'"' || (percentSigns && c == u'%');
    if (raw && open) code += u'"', open = false;
    if (c == u'"') code += u"\\\"";
    else if (raw) code += c;
    else {
      if (!open) code += u'"', open = true;
      code += c;
    }
  }
  if (open) code += u'"';
}

// One section of a code, from the children of one data style; false when one of them has no
// equivalent in our formats.
class SectionWriter {
 public:
  SectionWriter(const Names& names, std::string_view kind) : n_(names), kind_(kind) {}

  bool write(xml::Node style, WideString& code) {
    bool elapsed = n_.attr(style, Ns::Number, "truncate-on-overflow") == "false";
    for (xml::Node e = style.firstElement(); e; e = e.nextElement()) {
      if (n_.is(e, Ns::Style, "map") || n_.is(e, Ns::Style, "text-properties")) continue;  // sections; colours
      std::string_view local = n_.localIn(e, Ns::Number);
      if (local.empty() && n_.localIn(e, Ns::Loext) == "fill-character") continue;
      if (!element(e, local, elapsed, code)) return false;
      if (code.size() > kMaxCode) return false;
    }
    return true;
  }

 private:
  bool element(xml::Node e, std::string_view local, bool& elapsed, WideString& code) {
    auto isLong = [&] { return n_.attr(e, Ns::Number, "style") == "long"; };
    if (local == "text") {
      appendLiteral(code, utf8(textOf(e)), kind_ == "percentage-style");
    } else if (local == "number") {
      return number(e, code);
    } else if (local == "scientific-number") {
      code += WideString(std::max(1, intOf(n_.attr(e, Ns::Number, "min-integer-digits"), 1)), u'0');
      decimals(e, code);
      code += u"E+" + WideString(std::max(1, intOf(n_.attr(e, Ns::Number, "min-exponent-digits"), 2)), u'0');
    } else if (local == "fraction") {
      if (n_.has(e, Ns::Number, "min-integer-digits")) {
        int digits = intOf(n_.attr(e, Ns::Number, "min-integer-digits"), 0);
        code += digits == 0 ? WideString(u"#") : WideString(digits, u'0');
        code += u' ';
      }
      code += WideString(std::max(1, intOf(n_.attr(e, Ns::Number, "min-numerator-digits"), 1)), u'?') + u'/';
      int fixed = intOf(n_.attr(e, Ns::Number, "denominator-value"), 0);
      code += fixed > 0 ? utf8(std::to_string(fixed))
                        : WideString(std::max(1, intOf(n_.attr(e, Ns::Number, "min-denominator-digits"), 1)), u'?');
    } else if (local == "currency-symbol") {
      WideString symbol = utf8(textOf(e));
      if (!symbol.empty()) {
        code += u"[$";
        for (char16_t c : symbol) code += c == u']' || c == u'-' ? u'_' : c;
        code += u']';
      }
    } else if (local == "text-content") {
      code += u'@';
    } else if (local == "boolean") {
      code += u"\"TRUE\";\"TRUE\";\"FALSE\"";
    } else if (local == "day") {
      code += isLong() ? u"dd" : u"d";
    } else if (local == "month") {
      const bool textual = n_.attr(e, Ns::Number, "textual") == "true";
      code += textual ? (isLong() ? u"mmmm" : u"mmm") : (isLong() ? u"mm" : u"m");
    } else if (local == "year") {
      code += isLong() ? u"yyyy" : u"yy";
    } else if (local == "day-of-week") {
      code += isLong() ? u"dddd" : u"ddd";
    } else if (local == "hours") {
      WideString h = isLong() ? u"hh" : u"h";
      code += elapsed ? u"[" + h + u"]" : h;
      elapsed = false;
    } else if (local == "minutes") {
      code += isLong() ? u"mm" : u"m";
    } else if (local == "seconds") {
      code += isLong() ? u"ss" : u"s";
      int places = intOf(n_.attr(e, Ns::Number, "decimal-places"), 0);
      if (places > 0) code += u'.' + WideString(places, u'0');
    } else if (local == "am-pm") {
      code += u"AM/PM";
    } else {
      return false;  // era, quarter, week of year, embedded texts and the like
    }
    return true;
  }

  void decimals(xml::Node e, WideString& code) {
    const int places = intOf(n_.attr(e, Ns::Number, "decimal-places"), 0);
    std::string_view min = n_.attr(e, Ns::Number, "min-decimal-places");
    if (min.empty()) min = n_.attr(e, Ns::Loext, "min-decimal-places");
    const int fixed = std::min(places, intOf(min, places));
    if (places > 0) code += u'.' + WideString(fixed, u'0') + WideString(places - fixed, u'#');
  }

  bool number(xml::Node e, WideString& code) {
    if (!n_.attr(e, Ns::Number, "decimal-replacement").empty() || n_.child(e, Ns::Number, "embedded-text")) return false;
    if (!n_.has(e, Ns::Number, "decimal-places") && !n_.has(e, Ns::Number, "min-decimal-places")) {
      code += u"General";
      return true;
    }
    const int digits = intOf(n_.attr(e, Ns::Number, "min-integer-digits"), 0);
    WideString integer(digits, u'0');
    if (n_.attr(e, Ns::Number, "grouping") == "true") {
      if (integer.size() < 4) integer.insert(0, 4 - integer.size(), u'#');
      integer.insert(integer.size() - 3, 1, u',');
    } else if (integer.empty()) {
      integer = u"#";
    }
    code += integer;
    decimals(e, code);
    std::string_view factor = n_.attr(e, Ns::Number, "display-factor");
    if (factor == "1000") code += u',';
    else if (factor == "1000000") code += u",,";
    else if (!factor.empty() && factor != "1") return false;
    return true;
  }

  const Names& n_;
  std::string_view kind_;
};

bool isDataStyle(std::string_view local) {
  return local == "number-style" || local == "currency-style" || local == "percentage-style" || local == "date-style" ||
         local == "time-style" || local == "boolean-style" || local == "text-style";
}

}  // namespace

void DataStyles::add(xml::Node style, const Names& names) {
  if (!isDataStyle(names.localIn(style, Ns::Number))) return;
  std::string name(names.attr(style, Ns::Style, "name"));
  if (!name.empty()) styles_.emplace(std::move(name), Entry{style, &names});  // the first of a name wins
}

std::optional<WideString> DataStyles::codeOf(std::string_view name) {
  std::string key(name);
  if (auto it = codes_.find(key); it != codes_.end()) return it->second;
  auto style = styles_.find(key);
  std::optional<WideString> code = style == styles_.end() ? WideString(u"General") : convert(style->second);
  if (code && code->empty()) code = u"General";
  codes_.emplace(std::move(key), code);
  return code;
}

// Sections come from style:map: "value()>=0" picks the positive section and leaves this one
// for negatives, "value()>0" and "value()<0" make three sections with this one for zero.
// Other conditions have no section of ours that shows the same.
std::optional<WideString> DataStyles::convert(const Entry& e) {
  const Names& n = *e.names;
  const std::string_view kind = n.localIn(e.node, Ns::Number);
  auto section = [&](xml::Node style, WideString& out) {
    return SectionWriter(n, n.localIn(style, Ns::Number).empty() ? kind : n.localIn(style, Ns::Number)).write(style, out);
  };
  xml::Node positive, negative;
  bool zeroWithPositive = false;
  for (xml::Node m = n.child(e.node, Ns::Style, "map"); m; m = m.nextElement()) {
    if (!n.is(m, Ns::Style, "map")) continue;
    auto mapped = styles_.find(std::string(n.attr(m, Ns::Style, "apply-style-name")));
    if (mapped == styles_.end() || mapped->second.names != e.names) return std::nullopt;
    std::string_view condition = n.attr(m, Ns::Style, "condition");
    if ((condition == "value()>=0" || condition == "value()>0") && !positive) {
      positive = mapped->second.node;
      zeroWithPositive = condition == "value()>=0";
    } else if (condition == "value()<0" && !negative) {
      negative = mapped->second.node;
    } else {
      return std::nullopt;
    }
  }
  WideString own;
  if (!section(e.node, own)) return std::nullopt;
  if (!positive && !negative) return own;
  // Two sections when zero goes with the positives, three when this style is zero's alone.
  if (!positive || zeroWithPositive == static_cast<bool>(negative)) return std::nullopt;
  WideString code;
  if (!section(positive, code)) return std::nullopt;
  code += u';';
  if (negative) {
    if (!section(negative, code)) return std::nullopt;
    code += u';';
  }
  return code.size() + own.size() > kMaxCode ? std::nullopt : std::optional<WideString>(code + own);
}

}  // namespace ooxml::sheet::ods
