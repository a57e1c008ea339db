// Text conversions take bytes from every outside file: any input must round-trip safely.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  WideString w = platform::utf8ToWide(bytes);
  std::string back = platform::wideToUtf8(w);
  if (platform::utf8ToWide(back) != w) std::abort();  // our own output must read back identically
  platform::codePageToWide(bytes, 1250);
  platform::toUpper(w);
  return 0;
}
