#pragma once
// An OLE Automation value: the kinds a VARIANT carries between us and Word or Excel, with
// OLE's conversion rules (Null to a number raises, booleans are -1/0, doubles round half
// to even when made integers, strings parse by locale-free rules).
#include <concepts>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Text.h"

namespace automation {

class Dispatch;
using DispatchPtr = std::shared_ptr<Dispatch>;

enum class VarType { Empty, Null, Bool, I1, I2, I4, I8, UI1, UI2, UI4, R4, R8, Currency, Date, String, Dispatch, Error };

class Variant {
 public:
  Variant() = default;  // Empty
  Variant(bool b) : type_(VarType::Bool), int_(b ? -1 : 0) {}
  template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, char16_t>)
  Variant(T v) : type_(sizeof(T) <= 4 && (std::is_signed_v<T> || sizeof(T) < 4) ? VarType::I4 : VarType::I8),
                 int_(static_cast<int64_t>(v)) {
    if (type_ == VarType::I4 && (int_ < INT32_MIN || int_ > INT32_MAX)) type_ = VarType::I8;
  }
  Variant(double d) : type_(VarType::R8), real_(d) {}
  Variant(WideString s) : type_(VarType::String), text_(std::move(s)) {}
  Variant(std::u16string_view s) : type_(VarType::String), text_(s) {}
  Variant(const char16_t* s) : type_(VarType::String), text_(s) {}
  Variant(const char* utf8) : type_(VarType::String), text_(platform::utf8ToWide(utf8)) {}
  Variant(DispatchPtr d);

  // A value crosses several hands on every call: moves touch only the member the kind uses.
  // The text is empty unless the kind is String, the object null unless it is Dispatch.
  Variant(const Variant&) = default;
  Variant& operator=(const Variant&) = default;
  Variant(Variant&& o) noexcept : type_(o.type_), int_(o.int_), real_(o.real_) {
    if (type_ == VarType::String) text_.swap(o.text_);
    else if (type_ == VarType::Dispatch) dispatch_.swap(o.dispatch_);
  }
  Variant& operator=(Variant&& o) noexcept {
    if (this == &o) return *this;
    if (holdsResource() || o.holdsResource()) takeResourceOf(o);
    type_ = o.type_;
    int_ = o.int_;
    real_ = o.real_;
    return *this;
  }

  static Variant null();
  static Variant ofKind(VarType integerKind, int64_t value);  // I1 ... UI4, I8
  static Variant r4(float f);
  static Variant currency(int64_t tenThousandths);
  static Variant date(double oleDate);
  static Variant error(int32_t scode);

  VarType type() const { return type_; }
  bool isEmpty() const { return type_ == VarType::Empty; }
  bool isNull() const { return type_ == VarType::Null; }
  bool isObject() const { return type_ == VarType::Dispatch && dispatch_ != nullptr; }

  // Conversions; each raises AutomationError where OLE's VariantChangeType would fail.
  // The kinds a call answers with most are converted here; the rest out of line.
  int32_t toInt() const {
    if ((type_ == VarType::I4 || type_ == VarType::Bool) && int_ >= INT32_MIN && int_ <= INT32_MAX)
      return static_cast<int32_t>(int_);
    return toIntOtherwise();
  }
  int64_t toInt64() const;
  bool toBool() const { return type_ == VarType::Bool || type_ == VarType::I4 ? int_ != 0 : toBoolOtherwise(); }
  double toDouble() const;
  WideString toString() const;
  std::string toUtf8() const { return platform::wideToUtf8(toString()); }
  const DispatchPtr& toDispatch() const {
    if (!isObject()) notAnObject();
    return dispatch_;
  }

  // Raw access for marshalling.
  int64_t rawInteger() const { return int_; }  // integer kinds, Bool, Currency, Error
  double rawReal() const { return real_; }      // R4, R8, Date
  const WideString& rawText() const { return text_; }

  // One value as the recording fake logs it: "x" (quotes doubled), True, False, 12, 1.5,
  // Empty, Null, Error(2042), Object.
  std::string render() const;

  bool operator==(const Variant& other) const;

 private:
  [[noreturn]] static void notAnObject();
  int32_t toIntOtherwise() const;
  bool toBoolOtherwise() const;
  bool holdsResource() const { return type_ == VarType::String || type_ == VarType::Dispatch; }
  void takeResourceOf(Variant& o) noexcept;

  VarType type_ = VarType::Empty;
  int64_t int_ = 0;
  double real_ = 0;
  WideString text_;
  DispatchPtr dispatch_;
};

}  // namespace automation
