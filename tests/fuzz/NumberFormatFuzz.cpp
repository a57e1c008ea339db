// Number format codes come from workbooks: any code must format any value without failing.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ooxml/sheet/NumberFormat.h"

using namespace ooxml::sheet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  double value = 0;
  if (size >= sizeof value) {
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    size -= sizeof value;
  }
  WideString code = platform::utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  classifyFormat(code);
  formatText(u"text", code);
  for (double v : {value, 0.0, -1.5, 45000.75, 1e300, -1e-300, 0.5}) {
    formatNumber(v, code, false);
    formatNumber(v, code, true);
  }
  formatGeneral(value);
  return 0;
}
