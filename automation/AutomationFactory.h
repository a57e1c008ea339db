#pragma once
// Creates automation objects by ProgID. Windows: COM (CLSIDFromProgID, CoCreateInstance);
// Linux: classes registered in process (our OOXML engine registers Word and Excel); tests:
// any factory they install.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "automation/Dispatch.h"

namespace automation {

class AutomationFactory {
 public:
  virtual ~AutomationFactory() = default;
  // Throws AutomationError when the class is not registered or cannot be started.
  virtual DispatchPtr create(std::string_view progId) = 0;
  // The version-dependent ProgID registered for a class id such as
  // "{000209FF-0000-0000-C000-000000000046}", or nothing when the lookup fails.
  virtual std::optional<std::string> versionedProgId(std::string_view classId) = 0;
};

// Classes that live in this process: what the Linux builds answer by ProgID.
class InProcessFactory : public AutomationFactory {
 public:
  using Creator = std::function<DispatchPtr()>;
  // Registers a class under its ProgIDs (version-independent and versioned) and class id.
  void registerClass(std::string classId, std::string progId, std::string versionedProgId, Creator create);
  DispatchPtr create(std::string_view progId) override;
  std::optional<std::string> versionedProgId(std::string_view classId) override;

 private:
  struct Entry {
    std::string classId, progId, versioned;
    Creator create;
  };
  std::vector<Entry> entries_;
};

// The factory in use: the one a test installed, else COM on Windows, else inProcessFactory().
AutomationFactory& automationFactory();
InProcessFactory& inProcessFactory();

class ScopedAutomationFactory {
 public:
  explicit ScopedAutomationFactory(AutomationFactory& f);
  ~ScopedAutomationFactory();
  ScopedAutomationFactory(const ScopedAutomationFactory&) = delete;
  ScopedAutomationFactory& operator=(const ScopedAutomationFactory&) = delete;

 private:
  AutomationFactory* previous_;
};

}  // namespace automation
