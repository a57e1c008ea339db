#pragma once
// Parts are parsed and written as UTF-8. A part in UTF-16 or a single-byte encoding is turned
// into UTF-8 first, its declaration saying so; one in an encoding we cannot read is refused
// rather than read as UTF-8 and saved with its text garbled.
#include <string>

namespace ooxml::xml {

// Throws XmlError for an encoding that cannot be read.
std::string partAsUtf8(std::string source);

}  // namespace ooxml::xml
