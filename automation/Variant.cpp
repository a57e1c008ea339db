#include "automation/Variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "automation/Dispatch.h"

namespace automation {
namespace {

[[noreturn]] void typeMismatch(const char* what) {
  throw AutomationError(std::string("Type mismatch: ") + what, static_cast<int32_t>(0x80020005));
}
[[noreturn]] void overflow() { throw AutomationError("Overflow", static_cast<int32_t>(0x8002000A)); }

// Locale-free number parsing: optional spaces, sign, digits, one dot, exponent.
bool parseNumber(const WideString& text, double& out) {
  std::string ascii;
  for (char16_t c : text) {
    if (c > 0x7F) return false;
    ascii.push_back(static_cast<char>(c));
  }
  size_t b = ascii.find_first_not_of(" \t");
  size_t e = ascii.find_last_not_of(" \t");
  if (b == std::string::npos) return false;
  std::string s = ascii.substr(b, e - b + 1);
  if (!s.empty() && s[0] == '+') s.erase(0, 1);
  const char* first = s.data();
  const char* last = s.data() + s.size();
  auto r = std::from_chars(first, last, out, std::chars_format::general);
  return r.ec == std::errc() && r.ptr == last && std::isfinite(out);
}

bool equalsIgnoringAsciiCase(const WideString& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (platform::toLower(a[i]) != static_cast<char16_t>(std::tolower(static_cast<unsigned char>(b[i])))) return false;
  return i == a.size() && !b[i];
}

double roundHalfEven(double d) {
  double r = std::floor(d);
  double diff = d - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
  return r;
}

std::string formatReal(double d, int digits) {
  if (d == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*G", digits, d);
  std::string s = buf;
  // Trim trailing zeros of the mantissa as Visual Basic prints numbers ("1.5", not "1.50000").
  size_t e = s.find('E');
  std::string mant = e == std::string::npos ? s : s.substr(0, e);
  std::string exp = e == std::string::npos ? "" : s.substr(e);
  if (mant.find('.') != std::string::npos) {
    while (mant.back() == '0') mant.pop_back();
    if (mant.back() == '.') mant.pop_back();
  }
  if (!exp.empty()) {  // E+05 -> E+5
    std::string sign = exp.substr(1, 1);
    std::string num = exp.substr(2);
    while (num.size() > 1 && num[0] == '0') num.erase(0, 1);
    exp = "E" + sign + num;
  }
  return mant + exp;
}

std::string formatOleDate(double oleDate) {
  // Days since 1899-12-30; fraction is the time of day.
  double days = std::floor(oleDate);
  int64_t secs = static_cast<int64_t>(std::llround((oleDate - days) * 86400.0));
  int64_t z = static_cast<int64_t>(days) - 25569 + 719468;  // days from 0000-03-01
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp < 10 ? mp + 3 : mp - 9;
  int64_t y = yoe + era * 400 + (m <= 2);
  char buf[160];
  if (secs == 0)
    std::snprintf(buf, sizeof buf, "%lld-%02lld-%02lld", (long long)y, (long long)m, (long long)d);
  else
    std::snprintf(buf, sizeof buf, "%lld-%02lld-%02lld %02lld:%02lld:%02lld", (long long)y, (long long)m,
                  (long long)d, (long long)(secs / 3600), (long long)(secs / 60 % 60), (long long)(secs % 60));
  return buf;
}

bool isIntegerKind(VarType t) {
  switch (t) {
    case VarType::I1: case VarType::I2: case VarType::I4: case VarType::I8:
    case VarType::UI1: case VarType::UI2: case VarType::UI4: return true;
    default: return false;
  }
}

}  // namespace

Variant::Variant(DispatchPtr d) : type_(VarType::Dispatch), dispatch_(std::move(d)) {}

void Variant::takeResourceOf(Variant& o) noexcept {
  // What this held and the new kind does not use goes now; a moved-from object lets go too.
  if (o.type_ == VarType::String) text_.swap(o.text_);
  else if (type_ == VarType::String) WideString().swap(text_);
  if (o.type_ == VarType::Dispatch) {
    dispatch_.swap(o.dispatch_);
    o.dispatch_.reset();
  } else if (type_ == VarType::Dispatch) {
    dispatch_.reset();
  }
}

Variant Variant::null() {
  Variant v;
  v.type_ = VarType::Null;
  return v;
}

Variant Variant::ofKind(VarType kind, int64_t value) {
  Variant v;
  v.type_ = isIntegerKind(kind) ? kind : VarType::I8;
  v.int_ = value;
  return v;
}

Variant Variant::r4(float f) {
  Variant v;
  v.type_ = VarType::R4;
  v.real_ = f;
  return v;
}

Variant Variant::currency(int64_t tenThousandths) {
  Variant v;
  v.type_ = VarType::Currency;
  v.int_ = tenThousandths;
  return v;
}

Variant Variant::date(double oleDate) {
  Variant v;
  v.type_ = VarType::Date;
  v.real_ = oleDate;
  return v;
}

Variant Variant::error(int32_t scode) {
  Variant v;
  v.type_ = VarType::Error;
  v.int_ = scode;
  return v;
}

double Variant::toDouble() const {
  switch (type_) {
    case VarType::Empty: return 0;
    case VarType::Null: typeMismatch("Null has no numeric value");
    case VarType::Bool: return static_cast<double>(int_);
    case VarType::R4: case VarType::R8: case VarType::Date: return real_;
    case VarType::Currency: return static_cast<double>(int_) / 10000.0;
    case VarType::String: {
      double d;
      if (parseNumber(text_, d)) return d;
      if (equalsIgnoringAsciiCase(text_, "true")) return -1;
      if (equalsIgnoringAsciiCase(text_, "false")) return 0;
      typeMismatch("the text is not a number");
    }
    case VarType::Dispatch: typeMismatch("an object has no numeric value");
    case VarType::Error: typeMismatch("an error value has no numeric value");
    default: return static_cast<double>(int_);
  }
}

int64_t Variant::toInt64() const {
  if (isIntegerKind(type_) || type_ == VarType::Bool || type_ == VarType::Empty) return int_;
  if (type_ == VarType::Currency) {
    int64_t q = int_ / 10000, r = int_ % 10000;
    if (r > 5000 || (r == 5000 && (q & 1))) ++q;
    if (r < -5000 || (r == -5000 && (q & 1))) --q;
    return q;
  }
  double d = roundHalfEven(toDouble());
  if (d < -9.2233720368547758e18 || d >= 9.2233720368547758e18) overflow();
  return static_cast<int64_t>(d);
}

int32_t Variant::toIntOtherwise() const {
  int64_t v = toInt64();
  if (v < INT32_MIN || v > INT32_MAX) overflow();
  return static_cast<int32_t>(v);
}

bool Variant::toBoolOtherwise() const {
  switch (type_) {
    case VarType::Empty: return false;
    case VarType::String:
      if (equalsIgnoringAsciiCase(text_, "true")) return true;
      if (equalsIgnoringAsciiCase(text_, "false")) return false;
      return toDouble() != 0;
    case VarType::R4: case VarType::R8: case VarType::Date: return real_ != 0;
    case VarType::Null: case VarType::Dispatch: case VarType::Error: toDouble(); return false;  // raises
    default: return int_ != 0;
  }
}

WideString Variant::toString() const {
  switch (type_) {
    case VarType::Empty: return u"";
    case VarType::Null: typeMismatch("Null has no text");
    case VarType::Bool: return int_ ? u"True" : u"False";
    case VarType::String: return text_;
    case VarType::R4: return platform::utf8ToWide(formatReal(real_, 7));
    case VarType::R8: return platform::utf8ToWide(formatReal(real_, 15));
    case VarType::Date: return platform::utf8ToWide(formatOleDate(real_));
    case VarType::Currency: {
      std::string s = std::to_string(int_ / 10000);
      int64_t frac = int_ % 10000;
      if (int_ < 0 && s[0] != '-') s = "-" + s;
      if (frac) {
        std::string f = std::to_string(frac < 0 ? -frac : frac);
        f = std::string(4 - f.size(), '0') + f;
        while (f.back() == '0') f.pop_back();
        s += "." + f;
      }
      return platform::utf8ToWide(s);
    }
    case VarType::Dispatch: typeMismatch("an object has no text");
    case VarType::Error: typeMismatch("an error value has no text");
    default: return platform::utf8ToWide(std::to_string(int_));
  }
}

void Variant::notAnObject() { typeMismatch("the value is not an object"); }

std::string Variant::render() const {
  switch (type_) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Dispatch: return "Object";
    case VarType::Error: return "Error(" + std::to_string(int_) + ")";
    case VarType::String: {
      std::string s = "\"";
      for (char c : platform::wideToUtf8(text_)) {
        if (c == '"') s += '"';
        s += c;
      }
      return s + "\"";
    }
    default: return toUtf8();
  }
}

bool Variant::operator==(const Variant& o) const {
  if (type_ != o.type_) return false;
  switch (type_) {
    case VarType::Empty: case VarType::Null: return true;
    case VarType::String: return text_ == o.text_;
    case VarType::R4: case VarType::R8: case VarType::Date: return real_ == o.real_;
    case VarType::Dispatch: return dispatch_ == o.dispatch_;
    default: return int_ == o.int_;
  }
}

}  // namespace automation
