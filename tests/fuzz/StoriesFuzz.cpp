// Any bytes as a Word document: its sections, header and footer stories, notes, text boxes and
// hyperlinks are read, edited and saved, or an AutomationError is raised, within bounded time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "automation/Dispatch.h"
#include "ooxml/word/Hyperlinks.h"
#include "ooxml/word/Layout.h"

namespace {

void touch(ooxml::word::Story& story) {
  story.text(0, story.length());
  if (story.length() > 1) story.replace(0, 1, u"h\r");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ooxml::word;
  ooxml::PackageLimits limits;
  limits.zip.maxEntrySize = 1 << 20;
  limits.zip.maxTotalSize = 4 << 20;
  try {
    auto doc = WordDocument::fromBytes(std::string(reinterpret_cast<const char*>(data), size), "fuzz.docx", limits);
    DocumentLayout layout(*doc);
    layout.oddAndEvenPages();
    for (size_t s = 1; s <= std::min<size_t>(layout.sectionCount(), 4); ++s) {
      layout.differentFirstPage(s);
      layout.sectionAt(layout.sectionStart(s));
      for (bool footer : {false, true})
        for (int kind = 1; kind <= 3; ++kind) {
          layout.hasOwn(s, footer, kind);
          touch(layout.headerFooter(s, footer, kind));
        }
    }
    for (NoteKind kind : {NoteKind::Foot, NoteKind::End}) {
      layout.userNotes(kind);
      touch(layout.notes(kind));
    }
    for (size_t i = 0; i < std::min<size_t>(layout.shapeCount(), 4); ++i) touch(layout.shapeStory(i));
    Hyperlinks links(*doc);
    for (size_t i = 0; i < std::min<size_t>(links.count(), 4); ++i) {
      links.setAddress(i, links.address(i) + u"\"x\\");
      links.setSubAddress(i, links.subAddress(i).empty() ? u"a b" : u"");
    }
    doc->package().save();
  } catch (const automation::AutomationError&) {
  }
  return 0;
}
