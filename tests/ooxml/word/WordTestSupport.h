#pragma once
// Opens fixture documents through the Word object surface, as the plug-in does.
#include <string>

#include "automation/Ole.h"
#include "ooxml/word/WordApplication.h"
#include "platform/Files.h"

namespace wordtest {

using automation::Ole;
using automation::Variant;

inline std::string fixturePath(const std::string& name) {
  return std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/docx/" + name;
}

inline std::string workFolder() {
  std::string folder = std::string(TAVIMO_BINARY_DIR) + "/word-output";
  platform::fileSystem().createFolder(folder);
  return folder;
}

// A copy of a fixture in the work folder, so tests may save over it.
inline std::string copyOf(const std::string& name, const std::string& as = "") {
  std::string target = platform::joinPath(workFolder(), as.empty() ? name : as);
  platform::writeFileAtomically(target, platform::readFile(fixturePath(name), 1 << 22));
  return target;
}

inline Ole open(Ole word, const std::string& path) {
  return word.get("Documents").call("Open", platform::ansiToWide(path), false, false, false, u"", u"", false, u"", u"", 0);
}

inline Ole selectionOf(Ole doc) { return doc.get("Windows").call("Item", 1).get("Selection"); }

inline bool find(Ole sel, const std::u16string& text, bool matchCase = false, bool wholeWord = false, int wrap = 1) {
  sel.get("Find").call("ClearFormatting");
  sel.get("Find").get("Replacement").call("ClearFormatting");
  return sel.get("Find").call("Execute", text, matchCase, wholeWord, false, false, false, true, wrap, false, u"", 0).toBool();
}

inline void selectAll(Ole doc, size_t start = 0, size_t end = 0) {
  Ole sel = selectionOf(doc);
  sel.put("Start", static_cast<int>(start));
  sel.put("End", static_cast<int>(end));
}

// Replaces every occurrence the way the plug-in's find loop does (wrap and repeat
// detection included); returns the count.
inline int replaceAll(Ole doc, const std::u16string& what, const std::u16string& with, bool matchCase = false, bool wholeWord = false) {
  Ole sel = selectionOf(doc);
  sel.put("Start", 0);
  sel.put("End", 0);
  int count = 0, previousStart = 0, previousEnd = 0, repeats = 0;
  bool first = true;
  while (find(sel, what, matchCase, wholeWord)) {
    int s = sel.get("Start").toInt(), e = sel.get("End").toInt();
    if (!first) {
      if (previousStart > s) break;
      if (previousStart == s && previousStart != previousEnd) {
        if (++repeats > 1) break;
        continue;
      }
      if (e <= previousEnd) {
        previousStart = s;
        continue;
      }
    }
    repeats = 0;
    sel.put("Text", with);
    previousStart = sel.get("Start").toInt();
    previousEnd = sel.get("End").toInt();
    first = false;
    ++count;
  }
  return count;
}

inline std::u16string storyText(Ole doc) { return doc.call("Range").get("Text").toString(); }

inline void seek(Ole doc, int view) { doc.get("Windows").call("Item", 1).get("ActivePane").get("View").put("SeekView", view); }

// The whole text of the story the selection stands in; the selection is left at its start.
inline std::u16string currentStory(Ole doc) {
  Ole sel = selectionOf(doc);
  sel.put("Start", 0);
  sel.put("End", 1 << 30);
  std::u16string text = sel.get("Text").toString();
  sel.put("End", 0);
  return text;
}

}  // namespace wordtest
