#include "settings/TUserParameters.h"

#include "automation/Variant.h"

namespace {

bool sameName(const AnsiString& a, const AnsiString& b) {
  return platform::toLower(platform::ansiToWide(a)) == platform::toLower(platform::ansiToWide(b));
}

}  // namespace

const std::pair<AnsiString, AnsiString>* TUserParameters::find(const AnsiString& name) const {
  for (auto& e : entries_)
    if (sameName(e.first, name)) return &e;
  return nullptr;
}

void TUserParameters::SetParameter(const AnsiString& name, const AnsiString& value) {
  if (auto* e = find(name)) {
    const_cast<std::pair<AnsiString, AnsiString>*>(e)->second = value;
    return;
  }
  entries_.emplace_back(name, value);
}

AnsiString TUserParameters::GetParameter(const AnsiString& name) const {
  if (auto* e = find(name)) return e->second;
  throw std::runtime_error("Parameter " + name + " is absent in the list! (userparameters)");
}

bool TUserParameters::GetBoolParameter(const AnsiString& name) const {
  return automation::Variant(platform::ansiToWide(GetParameter(name))).toBool();
}

bool TUserParameters::HasParameter(const AnsiString& name) const { return find(name) != nullptr; }
