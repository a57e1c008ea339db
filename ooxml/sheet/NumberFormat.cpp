#include "ooxml/sheet/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace ooxml::sheet {
namespace {

using std::u16string;
using std::u16string_view;

u16string ascii(const char* s) {
  u16string r;
  while (*s) r.push_back(static_cast<char16_t>(static_cast<unsigned char>(*s++)));
  return r;
}

char16_t lower(char16_t c) { return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 32) : c; }

bool startsWithNoCase(u16string_view s, size_t at, const char* word) {
  for (size_t k = 0; word[k]; ++k)
    if (at + k >= s.size() || lower(s[at + k]) != word[k]) return false;
  return true;
}

struct Token {
  enum Type { Literal, Digit, Point, Comma, Percent, Exp, Slash, At, Date, AmPm, General } type;
  u16string text;     // Literal; Exp: "+" or "-"
  char16_t ch = 0;    // Digit: 0 # ?; Date: y m d h s; AmPm: 'A' or 'a'
  int count = 0;      // Date: letters; AmPm: 2 for AM/PM, 1 for A/P
  bool elapsed = false;
  Token(Type t, u16string x = {}, char16_t c = 0, int n = 0, bool e = false)
      : type(t), text(std::move(x)), ch(c), count(n), elapsed(e) {}
};

struct Condition {
  char op[3] = {0, 0, 0};
  double value = 0;
  bool holds(double v) const {
    std::string s(op);
    if (s == "<") return v < value;
    if (s == "<=") return v <= value;
    if (s == ">") return v > value;
    if (s == ">=") return v >= value;
    if (s == "<>") return v != value;
    return v == value;
  }
};

struct Section {
  std::vector<Token> tokens;
  std::optional<Condition> condition;
  bool isDate = false, hasAt = false, hasGeneral = false, hasCurrency = false, hasDigits = false;
};

bool isCurrencySymbol(char16_t c) { return c == u'$' || c == u'€' || c == u'£' || c == u'¥' || c == u'¤'; }

void addLiteral(Section& s, u16string text) {
  for (char16_t c : text)
    if (isCurrencySymbol(c)) s.hasCurrency = true;
  if (!s.tokens.empty() && s.tokens.back().type == Token::Literal) s.tokens.back().text += text;
  else s.tokens.push_back({Token::Literal, std::move(text)});
}

Section parseSection(u16string_view f) {
  Section s;
  for (size_t i = 0; i < f.size();) {
    char16_t c = f[i];
    char16_t lc = lower(c);
    if (c == '"') {
      size_t e = f.find(u'"', i + 1);
      if (e == u16string_view::npos) e = f.size();
      addLiteral(s, u16string(f.substr(i + 1, e - i - 1)));
      i = e + 1;
    } else if (c == '\\') {
      if (i + 1 < f.size()) addLiteral(s, u16string(1, f[i + 1]));
      i += 2;
    } else if (c == '_') {
      addLiteral(s, u" ");
      i += 2;
    } else if (c == '*') {
      i += 2;  // a fill character: column width is not modelled
    } else if (c == '[') {
      size_t e = f.find(u']', i + 1);
      if (e == u16string_view::npos) e = f.size();
      u16string_view in = f.substr(i + 1, e - i - 1);
      i = e + 1;
      if (!in.empty() && in[0] == '$') {
        size_t dash = in.find(u'-');
        addLiteral(s, u16string(in.substr(1, dash == u16string_view::npos ? u16string_view::npos : dash - 1)));
        s.hasCurrency = s.hasCurrency || (in.size() > 1 && in[1] != '-');
      } else if (!in.empty() && (lower(in[0]) == 'h' || lower(in[0]) == 'm' || lower(in[0]) == 's') &&
                 in.find_first_not_of(in[0]) == u16string_view::npos) {
        s.tokens.push_back({Token::Date, {}, lower(in[0]), static_cast<int>(in.size()), true});
        s.isDate = true;
      } else if (!in.empty() && (in[0] == '<' || in[0] == '>' || in[0] == '=')) {
        Condition cond;
        size_t k = 0;
        while (k < in.size() && k < 2 && (in[k] == '<' || in[k] == '>' || in[k] == '=')) {
          cond.op[k] = static_cast<char>(in[k]);
          ++k;
        }
        std::string num;
        for (; k < in.size(); ++k) num.push_back(in[k] < 128 ? static_cast<char>(in[k]) : '?');
        char* end = nullptr;
        cond.value = std::strtod(num.c_str(), &end);
        s.condition = cond;
      }  // colours and other bracketed codes change nothing in the text
    } else if (c == '0' || c == '#' || c == '?') {
      s.tokens.push_back({Token::Digit, {}, c});
      s.hasDigits = true;
      ++i;
    } else if (c == '.') {
      s.tokens.push_back({Token::Point});
      ++i;
    } else if (c == ',') {
      s.tokens.push_back({Token::Comma});
      ++i;
    } else if (c == '%') {
      s.tokens.push_back({Token::Percent});
      ++i;
    } else if (lc == 'e' && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-')) {
      s.tokens.push_back({Token::Exp, u16string(1, f[i + 1])});
      i += 2;
    } else if (c == '/') {
      s.tokens.push_back({Token::Slash});
      ++i;
    } else if (c == '@') {
      s.tokens.push_back({Token::At});
      s.hasAt = true;
      ++i;
    } else if (startsWithNoCase(f, i, "general")) {
      s.tokens.push_back({Token::General});
      s.hasGeneral = true;
      i += 7;
    } else if (startsWithNoCase(f, i, "am/pm")) {
      s.tokens.push_back({Token::AmPm, {}, c, 2});
      s.isDate = true;
      i += 5;
    } else if (startsWithNoCase(f, i, "a/p")) {
      s.tokens.push_back({Token::AmPm, {}, c, 1});
      s.isDate = true;
      i += 3;
    } else if (lc == 'y' || lc == 'm' || lc == 'd' || lc == 'h' || lc == 's') {
      size_t j = i;
      while (j < f.size() && lower(f[j]) == lc) ++j;
      s.tokens.push_back({Token::Date, {}, lc, static_cast<int>(j - i)});
      s.isDate = true;
      i = j;
    } else {
      addLiteral(s, u16string(1, c));
      ++i;
    }
  }
  return s;
}

std::vector<Section> parseFormat(u16string_view code) {
  std::vector<Section> out;
  size_t start = 0;
  bool quoted = false, bracket = false;
  for (size_t i = 0; i <= code.size(); ++i) {
    if (i < code.size()) {
      char16_t c = code[i];
      if (c == '"' && !bracket) quoted = !quoted;
      else if (!quoted && c == '[') bracket = true;
      else if (!quoted && c == ']') bracket = false;
      else if (!quoted && !bracket && c == '\\') { ++i; continue; }
      if (quoted || bracket || c != ';') continue;
    }
    out.push_back(parseSection(code.substr(start, std::min(i, code.size()) - start)));
    start = i + 1;
    if (out.size() == 4) break;
  }
  return out;
}

u16string digitsOf(long long v) { return ascii(std::to_string(v).c_str()); }

u16string pad2(long long v) {
  u16string d = digitsOf(v);
  return d.size() < 2 ? u"0" + d : d;
}

u16string group(const u16string& digits) {
  u16string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

// Fixed-point digits of a non-negative value: integer digits ("" for zero) and `decimals`
// digits. Rounds on the value's fifteen significant digits, halves away from zero, as Excel.
void fixedDigits(double v, int decimals, u16string& intPart, u16string& fracPart) {
  decimals = std::clamp(decimals, 0, 30);
  intPart.clear();
  fracPart.assign(static_cast<size_t>(decimals), u'0');
  if (!(v > 0) || !std::isfinite(v)) return;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", v);
  std::string s = buf;
  size_t e = s.find('e');
  std::string digits = s.substr(0, 1) + s.substr(2, e - 2);
  long pointPos = std::strtol(s.c_str() + e + 1, nullptr, 10) + 1;  // digits before the point
  long keep = pointPos + decimals;
  if (keep < 0) return;
  if (keep < static_cast<long>(digits.size())) {
    bool up = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    for (long k = keep - 1; up && k >= 0; --k) {
      if (digits[static_cast<size_t>(k)] == '9') digits[static_cast<size_t>(k)] = '0';
      else ++digits[static_cast<size_t>(k)], up = false;
    }
    if (up) digits.insert(0, "1"), ++pointPos, ++keep;
  }
  if (pointPos < 0) digits.insert(0, static_cast<size_t>(-pointPos), '0'), pointPos = 0;
  if (digits.size() < static_cast<size_t>(pointPos + decimals)) digits.resize(static_cast<size_t>(pointPos + decimals), '0');
  std::string ip = digits.substr(0, static_cast<size_t>(pointPos));
  size_t nz = ip.find_first_not_of('0');
  ip = nz == std::string::npos ? "" : ip.substr(nz);
  intPart = ascii(ip.c_str());
  fracPart = ascii(digits.substr(static_cast<size_t>(pointPos), static_cast<size_t>(decimals)).c_str());
}

// Integer placeholders filled from the right; surplus digits go before the leftmost one.
u16string layoutInteger(const std::vector<Token>& toks, const u16string& digits, bool thousands) {
  if (thousands) {
    size_t zeros = 0;
    bool seenZero = false;
    for (auto& t : toks)
      if (t.type == Token::Digit && (seenZero = seenZero || t.ch == '0')) ++zeros;
    u16string d = digits;
    if (d.size() < zeros) d.insert(0, zeros - d.size(), u'0');
    u16string before, after;
    bool seenDigit = false;
    for (auto& t : toks) {
      if (t.type == Token::Digit) seenDigit = true;
      else if (t.type == Token::Literal) (seenDigit ? after : before) += t.text;
    }
    // A lone literal after the last placeholder belongs after; those between placeholders drop.
    u16string tail;
    for (auto it = toks.rbegin(); it != toks.rend() && it->type != Token::Digit; ++it)
      if (it->type == Token::Literal) tail = it->text + tail;
    return before + group(d) + tail;
  }
  std::vector<u16string> parts(toks.size());
  size_t left = digits.size();
  size_t firstDigit = toks.size();
  for (size_t k = toks.size(); k-- > 0;) {
    const Token& t = toks[k];
    if (t.type == Token::Literal) parts[k] = t.text;
    if (t.type != Token::Digit) continue;
    firstDigit = k;
    if (left > 0) parts[k] = u16string(1, digits[--left]);
    else if (t.ch == '0') parts[k] = u"0";
    else if (t.ch == '?') parts[k] = u" ";
  }
  u16string out;
  for (size_t k = 0; k < toks.size(); ++k) {
    if (k == firstDigit) out += digits.substr(0, left);
    out += parts[k];
  }
  if (firstDigit == toks.size()) out += digits.substr(0, left);
  return out;
}

u16string layoutFraction(const std::vector<Token>& toks, const u16string& digits) {
  size_t significant = digits.find_last_not_of(u'0');
  significant = significant == u16string::npos ? 0 : significant + 1;
  u16string out;
  size_t i = 0;
  for (auto& t : toks) {
    if (t.type == Token::Literal) out += t.text;
    if (t.type != Token::Digit) continue;
    if (i < significant) out.push_back(digits[i]);
    else if (t.ch == '0') out.push_back('0');
    else if (t.ch == '?') out.push_back(' ');
    ++i;
  }
  return out;
}

u16string formatFraction(double v, const Section& s, size_t slash) {
  const auto& t = s.tokens;
  // Denominator: digit placeholders (a bound) or literal digits (a fixed value).
  int denDigits = 0;
  long long fixedDen = 0;
  size_t k = slash + 1;
  for (; k < t.size() && t[k].type == Token::Digit; ++k) ++denDigits;
  if (denDigits == 0 && k < t.size() && t[k].type == Token::Literal) {
    for (char16_t c : t[k].text) {
      if (c < '0' || c > '9') break;
      fixedDen = fixedDen * 10 + (c - '0');
      if (fixedDen > 100000) break;
    }
  }
  // Numerator placeholders run back from the slash; placeholders before them are the whole part.
  size_t numStart = slash;
  while (numStart > 0 && t[numStart - 1].type == Token::Digit) --numStart;
  bool hasWhole = false;
  for (size_t j = 0; j < numStart; ++j) hasWhole = hasWhole || t[j].type == Token::Digit;
  double whole = hasWhole ? std::floor(v) : 0;
  double frac = v - whole;
  long long num = 0, den = 1;
  if (fixedDen > 0) {
    den = fixedDen;
    num = std::llround(frac * static_cast<double>(den));
  } else {
    long long maxDen = 1;
    for (int j = 0; j < std::min(denDigits, 4); ++j) maxDen *= 10;
    maxDen = std::max(1LL, maxDen - 1);
    double best = 2;
    for (long long d = 1; d <= maxDen; ++d) {
      long long n = std::llround(frac * static_cast<double>(d));
      double err = std::fabs(frac - static_cast<double>(n) / static_cast<double>(d));
      if (err < best - 1e-12) best = err, num = n, den = d;
    }
  }
  if (hasWhole && num == den) whole += 1, num = 0;
  u16string out;
  u16string wholeDigits = whole >= 1 ? digitsOf(static_cast<long long>(whole)) : u"";
  std::vector<Token> wholeToks(t.begin(), t.begin() + static_cast<long>(numStart));
  if (hasWhole) {
    if (wholeDigits.empty() && num == 0) wholeDigits = u"0";
    out += layoutInteger(wholeToks, wholeDigits, false);
  }
  size_t width = (slash - numStart) + 1 + static_cast<size_t>(denDigits ? denDigits : digitsOf(fixedDen).size());
  if (hasWhole && num == 0) {
    out += u16string(width, u' ');
  } else {
    u16string n = digitsOf(num), d = digitsOf(den);
    size_t numWidth = slash - numStart;
    if (n.size() < numWidth) n.insert(0, numWidth - n.size(), u' ');
    if (denDigits && d.size() < static_cast<size_t>(denDigits)) d.append(static_cast<size_t>(denDigits) - d.size(), u' ');
    out += n + u"/" + d;
  }
  if (fixedDen > 0 && k < t.size()) {  // what follows the fixed denominator's digits
    size_t nd = t[k].text.find_first_not_of(u"0123456789");
    if (nd != u16string::npos) out += t[k].text.substr(nd);
    ++k;
  }
  for (size_t j = k; j < t.size(); ++j)
    if (t[j].type == Token::Literal) out += t[j].text;
  return out;
}

u16string formatNumberSection(double v, const Section& s) {
  const auto& t = s.tokens;
  for (size_t k = 0; k < t.size(); ++k)
    if (t[k].type == Token::Slash && k > 0 && t[k - 1].type == Token::Digit) return formatFraction(v, s, k);

  std::vector<Token> intToks, fracToks, expToks, tail;
  int stage = 0;  // 0 integer, 1 decimals, 2 exponent
  bool thousands = false;
  int scale = 0, percents = 0;
  u16string expSign;
  size_t lastDigit = 0;
  for (size_t k = 0; k < t.size(); ++k)
    if (t[k].type == Token::Digit) lastDigit = k;
  for (size_t k = 0; k < t.size(); ++k) {
    const Token& tok = t[k];
    switch (tok.type) {
      case Token::Point:
        if (stage == 0) stage = 1;
        else (stage == 1 ? fracToks : expToks).push_back({Token::Literal, u"."});
        break;
      case Token::Exp:
        stage = 2;
        expSign = tok.text;
        break;
      case Token::Comma: {
        bool digitBefore = false, digitAfter = false;
        for (size_t j = 0; j < k; ++j) digitBefore = digitBefore || t[j].type == Token::Digit;
        for (size_t j = k + 1; j < t.size() && t[j].type != Token::Point && t[j].type != Token::Exp; ++j)
          digitAfter = digitAfter || t[j].type == Token::Digit;
        if (digitBefore && digitAfter && stage == 0) thousands = true;
        else if (digitBefore && k > lastDigit) ++scale;
        else (stage == 0 ? intToks : stage == 1 ? fracToks : expToks).push_back({Token::Literal, u","});
        break;
      }
      case Token::Percent:
        ++percents;
        (stage == 0 ? intToks : stage == 1 ? fracToks : expToks).push_back({Token::Literal, u"%"});
        break;
      case Token::Digit:
      case Token::Literal:
        (stage == 0 ? intToks : stage == 1 ? fracToks : expToks).push_back(tok);
        break;
      case Token::Slash:
        (stage == 0 ? intToks : stage == 1 ? fracToks : expToks).push_back({Token::Literal, u"/"});
        break;
      default: break;
    }
  }
  for (int j = 0; j < percents; ++j) v *= 100;
  for (int j = 0; j < scale; ++j) v /= 1000;
  int decimals = 0;
  for (auto& tok : fracToks) decimals += tok.type == Token::Digit;

  if (stage == 2) {
    int intDigits = 0;
    bool hash = false;
    for (auto& tok : intToks)
      if (tok.type == Token::Digit) ++intDigits, hash = hash || tok.ch == '#';
    intDigits = std::max(intDigits, 1);
    int e = 0;
    if (v != 0 && std::isfinite(v)) {
      e = static_cast<int>(std::floor(std::log10(v)));
      if (hash && intDigits > 1) e = static_cast<int>(std::floor(static_cast<double>(e) / intDigits)) * intDigits;
      else e -= intDigits - 1;
    }
    double mant = v / std::pow(10.0, e);
    u16string ip, fp;
    fixedDigits(mant, decimals, ip, fp);
    if (!hash || intDigits == 1) {
      // Rounding may carry into a new digit (9.99 -> 10.0): renormalise once.
      if (ip.size() > static_cast<size_t>(intDigits) && v != 0) {
        e += 1;
        fixedDigits(v / std::pow(10.0, e), decimals, ip, fp);
      }
    }
    u16string out = layoutInteger(intToks, ip, false);
    if (!fracToks.empty() || decimals) out += u"." + layoutFraction(fracToks, fp);
    out += u"E";
    if (e < 0) out += u"-";
    else if (expSign == u"+") out += u"+";
    int expPlaces = 0;
    std::vector<Token> expDigits;
    for (auto& tok : expToks)
      if (tok.type == Token::Digit) ++expPlaces, expDigits.push_back(tok);
    u16string ed = digitsOf(std::abs(e));
    if (ed == u"0") ed.clear();
    out += layoutInteger(expDigits, ed, false);
    for (auto& tok : expToks)
      if (tok.type == Token::Literal) out += tok.text;
    return out;
  }

  u16string ip, fp;
  fixedDigits(v, decimals, ip, fp);
  u16string out = layoutInteger(intToks, ip, thousands);
  if (stage >= 1) out += u"." + layoutFraction(fracToks, fp);
  return out;
}

struct CivilDate {
  long long year, month, day, weekday;  // weekday 0 = Sunday
};

CivilDate civilFromSerial(long long serial, bool date1904) {
  if (!date1904 && serial == 60) return {1900, 2, 29, 3};
  if (!date1904 && serial == 0) return {1900, 1, 0, 6};
  long long days = date1904 ? serial + 1462 : (serial < 60 ? serial + 1 : serial);  // days from 1899-12-30
  long long weekday = ((days + 6) % 7 + 7) % 7;  // 1899-12-30 was a Saturday
  if (!date1904 && serial < 60) weekday = ((serial + 6) % 7 + 7) % 7;  // as the phantom leap day counts
  long long z = days - 25569 + 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  long long d = doy - (153 * mp + 2) / 5 + 1;
  long long m = mp < 10 ? mp + 3 : mp - 9;
  return {yoe + era * 400 + (m <= 2), m, d, weekday};
}

const char* kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                         "August", "September", "October", "November", "December"};
const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

u16string formatDateSection(double v, const Section& s, bool date1904) {
  const auto& t = s.tokens;
  bool twelveHour = false;
  int subDigits = 0;
  for (size_t k = 0; k < t.size(); ++k) {
    if (t[k].type == Token::AmPm) twelveHour = true;
    if (t[k].type == Token::Point && k > 0 && t[k - 1].type == Token::Date && t[k - 1].ch == 's')
      for (size_t j = k + 1; j < t.size() && t[j].type == Token::Digit; ++j) ++subDigits;
  }
  subDigits = std::min(subDigits, 3);
  long long unit = 86400;
  for (int j = 0; j < subDigits; ++j) unit *= 10;
  long long total = std::llround(v * static_cast<double>(unit));
  long long serial = total / unit;
  long long inDay = total % unit;
  long long sub = inDay % (unit / 86400);
  long long secs = inDay / (unit / 86400);
  long long hour = secs / 3600, minute = secs / 60 % 60, second = secs % 60;
  CivilDate date = civilFromSerial(serial, date1904);

  // An "m" is minutes right after hours or right before seconds.
  auto isMinute = [&](size_t k) {
    for (size_t j = k; j-- > 0;)
      if (t[j].type == Token::Date) return t[j].ch == 'h';
    for (size_t j = k + 1; j < t.size(); ++j)
      if (t[j].type == Token::Date) return t[j].ch == 's';
    return false;
  };

  u16string out;
  for (size_t k = 0; k < t.size(); ++k) {
    const Token& tok = t[k];
    switch (tok.type) {
      case Token::Literal: out += tok.text; break;
      case Token::Date:
        if (tok.elapsed) {
          long long n = tok.ch == 'h' ? serial * 24 + hour : tok.ch == 'm' ? (serial * 24 + hour) * 60 + minute
                                                                          : ((serial * 24 + hour) * 60 + minute) * 60 + second;
          u16string d = digitsOf(n);
          if (d.size() < static_cast<size_t>(tok.count)) d.insert(0, static_cast<size_t>(tok.count) - d.size(), u'0');
          out += d;
        } else if (tok.ch == 'y') {
          out += tok.count <= 2 ? pad2(date.year % 100) : digitsOf(date.year);
        } else if (tok.ch == 'm' && tok.count <= 2 && isMinute(k)) {
          out += tok.count == 1 ? digitsOf(minute) : pad2(minute);
        } else if (tok.ch == 'm') {
          const char* name = kMonths[(date.month - 1) % 12];
          if (tok.count == 1) out += digitsOf(date.month);
          else if (tok.count == 2) out += pad2(date.month);
          else if (tok.count == 3) out += ascii(name).substr(0, 3);
          else if (tok.count == 5) out += ascii(name).substr(0, 1);
          else out += ascii(name);
        } else if (tok.ch == 'd') {
          if (tok.count == 1) out += digitsOf(date.day);
          else if (tok.count == 2) out += pad2(date.day);
          else if (tok.count == 3) out += ascii(kDays[date.weekday]).substr(0, 3);
          else out += ascii(kDays[date.weekday]);
        } else if (tok.ch == 'h') {
          long long h = twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
          out += tok.count == 1 ? digitsOf(h) : pad2(h);
        } else if (tok.ch == 's') {
          out += tok.count == 1 ? digitsOf(second) : pad2(second);
        }
        break;
      case Token::AmPm: {
        bool pm = hour >= 12;
        u16string text = tok.count == 2 ? (pm ? u"PM" : u"AM") : (pm ? u"P" : u"A");
        if (tok.ch >= 'a' && tok.ch <= 'z')
          for (auto& c : text) c = lower(c);
        out += text;
        break;
      }
      case Token::Point:
        if (subDigits && k > 0 && t[k - 1].type == Token::Date && t[k - 1].ch == 's') {
          u16string d = digitsOf(sub);
          if (d.size() < static_cast<size_t>(subDigits)) d.insert(0, static_cast<size_t>(subDigits) - d.size(), u'0');
          out += u"." + d;
          while (k + 1 < t.size() && t[k + 1].type == Token::Digit) ++k;
        } else {
          out += u".";
        }
        break;
      case Token::Digit: out.push_back(tok.ch); break;
      case Token::Comma: out += u","; break;
      case Token::Slash: out += u"/"; break;
      case Token::Percent: out += u"%"; break;
      default: break;
    }
  }
  return out;
}

u16string formatWithSection(double v, const Section& s, bool negativeSign, bool date1904) {
  if (s.tokens.empty()) return u"";
  if (s.isDate) {
    if (negativeSign || v >= 2958466) return formatGeneral(negativeSign ? -v : v);  // outside the calendar
    return formatDateSection(v, s, date1904);
  }
  u16string body;
  if (s.hasGeneral) {
    for (auto& tok : s.tokens) body += tok.type == Token::General ? formatGeneral(v) : tok.type == Token::Literal ? tok.text : u"";
  } else if (!s.hasDigits) {
    bool onlyText = true;
    for (auto& tok : s.tokens) onlyText = onlyText && (tok.type == Token::Literal || tok.type == Token::At);
    if (s.hasAt) return formatGeneral(negativeSign ? -v : v);  // a text format shows numbers as General
    for (auto& tok : s.tokens)
      if (tok.type == Token::Literal) body += tok.text;
    if (onlyText) return body;
    return formatNumberSection(v, s);
  } else {
    body = formatNumberSection(v, s);
  }
  if (negativeSign) {
    bool visible = false;  // no minus sign before a value that rounds to zero
    for (char16_t c : body) visible = visible || (c >= '1' && c <= '9');
    if (visible) body = u"-" + body;
  }
  return body;
}

}  // namespace

WideString builtinFormatCode(uint32_t id) {
  switch (id) {
    case 0: return u"General";
    case 1: return u"0";
    case 2: return u"0.00";
    case 3: return u"#,##0";
    case 4: return u"#,##0.00";
    case 5: return u"$#,##0_);($#,##0)";
    case 6: return u"$#,##0_);[Red]($#,##0)";
    case 7: return u"$#,##0.00_);($#,##0.00)";
    case 8: return u"$#,##0.00_);[Red]($#,##0.00)";
    case 9: return u"0%";
    case 10: return u"0.00%";
    case 11: return u"0.00E+00";
    case 12: return u"# ?/?";
    case 13: return u"# ?\?/??";
    case 14: return u"mm-dd-yy";
    case 15: return u"d-mmm-yy";
    case 16: return u"d-mmm";
    case 17: return u"mmm-yy";
    case 18: return u"h:mm AM/PM";
    case 19: return u"h:mm:ss AM/PM";
    case 20: return u"h:mm";
    case 21: return u"h:mm:ss";
    case 22: return u"m/d/yy h:mm";
    case 37: return u"#,##0 ;(#,##0)";
    case 38: return u"#,##0 ;[Red](#,##0)";
    case 39: return u"#,##0.00;(#,##0.00)";
    case 40: return u"#,##0.00;[Red](#,##0.00)";
    case 41: return u"_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)";
    case 42: return u"_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)";
    case 43: return u"_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)";
    case 44: return u"_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)";
    case 45: return u"mm:ss";
    case 46: return u"[h]:mm:ss";
    case 47: return u"mmss.0";
    case 48: return u"##0.0E+0";
    case 49: return u"@";
    default: return u"";
  }
}

FormatKind classifyFormat(std::u16string_view code) {
  auto sections = parseFormat(code);
  if (sections.empty() || sections[0].tokens.empty()) return FormatKind::General;
  const Section& s = sections[0];
  if (s.isDate) return FormatKind::Date;
  if (s.hasCurrency) return FormatKind::Currency;
  if (s.hasGeneral) return FormatKind::General;
  if (s.hasAt && !s.hasDigits) return FormatKind::Text;
  return FormatKind::Number;
}

WideString formatNumber(double value, std::u16string_view code, bool date1904) {
  if (!std::isfinite(value)) return u"#NUM!";
  auto sections = parseFormat(code);
  if (sections.empty()) return formatGeneral(value);
  size_t numeric = sections.size() == 4 ? 3 : sections.size();
  bool conditional = false;
  for (size_t k = 0; k < numeric; ++k) conditional = conditional || sections[k].condition.has_value();
  if (conditional) {
    for (size_t k = 0; k < numeric; ++k) {
      const Section& s = sections[k];
      if (!s.condition || s.condition->holds(value)) {
        // An unconditional section shows the sign; a condition already says what the value is.
        return formatWithSection(std::fabs(value), s, value < 0 && !s.condition, date1904);
      }
    }
    return formatGeneral(value);
  }
  if (value > 0 || numeric == 1 || (value == 0 && numeric == 2))
    return formatWithSection(std::fabs(value), sections[0], value < 0, date1904);
  if (value < 0) return formatWithSection(-value, sections[1], false, date1904);
  return formatWithSection(0, sections[2], false, date1904);
}

WideString formatText(const WideString& value, std::u16string_view code) {
  auto sections = parseFormat(code);
  const Section* text = nullptr;
  if (sections.size() == 4) text = &sections[3];
  else
    for (auto& s : sections)
      if (s.hasAt && !text) text = &s;
  if (!text) return value;
  u16string out;
  for (auto& tok : text->tokens) {
    if (tok.type == Token::At) out += value;
    else if (tok.type == Token::Literal) out += tok.text;
  }
  return out;
}

WideString formatGeneral(double value) {
  if (!std::isfinite(value)) return u"#NUM!";
  if (value == 0) return u"0";
  constexpr size_t kWidth = 11;
  double a = std::fabs(value);
  char buf[64];
  if (a >= 1e-9 && a < 1e11) {
    int intDigits = a >= 1 ? static_cast<int>(std::floor(std::log10(a))) + 1 : 1;
    for (int dec = std::max(0, static_cast<int>(kWidth) - intDigits - 1 - (value < 0)); dec >= 0; --dec) {
      std::snprintf(buf, sizeof buf, "%.*f", dec, value);
      std::string s = buf;
      if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
      }
      if (s == "-0" || s == "0") break;  // too small for fixed notation at this width
      if (s.size() <= kWidth) return ascii(s.c_str());
    }
  }
  for (int digits = 5; digits >= 0; --digits) {
    std::snprintf(buf, sizeof buf, "%.*E", digits, value);
    std::string s = buf;
    size_t e = s.find('E');
    std::string mant = s.substr(0, e), exp = s.substr(e + 1);
    if (mant.find('.') != std::string::npos) {
      while (mant.back() == '0') mant.pop_back();
      if (mant.back() == '.') mant.pop_back();
    }
    char sign = exp[0];
    std::string num = exp.substr(1);
    while (num.size() > 2 && num[0] == '0') num.erase(0, 1);
    s = mant + "E" + sign + num;
    if (s.size() <= kWidth || digits == 0) return ascii(s.c_str());
  }
  return u"";
}

double serialToOleDate(double serial, bool date1904) {
  if (date1904) return serial + 1462;
  return serial < 61 ? serial + 1 : serial;
}

double oleDateToSerial(double oleDate, bool date1904) {
  if (date1904) return oleDate - 1462;
  return oleDate < 61 ? oleDate - 1 : oleDate;
}

}  // namespace ooxml::sheet
