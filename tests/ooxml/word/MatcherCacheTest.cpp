// Matchers are kept across documents by their find settings; the cache must never hand out
// a matcher made for other settings, and must stay bounded.
#include <gtest/gtest.h>

#include "automation/Dispatch.h"
#include "ooxml/word/MatcherCache.h"

using ooxml::word::MatcherCache;

TEST(MatcherCache, KeepsOneMatcherPerTextAndSwitches) {
  MatcherCache cache;
  auto plain = cache.get(u"term", false, false);
  EXPECT_EQ(plain, cache.get(u"term", false, false));
  EXPECT_NE(plain, cache.get(u"term", true, false));
  EXPECT_NE(plain, cache.get(u"term", false, true));
  EXPECT_NE(plain, cache.get(u"Term", false, false));
  EXPECT_EQ(4u, cache.size());

  // The case switch really reaches the matcher it keeps.
  const std::u16string text = u"a TERM here";
  EXPECT_TRUE(cache.get(u"term", false, false)->search(text, 0, text.size()).has_value());
  EXPECT_FALSE(cache.get(u"term", true, false)->search(text, 0, text.size()).has_value());
}

TEST(MatcherCache, KeepsNothingForAFindTextThatIsRefused) {
  MatcherCache cache;
  EXPECT_THROW(cache.get(u"bad^", false, false), automation::AutomationError);
  EXPECT_THROW(cache.get(u"bad^", false, false), automation::AutomationError);
  EXPECT_EQ(0u, cache.size());
}

TEST(MatcherCache, StartsOverWhenFull) {
  MatcherCache cache;
  for (size_t i = 0; i <= MatcherCache::kMaxKept; ++i) cache.get(u"t" + std::u16string(1, char16_t(u'a' + i % 26)) + std::u16string(i / 26 + 1, u'x'), false, false);
  EXPECT_LE(cache.size(), MatcherCache::kMaxKept);
  EXPECT_GE(cache.size(), 1u);
}
