#pragma once
// The automation boundary: every call to Word or Excel is one invoke by member name.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "automation/Variant.h"

namespace automation {

enum class CallKind { Method, Get, Put };

// An error raised by the other side (or by the boundary itself), with the server's message.
class AutomationError : public std::runtime_error {
 public:
  explicit AutomationError(const std::string& utf8Message, int32_t code = kGenericCode)
      : std::runtime_error(utf8Message), code_(code) {}
  explicit AutomationError(const WideString& message, int32_t code = kGenericCode)
      : AutomationError(platform::wideToUtf8(message), code) {}
  WideString text() const { return platform::utf8ToWide(what()); }
  int32_t code() const { return code_; }

  static constexpr int32_t kGenericCode = static_cast<int32_t>(0x80020009);  // DISP_E_EXCEPTION

 private:
  int32_t code_;
};

// The arguments of one call in call order: a view of values the caller holds for the length of
// the call, so that the many small calls of a batch copy and allocate nothing to pass them.
class Args {
 public:
  Args() = default;
  Args(const Variant* values, size_t count) : values_(values), count_(count) {}
  Args(const std::vector<Variant>& values) : values_(values.data()), count_(values.size()) {}

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const Variant& operator[](size_t i) const { return values_[i]; }
  const Variant& at(size_t i) const {
    if (i >= count_) throw std::out_of_range("automation::Args::at");
    return values_[i];
  }
  const Variant& front() const { return values_[0]; }
  const Variant& back() const { return values_[count_ - 1]; }
  const Variant* begin() const { return values_; }
  const Variant* end() const { return values_ + count_; }

 private:
  const Variant* values_ = nullptr;
  size_t count_ = 0;
};

class Dispatch {
 public:
  virtual ~Dispatch() = default;
  // Positional arguments in call order; a Put passes its value as the last argument.
  // Member names are matched without regard to case, as COM does.
  virtual Variant invoke(std::string_view name, CallKind kind, const Args& args) = 0;
};

}  // namespace automation
