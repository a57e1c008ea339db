// Wildcard find over a long story, against baselines measured in the same run: the literal
// std::u16string_view::find for a plain word, std::regex for the same patterns on a slice of
// the text (std::regex has no UTF-16 form; the story is ASCII apart from its paragraph
// marks, so a std::string copy is the same text), and, for a hostile pattern, std::regex's
// backtracking growth on a few short inputs. Prints nanoseconds per story unit and ratios.
#include <chrono>
#include <cstdio>
#include <regex>
#include <string>

#include "ooxml/wordfind/WildcardMatcher.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// About 3,000 units a page: words of 2 to 9 letters, some capitalised, a paragraph mark
// every 60 words, a deterministic generator so every run searches the same text.
std::u16string makeStory(size_t pages) {
  static const char16_t* words[] = {u"translation", u"table", u"Document", u"word", u"replace", u"the", u"of",
                                    u"Header", u"footnote", u"Quick", u"brown", u"fox", u"and", u"page", u"Text"};
  std::u16string s;
  s.reserve(pages * 3100);
  uint32_t state = 12345;
  size_t count = 0;
  while (s.size() < pages * 3000) {
    state = state * 1103515245u + 12345u;
    s += words[(state >> 16) % 15];
    s += ++count % 60 == 0 ? u'\r' : u' ';
  }
  return s;
}

size_t countHits(const ooxml::wordfind::WildcardMatcher& m, std::u16string_view story) {
  size_t hits = 0, from = 0;
  while (auto hit = m.find(story, from, story.size())) {
    ++hits;
    from = hit->second;
  }
  return hits;
}

size_t countRegex(const std::regex& re, const std::string& text) {
  return static_cast<size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}

std::string narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

void compare(const char* name, const char16_t* pattern, const char* regex, const std::u16string& story, size_t sliceUnits) {
  ooxml::wordfind::WildcardMatcher m(pattern);
  auto t = Clock::now();
  size_t hits = countHits(m, story);
  double ours = secondsSince(t) * 1e9 / story.size();
  std::string slice = narrow(std::u16string_view(story).substr(0, sliceUnits));
  std::regex re(regex);
  t = Clock::now();
  size_t regexHits = countRegex(re, slice);
  double theirs = secondsSince(t) * 1e9 / slice.size();
  std::printf("%-28s %9zu hits %8.2f ns/unit | std::regex %7zu hits on %zu units %8.2f ns/unit | ratio ours/regex %.2f\n", name,
              hits, ours, regexHits, slice.size(), theirs, ours / theirs);
}

}  // namespace

int main() {
  const std::u16string story = makeStory(1000);
  std::printf("story: 1000 pages, %zu UTF-16 units\n\n", story.size());

  {  // a plain word: wildcard machinery against the literal finder
    ooxml::wordfind::WildcardMatcher m(u"translation");
    auto t = Clock::now();
    size_t hits = countHits(m, story);
    double ours = secondsSince(t) * 1e9 / story.size();
    t = Clock::now();
    size_t literal = 0;
    for (size_t at = story.find(u"translation"); at != std::u16string::npos; at = story.find(u"translation", at + 11)) ++literal;
    double base = secondsSince(t) * 1e9 / story.size();
    std::printf("%-28s %9zu hits %8.2f ns/unit | u16string_view::find %zu hits %8.2f ns/unit | ratio %.2f\n", "translation", hits,
                ours, literal, base, ours / base);
  }
  compare("<[A-Z][a-z]@>", u"<[A-Z][a-z]@>", "\\b[A-Z][a-z]+\\b", story, 200'000);
  compare("[!^13]@^13 (paragraphs)", u"[!^13]@^13", "[^\\r]+\\r", story, 200'000);
  compare("<t*e> (lazy)", u"<t*e>", "\\bt.*?e\\b", story, 200'000);
  compare("f?x", u"f?x", "f.x", story, 200'000);

  std::printf("\nhostile patterns on a story of 'a' with no hit:\n");
  for (size_t n : {100'000u, 1'000'000u}) {
    std::u16string as(n, u'a');
    for (const char16_t* p : {u"(a@)@b", u"*a*a*a*a*a*b", u"(?{1,5}){1,5}b"}) {
      ooxml::wordfind::WildcardMatcher m(p);
      auto t = Clock::now();
      bool found = m.find(as, 0, as.size()).has_value();
      double s = secondsSince(t);
      std::string name(p, p + std::char_traits<char16_t>::length(p));
      std::printf("  %-18s n=%8zu  %s  %8.3f s  %6.2f ns/unit\n", name.c_str(), n, found ? "hit" : "no hit", s, s * 1e9 / n);
    }
  }
  std::printf("std::regex \"(a+)+b\" on the same text (backtracking):\n");
  double previous = 0;
  for (size_t n : {14u, 16u, 18u, 20u, 22u}) {
    std::string as(n, 'a');
    std::regex re("(a+)+b");
    auto t = Clock::now();
    bool found = std::regex_search(as, re);
    double s = secondsSince(t);
    std::printf("  n=%2zu  %s  %8.4f s%s\n", n, found ? "hit" : "no hit", s,
                previous > 0 ? ("  x" + std::to_string(s / previous) + " for 2 more units").c_str() : "");
    previous = s;
  }
  return 0;
}
