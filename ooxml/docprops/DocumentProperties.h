#pragma once
// The built-in document properties Word's BuiltinDocumentProperties(name).Value reads and
// assigns: "Title", "Subject", "Author", "Keywords" in the core properties part (dc:title,
// dc:subject, dc:creator, cp:keywords) and "Manager", "Company" in the extended properties
// part. Names are matched without regard to case.
//
// The parts are found through the package's relationships and their elements by namespace,
// whatever prefixes the file uses. Reading a missing part or element gives "". Assigning a
// non-empty value to a missing one creates it (the part with its content type override and
// package relationship, the element, a namespace declaration when needed); assigning the
// value a property already has changes nothing, so the part is written back byte for byte.
//
// Stored text is what XML 1.0 can carry: characters it cannot (controls other than tab and
// line feed, U+FFFE, U+FFFF, lone surrogates) are dropped, and a carriage return (or CR LF)
// is stored as the line feed any XML reader would turn it into.
#include <array>
#include <string>
#include <string_view>

#include "ooxml/package/Package.h"
#include "platform/Text.h"

namespace ooxml::docprops {

class DocumentProperties {
 public:
  // Keep one for a package: it remembers what it read until the parts involved change.
  explicit DocumentProperties(Package& package) : package_(package) {}

  // True for the six names above, in any case.
  static bool isBuiltinName(std::u16string_view name);

  // The property's number, for the calls below that take one; throws
  // automation::AutomationError for any other name.
  static size_t indexOf(std::u16string_view name);

  // Throw automation::AutomationError for any other name, and PackageError when the part
  // cannot be read (not well-formed XML, a target outside the package).
  WideString value(std::u16string_view name) { return value(indexOf(name)); }
  const WideString& value(size_t property);

  // Return whether the package changed. Throw as value() does.
  bool setValue(std::u16string_view name, std::u16string_view value) { return setValue(indexOf(name), value); }
  bool setValue(size_t property, std::u16string_view value);

 private:
  // What was read, and from what: the package's relationships and the property's part as
  // parsed trees with their edit counts, and the package's replacement count (a part replaced
  // or made), so that checking it still stands needs no lookup by name.
  struct Read {
    bool valid = false;
    uint64_t replacements = 0;
    const xml::Document* relationships = nullptr;
    const xml::Document* part = nullptr;  // null when the package has no such part
    uint64_t relationshipsEdits = 0, partEdits = 0;
    std::string partName;
    WideString value;
  };
  bool stillStands(const Read& r) const;
  Read& current(size_t property);

  Package& package_;
  std::array<Read, 6> read_;
};

}  // namespace ooxml::docprops
