#pragma once
// The find driver: decides where a Find.Execute on a selection looks in its story (inside a
// selection that is not the previous hit, then after it, then from the story's start with
// wrap) and what a hit does to the selection. The matcher answers ranges; the caller acts.
#include <functional>
#include <optional>
#include <utility>

#include "ooxml/word/Matcher.h"
#include "ooxml/word/Story.h"

namespace ooxml::word {

struct SelectionState {
  size_t start = 0, end = 0;
  std::optional<std::pair<size_t, size_t>> lastHit;  // the range the previous successful find selected
};

enum class Wrap { Stop = 0, Continue = 1 };

// Moves the selection to the next hit and returns true, or leaves it and returns false.
bool findNext(Story& story, SelectionState& selection, const Matcher& matcher, Wrap wrap);

// A plain matcher's first hit that starts in [from, startLimit), reading the story up to
// readTo, searching only the paragraphs that may hold the find text.
std::optional<Hit> searchStory(Story& story, const Matcher& matcher, size_t from, size_t startLimit, size_t readTo);

// Any matcher: the first hit that starts in [from, startLimit), reading the story's text up
// to readTo (a hit must not end after it), in story positions.
using HitSearch = std::function<std::optional<Hit>(size_t from, size_t startLimit, size_t readTo)>;
// Whether a hit is taken (say, it carries the required formatting); a refused hit makes the
// search go on from the position after its start.
using HitFilter = std::function<bool(const Hit&)>;
bool findNext(Story& story, SelectionState& selection, const HitSearch& search, Wrap wrap, const HitFilter& accept = {});

}  // namespace ooxml::word
