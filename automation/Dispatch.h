#pragma once
// The automation boundary: every call to Word or Excel is one invoke by member name.
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

class Dispatch {
 public:
  virtual ~Dispatch() = default;
  // Positional arguments in call order; a Put passes its value as the last argument.
  // Member names are matched without regard to case, as COM does.
  virtual Variant invoke(std::string_view name, CallKind kind, const std::vector<Variant>& args) = 0;
};

}  // namespace automation
