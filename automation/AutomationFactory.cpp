#include "automation/AutomationFactory.h"

#include "platform/Text.h"

namespace automation {

#ifdef _WIN32
AutomationFactory& comFactory();  // automation/win
#endif

namespace {
AutomationFactory* g_installed = nullptr;  // set by tests before any worker starts

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}
}  // namespace

void InProcessFactory::registerClass(std::string classId, std::string progId, std::string versioned, Creator create) {
  for (auto& e : entries_)
    if (sameIgnoringCase(e.classId, classId)) {
      e = {std::move(classId), std::move(progId), std::move(versioned), std::move(create)};
      return;
    }
  entries_.push_back({std::move(classId), std::move(progId), std::move(versioned), std::move(create)});
}

DispatchPtr InProcessFactory::create(std::string_view progId) {
  for (auto& e : entries_)
    if (sameIgnoringCase(e.progId, progId) || sameIgnoringCase(e.versioned, progId)) return e.create();
  throw AutomationError("Invalid class string: " + std::string(progId) + " is not registered",
                        static_cast<int32_t>(0x800401F3));
}

std::optional<std::string> InProcessFactory::versionedProgId(std::string_view classId) {
  for (auto& e : entries_)
    if (sameIgnoringCase(e.classId, classId)) return e.versioned.empty() ? e.progId : e.versioned;
  return std::nullopt;
}

InProcessFactory& inProcessFactory() {
  static InProcessFactory f;
  return f;
}

AutomationFactory& automationFactory() {
  if (g_installed) return *g_installed;
#ifdef _WIN32
  return comFactory();
#else
  return inProcessFactory();
#endif
}

ScopedAutomationFactory::ScopedAutomationFactory(AutomationFactory& f) : previous_(g_installed) { g_installed = &f; }
ScopedAutomationFactory::~ScopedAutomationFactory() { g_installed = previous_; }

}  // namespace automation

#ifndef _WIN32
#include "automation/Apartment.h"
namespace automation {
ComApartment::ComApartment() = default;
ComApartment::~ComApartment() = default;
}  // namespace automation
#endif
