#include "ooxml/word/MatcherCache.h"

namespace ooxml::word {

std::shared_ptr<const Matcher> MatcherCache::get(std::u16string_view findText, bool matchCase, bool wholeWord) {
  auto& kept = kept_[(matchCase ? 1 : 0) | (wholeWord ? 2 : 0)];
  if (auto it = kept.find(findText); it != kept.end()) return it->second;
  auto matcher = std::make_shared<const Matcher>(findText, matchCase, wholeWord);
  if (size() >= kMaxKept)
    for (auto& k : kept_) k.clear();
  kept.emplace(std::u16string(findText), matcher);
  return matcher;
}

}  // namespace ooxml::word
