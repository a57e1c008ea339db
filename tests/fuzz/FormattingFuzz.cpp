// Any bytes as a Word document whose styles and runs are read and formatted: style chains
// (loops included) resolve in bounded time, and writing attributes keeps the story's text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "automation/Dispatch.h"
#include "ooxml/word/RunFormatting.h"
#include "ooxml/word/WordDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ooxml::PackageLimits limits;
  limits.zip.maxEntrySize = 1 << 20;
  limits.zip.maxTotalSize = 4 << 20;
  try {
    auto doc = ooxml::word::WordDocument::fromBytes(std::string(reinterpret_cast<const char*>(data), size), "fuzz.docx", limits);
    ooxml::Package& package = doc->package();
    ooxml::word::StyleSheet styles(package, package.mainPartName());
    ooxml::word::Story& story = doc->mainStory();
    std::u16string before = story.text(0, story.length());
    size_t length = std::min<size_t>(story.length(), 2000);
    for (size_t p = 0; p < length; ++p)
      if (auto run = story.runAt(p)) styles.effective(run);
    story.forEachRunIn(length / 3, length, [](ooxml::xml::Node run) {
      ooxml::word::setBold(run, true);
      ooxml::word::setShading(run, 0x123456);
      ooxml::word::setUnderline(run, 3);
      ooxml::word::setHighlight(run, 0);
    });
    if (story.text(0, story.length()) != before) std::abort();
    package.save();
  } catch (const automation::AutomationError&) {
  }
  return 0;
}
