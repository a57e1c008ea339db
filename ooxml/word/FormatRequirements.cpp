#include "ooxml/word/FormatRequirements.h"

#include <cmath>

#include "platform/Text.h"

namespace ooxml::word {

bool FormatRequirements::heldBy(const RunFont& f) const {
  // Font names compare as Word does, without regard to case; sizes to the half point.
  if (name && platform::toLower(*name) != platform::toLower(f.name)) return false;
  if (size && std::lround(*size * 2) != std::lround(f.size * 2)) return false;
  if (color && *color != f.color) return false;
  if (underline && *underline != f.underline) return false;
  if (shading && *shading != f.shading) return false;
  if (bold && *bold != f.bold) return false;
  if (italic && *italic != f.italic) return false;
  return true;
}

FormatCheck::FormatCheck(Story& story, const StyleSheet& styles, const FormatRequirements& want)
    : story_(story), styles_(styles), want_(want) {}

bool FormatCheck::heldAt(size_t pos) {
  xml::Node run = story_.runAt(pos);
  if (!run) return false;
  auto [it, fresh] = byRun_.try_emplace(run.data(), false);
  if (fresh) it->second = want_.heldBy(styles_.effective(run));
  return it->second;
}

bool FormatCheck::heldOver(size_t start, size_t end) {
  // Marks are judged by the text around them; a hit of marks alone holds nothing we can
  // judge, and counting it as held made a "bold ^p" row join every paragraph.
  bool judged = false;
  for (size_t p = start; p < end; ++p) {
    if (!story_.runAt(p)) continue;
    if (!heldAt(p)) return false;
    judged = true;
  }
  return judged;
}

std::optional<Hit> FormatCheck::firstStretch(size_t from, size_t startLimit, size_t readTo) {
  for (size_t p = from; p < startLimit; ++p) {
    if (!heldAt(p)) continue;
    size_t e = p + 1;
    while (e < readTo && heldAt(e)) ++e;
    return Hit{p, e};
  }
  return std::nullopt;
}

}  // namespace ooxml::word
