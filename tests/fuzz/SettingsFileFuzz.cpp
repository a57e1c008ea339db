// The settings file is shared with the host and may hold anything: every lookup must end in
// bounded time, and a value we set must be the value we read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/TextIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const char* section = "Tavimo_MS_WORD";
  for (const char* key : {"SearchControlWord", "MaskForName", "TableFile"}) {
    auto value = FindIniValue(text, section, key);
    int32_t number = 0;
    if (value) {
      if (value->size() > IniFile::kMaxValueLength) std::abort();
      ParseIniInteger(*value, number);
    }
  }
  std::string written = SetIniValue(text, section, "maskforname", "[N]_x.[E]");
  auto back = FindIniValue(written, section, "MaskForName");
  if (!back || *back != "[N]_x.[E]") std::abort();
  return 0;
}
