#include "settings/TUserParameters.h"

#include <algorithm>

#include "automation/Variant.h"

namespace {

bool sameName(const AnsiString& a, const AnsiString& b) {
  // Names are nearly always plain ASCII, compared here without converting them; the batch
  // asks for one before every replacement.
  if (a.size() == b.size()) {
    bool ascii = true, same = true;
    for (size_t i = 0; i < a.size() && ascii && same; ++i) {
      unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
      ascii = x < 0x80 && y < 0x80;
      same = (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
    }
    if (ascii) return same;
  } else if (std::all_of(a.begin(), a.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }) &&
             std::all_of(b.begin(), b.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return false;
  }
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
