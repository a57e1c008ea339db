#pragma once
// Matchers kept across documents: a batch searches every document for the same rows, and
// making a matcher (case maps, skips, trios) costs more than a short document's search.
#include <functional>
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
  size_t size() const { return kept_[0].size() + kept_[1].size() + kept_[2].size() + kept_[3].size(); }

  // Enough for any table a user keeps; past it the cache starts over, so memory stays bounded.
  static constexpr size_t kMaxKept = 4096;

 private:
  // Looked up by a view of the caller's text, so a hit copies nothing.
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>()(text); }
  };
  struct Same {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const { return a == b; }
  };
  // One map for each setting of the two switches.
  std::unordered_map<std::u16string, std::shared_ptr<const Matcher>, Hash, Same> kept_[4];
};

}  // namespace ooxml::word
