#include <chrono>
#include <cstdio>
#include "automation/Ole.h"
#include "ooxml/word/WordApplication.h"
#include "platform/Text.h"
using automation::Ole;
int main(int, char** argv) {
  Ole word(ooxml::createWordApplication());
  Ole doc = word.get("Documents").call("Open", platform::ansiToWide(argv[1]), false, false, false, u"", u"", false, u"", u"", 0);
  auto t0 = std::chrono::steady_clock::now();
  const int N = 200000;
  long x = 0;
  for (int i = 0; i < N; ++i) x += doc.get("Saved").toBool();
  auto t1 = std::chrono::steady_clock::now();
  for (int i = 0; i < N; ++i) doc.get("Windows").call("Item", 1).get("ActivePane").get("View").put("SeekView", 0);
  auto t2 = std::chrono::steady_clock::now();
  for (int i = 0; i < N; ++i) x += doc.get("BuiltinDocumentProperties", "title").get("Value").toString().size();
  auto t3 = std::chrono::steady_clock::now();
  auto ns = [&](auto a, auto b) { return std::chrono::duration<double, std::nano>(b - a).count() / N; };
  std::printf("Saved get %.0f ns; SeekView chain %.0f ns; property value %.0f ns (%ld)\n", ns(t0, t1), ns(t1, t2), ns(t2, t3), x);
}
