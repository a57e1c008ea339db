#pragma once
// The find driver: decides where a Find.Execute on a selection looks in its story (inside a
// selection that is not the previous hit, then after it, then from the story's start with
// wrap) and what a hit does to the selection. The matcher answers ranges; the caller acts.
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

}  // namespace ooxml::word
