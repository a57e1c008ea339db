#pragma once
// A value wrapper for chained late-bound calls, so engine code reads like the object model:
//   doc.get("Windows").call("Item", 1).get("Selection").put("Text", u"x");
#include <array>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "automation/Dispatch.h"

namespace automation {

class Ole {
 public:
  Ole() = default;
  Ole(Variant value) : value_(std::move(value)) {}
  Ole(DispatchPtr object) : value_(std::move(object)) {}

  template <class... A>
  Ole get(std::string_view member, A&&... args) const {
    const std::array<Variant, sizeof...(A)> values{Variant(std::forward<A>(args))...};
    return invoke(member, CallKind::Get, Args(values.data(), values.size()));
  }
  template <class... A>
  Ole call(std::string_view member, A&&... args) const {
    const std::array<Variant, sizeof...(A)> values{Variant(std::forward<A>(args))...};
    return invoke(member, CallKind::Method, Args(values.data(), values.size()));
  }
  void put(std::string_view member, Variant value) const { invoke(member, CallKind::Put, Args(&value, 1)); }
  // An indexed property: obj.Member(index...) := value.
  void putAt(std::string_view member, std::vector<Variant> indexes, Variant value) const {
    indexes.push_back(std::move(value));
    invoke(member, CallKind::Put, indexes);
  }

  Ole invoke(std::string_view member, CallKind kind, const Args& args) const;

  const Variant& value() const { return value_; }
  bool isObject() const { return value_.isObject(); }  // false for an empty reference
  DispatchPtr object() const { return value_.isObject() ? value_.toDispatch() : nullptr; }
  int32_t toInt() const { return value_.toInt(); }
  bool toBool() const { return value_.toBool(); }
  double toDouble() const { return value_.toDouble(); }
  WideString toString() const { return value_.toString(); }

 private:
  Variant value_;
};

}  // namespace automation
