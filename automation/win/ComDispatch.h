#pragma once
// A COM object seen as a Dispatch: members are looked up by name (cached) and invoked with
// the arguments reversed, as IDispatch expects.
#include <windows.h>
#include <oaidl.h>

#include <map>
#include <string>

#include "automation/Dispatch.h"

namespace automation::win {

class ComDispatch : public Dispatch {
 public:
  explicit ComDispatch(IDispatch* object);  // takes a reference of its own
  ~ComDispatch() override;
  ComDispatch(const ComDispatch&) = delete;
  ComDispatch& operator=(const ComDispatch&) = delete;

  Variant invoke(std::string_view name, CallKind kind, const Args& args) override;
  IDispatch* object() const { return object_; }

 private:
  DISPID idOf(std::string_view name);
  IDispatch* object_;
  std::map<std::string, DISPID> ids_;
};

// Server message of a failed call: the EXCEPINFO description when there is one.
std::string describeFailure(HRESULT hr, EXCEPINFO* info, std::string_view member);

}  // namespace automation::win
