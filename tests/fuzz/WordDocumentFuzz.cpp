// Any bytes as a Word document: loading, reading the text, a find, a replace and saving
// either work or raise an AutomationError, within bounded time and memory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "automation/Dispatch.h"
#include "ooxml/word/Matcher.h"
#include "ooxml/word/WordDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ooxml::PackageLimits limits;
  limits.zip.maxEntrySize = 1 << 20;
  limits.zip.maxTotalSize = 4 << 20;
  try {
    auto doc = ooxml::word::WordDocument::fromBytes(std::string(reinterpret_cast<const char*>(data), size), "fuzz.docx", limits);
    ooxml::word::Story& story = doc->mainStory();
    std::u16string text = story.text(0, story.length());
    ooxml::word::Matcher m(u"a^pb", false, false);
    std::u16string_view all = story.searchable(0, story.length());
    if (auto hit = m.search(all, 0, all.size())) story.replace(hit->start, hit->end, u"x\ry\tz");
    if (story.length() > 2) story.replace(1, story.length() - 1, u"q");
    doc->protectionType();
    doc->package().save();
  } catch (const automation::AutomationError&) {
  }
  return 0;
}
