// Any bytes as a wildcard pattern (first line) and a story (the rest, UTF-8): compiling
// works or raises AutomationError; every hit is a non-empty range inside the story that
// starts where asked, and searching again from a hit's start finds that same hit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "automation/Dispatch.h"
#include "ooxml/wordfind/WildcardMatcher.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t newline = input.find('\n');
  std::u16string pattern = platform::utf8ToWide(input.substr(0, newline));
  std::u16string story = newline == std::string::npos ? u"" : platform::utf8ToWide(input.substr(newline + 1));
  if (story.size() > 2000) story.resize(2000);
  try {
    ooxml::wordfind::WildcardMatcher matcher(pattern);
    size_t from = 0;
    for (int hits = 0; hits < 50 && from < story.size(); ++hits) {
      auto hit = matcher.find(story, from, story.size());
      if (!hit) break;
      if (hit->first < from || hit->first >= hit->second || hit->second > story.size()) __builtin_trap();
      if (matcher.find(story, hit->first, hit->first + 1) != hit) __builtin_trap();
      from = hit->second;
    }
  } catch (const automation::AutomationError&) {
  }
  return 0;
}
