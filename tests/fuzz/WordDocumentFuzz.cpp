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
    // Edits inside paragraphs, with and without new runs: the story must still read as a
    // story made afresh from the edited document does.
    for (size_t at = 1; at + 2 < story.length() && at < 200; at += 7) {
      char16_t c = story.at(at);
      if (c == u'\r' || c == 7) continue;
      story.replace(at, at + 1, at % 2 ? u"t\tu" : u"vw");
    }
    ooxml::word::Story again(doc->package().xmlPart(doc->mainPartName()).documentElement().child("w:body"));
    if (again.text(0, again.length()) != story.text(0, story.length())) __builtin_trap();
    if (story.length() > 2) story.replace(1, story.length() - 1, u"q");
    doc->protectionType();
    doc->package().save();
  } catch (const automation::AutomationError&) {
  }
  return 0;
}
