// Shows that a build runs on its target: the folders it would use and a round of the
// automation layer's conversions.
#include <cstdio>

#include "automation/FakeAutomation.h"
#include "automation/Ole.h"
#include "platform/Files.h"

int main() {
  std::printf("Tavimo for MS Word (%s build)\n",
#ifdef _WIN32
              "Windows"
#else
              "Linux"
#endif
  );
  std::printf("  executable folder: %s\n", platform::executableFolder().c_str());
  std::printf("  temporary folder:  %s\n", platform::tempFolder().c_str());
  automation::FakeAutomation fake;
  automation::Ole(fake.root()).get("Selection").put("Text", u"Grüße");
  std::printf("  automation call:   %s\n", fake.log().back().c_str());
  return 0;
}
