// The cost of one call through the Word object surface, with no work behind it: the floor
// every member of a batch's find loop pays. Count instructions with callgrind, twice with
// different counts; the difference over the count difference is one call's cost.
//   valgrind --tool=callgrind build/native/bench/calls/calls_bench DOCX COUNT KIND
//   KIND 0: Selection.Start get, 1: its put, 2: Window.ActivePane, 3: a built-in property's Value
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
  }
  std::printf("%ld\n", sum);
}
