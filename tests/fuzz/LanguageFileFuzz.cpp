// Language files are handed over by the host: any bytes must load without harm, and every
// look-up must stay inside the pool.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Files.h"
#include "settings/TClassTranslator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path =
      platform::joinPath(platform::tempFolder(), "tavimo_fuzz_lang_" + std::to_string(getpid()) + ".lnm");
  if (!platform::writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(data), size)))
    return 0;
  TClassTranslator translator(64, 3000);  // a small pool, so growth is exercised
  RegisterModuleTexts(translator);
  if (!translator.LoadLanguageFile(path)) std::abort();
  size_t total = 0;
  for (int32_t id = -2; id < 3002; ++id) total += std::strlen(translator.GetText(id));
  if (total > size + 100000) std::abort();  // only the file's bytes and the defaults are texts
  return 0;
}
