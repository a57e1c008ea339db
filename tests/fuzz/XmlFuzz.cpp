// Any bytes as an XML part: parsing works or raises XmlError; what parsed serialises to
// text that parses again to the same serialisation.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ooxml/package/PackageError.h"
#include "ooxml/package/Xml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    auto doc = ooxml::xml::Document::parse(std::string(reinterpret_cast<const char*>(data), size));
    std::string once = doc->serialize();
    auto again = ooxml::xml::Document::parse(once);
    if (again->serialize() != once) __builtin_trap();
  } catch (const ooxml::PackageError&) {
  }
  return 0;
}
