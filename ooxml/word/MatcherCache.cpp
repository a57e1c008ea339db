#include "ooxml/word/MatcherCache.h"

namespace ooxml::word {

std::shared_ptr<const Matcher> MatcherCache::get(std::u16string_view findText, bool matchCase, bool wholeWord) {
  // The two switches ride in front of the text, so one string is the whole key.
  std::u16string key;
  key.reserve(findText.size() + 1);
  key.push_back(static_cast<char16_t>((matchCase ? 1 : 0) | (wholeWord ? 2 : 0)));
  key.append(findText);
  if (auto it = kept_.find(key); it != kept_.end()) return it->second;
  auto matcher = std::make_shared<const Matcher>(findText, matchCase, wholeWord);
  if (kept_.size() >= kMaxKept) kept_.clear();
  kept_.emplace(std::move(key), matcher);
  return matcher;
}

}  // namespace ooxml::word
