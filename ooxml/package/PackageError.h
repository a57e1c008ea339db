#pragma once
// Every failure of reading or writing a package: an automation error, so it reaches the
// caller of Documents.Open or Save with its text unchanged.
#include <string>

#include "automation/Dispatch.h"

namespace ooxml {

class PackageError : public automation::AutomationError {
 public:
  explicit PackageError(const std::string& message) : automation::AutomationError(message) {}
};

// Malformed XML, with the byte offset in the part where parsing stopped.
class XmlError : public PackageError {
 public:
  XmlError(const std::string& message, size_t offset)
      : PackageError(message + " at byte " + std::to_string(offset)), offset_(offset) {}
  size_t offset() const { return offset_; }

 private:
  size_t offset_;
};

}  // namespace ooxml
