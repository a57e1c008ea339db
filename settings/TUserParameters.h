#pragma once
// Named text values that the window, the options dialog, the worker and the driver pass to
// each other. Names compare without regard to case; booleans are held as "-1" and "0".
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/Text.h"

class TUserParameters {
 public:
  // Replaces the value of an existing name, else appends the entry.
  void SetParameter(const AnsiString& name, const AnsiString& value);
  // Raises std::runtime_error "Parameter <name> is absent in the list! (userparameters)".
  AnsiString GetParameter(const AnsiString& name) const;
  // The usual text-to-boolean conversion: a number is true when not 0; "True"/"False" too.
  bool GetBoolParameter(const AnsiString& name) const;
  void SetBoolParameter(const AnsiString& name, bool value) { SetParameter(name, value ? "-1" : "0"); }
  bool HasParameter(const AnsiString& name) const;

 private:
  const std::pair<AnsiString, AnsiString>* find(const AnsiString& name) const;
  std::vector<std::pair<AnsiString, AnsiString>> entries_;
};
