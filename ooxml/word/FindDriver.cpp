#include "ooxml/word/FindDriver.h"

#include <algorithm>

namespace ooxml::word {

std::optional<Hit> searchStory(Story& story, const Matcher& m, size_t from, size_t startLimit, size_t readTo) {
  auto scan = [&](size_t from, size_t startLimit, size_t readTo) -> std::optional<Hit> {
    size_t base = from > 0 ? from - 1 : 0;  // one character before, for the whole-word test
    auto h = m.search(story.searchable(base, readTo), from - base, startLimit - base);
    if (!h) return std::nullopt;
    // The matcher saw no further than readTo (a selection's end): a hit ending there is still
    // judged by the character that follows it in the story. A later start cannot end sooner,
    // so no other hit in this stretch can be taken either.
    if (h->end + base == readTo && readTo < story.length() && m.refusesHitBefore(story.at(readTo))) return std::nullopt;
    return Hit{h->start + base, h->end + base};
  };
  const TrigramKeys& keys = m.trigramKeys();
  if (keys.empty()) return scan(from, startLimit, readTo);
  for (size_t pos = from; pos < startLimit;) {
    auto [start, end] = story.nextCandidateBlock(keys, pos);
    if (start >= startLimit) break;
    if (auto h = scan(std::max(pos, start), std::min(end, startLimit), std::min(end, readTo))) return h;
    pos = end;
  }
  return std::nullopt;
}

bool findNext(Story& story, SelectionState& sel, const Matcher& m, Wrap wrap) {
  return findNext(story, sel, [&](size_t from, size_t startLimit, size_t readTo) { return searchStory(story, m, from, startLimit, readTo); },
                  wrap);
}

bool findNext(Story& story, SelectionState& sel, const HitSearch& search, Wrap wrap, const HitFilter& accept) {
  size_t length = story.length();
  size_t start = std::min(sel.start, length), end = std::min(sel.end, length);
  auto hitIn = [&](size_t from, size_t startLimit, size_t readTo) -> std::optional<Hit> {
    while (from < startLimit) {
      auto h = search(from, startLimit, readTo);
      if (!h || !accept || accept(*h)) return h;
      from = h->start + 1;
    }
    return std::nullopt;
  };
  std::optional<Hit> hit;
  // A selection that is not the previous hit (say, text just assigned) is searched inside first.
  bool previous = sel.lastHit && sel.lastHit->first == start && sel.lastHit->second == end;
  if (start < end && !previous) {
    hit = hitIn(start, end, end);
    if (hit && hit->end > end) hit.reset();
  }
  if (!hit && end < length) hit = hitIn(end, length, length);
  if (!hit && wrap == Wrap::Continue && end > 0) hit = hitIn(0, std::min(end, length), length);
  if (!hit) return false;
  sel.start = hit->start;
  sel.end = hit->end;
  sel.lastHit = std::make_pair(hit->start, hit->end);
  return true;
}

}  // namespace ooxml::word
