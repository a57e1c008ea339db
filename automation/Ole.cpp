#include "automation/Ole.h"

namespace automation {

Ole Ole::invoke(std::string_view member, CallKind kind, const Args& args) const {
  if (!value_.isObject())
    throw AutomationError("Object required: cannot call " + std::string(member) + " on a value that is not an object",
                          static_cast<int32_t>(0x800A01A8));
  return Ole(value_.toDispatch()->invoke(member, kind, args));
}

}  // namespace automation
