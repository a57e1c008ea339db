// Any bytes as a ZIP archive: reading the directory and every entry either works or raises
// PackageError, within the limits; copying what was read must give a readable archive.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ooxml/package/PackageError.h"
#include "ooxml/package/Zip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ooxml::ZipLimits limits;
  limits.maxEntrySize = 1 << 20;
  limits.maxTotalSize = 4 << 20;
  try {
    ooxml::ZipReader r(std::string(reinterpret_cast<const char*>(data), size), limits);
    ooxml::ZipWriter w;
    for (const auto& e : r.entries()) {
      r.read(e);
      w.copy(r, e);
    }
    ooxml::ZipReader again(w.finish(), limits);
    if (again.entries().size() != r.entries().size()) __builtin_trap();
  } catch (const ooxml::PackageError&) {
  }
  return 0;
}
