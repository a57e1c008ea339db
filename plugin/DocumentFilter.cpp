#include "plugin/DocumentFilter.h"

namespace {

// Iterative matcher with one backtrack point per '*': linear in practice, never exponential.
bool matchMask(const WideString& pattern, const WideString& text) {
  size_t p = 0, t = 0, starP = WideString::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starT = t;
    } else if (starP != WideString::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

DocumentFilter::DocumentFilter(const AnsiString& masks) {
  size_t start = 0;
  while (start <= masks.size()) {
    size_t end = masks.find(';', start);
    if (end == AnsiString::npos) end = masks.size();
    if (end > start) patterns_.push_back(platform::toLower(platform::ansiToWide(masks.substr(start, end - start))));
    start = end + 1;
  }
}

bool DocumentFilter::Matches(const AnsiString& path) const {
  WideString lower = platform::toLower(platform::ansiToWide(path));
  for (auto& p : patterns_)
    if (matchMask(p, lower)) return true;
  return false;
}
