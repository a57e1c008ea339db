#pragma once
// Matchers kept across documents: a batch searches every document for the same rows, and
// making a matcher (case maps, skips, trios) costs more than a short document's search.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ooxml/word/Matcher.h"

namespace ooxml::word {

class MatcherCache {
 public:
  // The matcher for these find settings; throws as Matcher does, and keeps nothing then.
  std::shared_ptr<const Matcher> get(std::u16string_view findText, bool matchCase, bool wholeWord);
  size_t size() const { return kept_.size(); }

  // Enough for any table a user keeps; past it the cache starts over, so memory stays bounded.
  static constexpr size_t kMaxKept = 4096;

 private:
  std::unordered_map<std::u16string, std::shared_ptr<const Matcher>> kept_;
};

}  // namespace ooxml::word
