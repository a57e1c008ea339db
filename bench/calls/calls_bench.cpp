// The cost of one call through the Word object surface, with no work behind it: the floor
// every member of a batch's find loop pays. Count instructions with callgrind, twice with
// different counts; the difference over the count difference is one call's cost.
//   valgrind --tool=callgrind build/native/bench/calls/calls_bench DOCX COUNT KIND
//   KIND 0: Selection.Start get, 1: its put, 2: Window.ActivePane, 3: a built-in property's Value,
//   4: the calls that select the document's start before a row, 5: the calls that go to a
//   section and read its header and footer layout, 6: one find loop's set-up and a miss
#include <cstdio>
#include <cstdlib>

#include "automation/Ole.h"
#include "ooxml/word/WordApplication.h"
#include "platform/Text.h"

using automation::Ole;

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: calls_bench DOCX COUNT KIND\n");
    return 2;
  }
  Ole word(ooxml::createWordApplication());
  Ole doc = word.get("Documents").call("Open", platform::ansiToWide(argv[1]), false, false, false, u"", u"", false, u"",
                                       u"", 0);
  const int count = std::atoi(argv[2]), kind = std::atoi(argv[3]);
  Ole window = doc.get("Windows").call("Item", 1);
  Ole selection = window.get("Selection");
  long sum = 0;
  for (int i = 0; i < count; ++i) {
    if (kind == 0) sum += selection.get("Start").toInt();
    if (kind == 1) selection.put("Start", 0);
    if (kind == 2) sum += window.get("ActivePane").isObject();
    if (kind == 3) sum += static_cast<long>(doc.get("BuiltinDocumentProperties", u"title").get("Value").toString().size());
    if (kind == 4) {
      doc.get("Paragraphs").call("Item", 1).get("Range").call("Select");
      sum += doc.call("Range").call("GoTo", 1, 1).isObject();
    }
    if (kind == 5) {
      doc.get("Application").get("Selection").call("GoTo", 0, 1, 1);
      const Ole pageSetup = doc.get("Sections").call("Item", 1).get("PageSetup");
      sum += pageSetup.get("DifferentFirstPageHeaderFooter").toBool() + pageSetup.get("OddAndEvenPagesHeaderFooter").toBool();
    }
    if (kind == 6) {
      selection.put("Start", 0);
      selection.put("End", 0);
      const Ole find = selection.get("Find");
      find.call("ClearFormatting");
      find.get("Replacement").call("ClearFormatting");
      sum += find.call("Execute", u"no such text", false, false, false, false, false, true, 1, false, u"", 0).toBool();
    }
  }
  std::printf("%ld\n", sum);
}
