#pragma once
// What Find.Font asks of a hit when Execute gets Format true, and the checks over a story's
// characters. Characters without a run (paragraph and cell marks) carry no requirement:
// they neither fail a hit nor belong to a formatting-only hit.
#include <optional>
#include <string>

#include "ooxml/word/FindDriver.h"
#include "ooxml/word/RunFormatting.h"
#include "ooxml/word/Story.h"

namespace ooxml::word {

struct FormatRequirements {
  std::optional<std::u16string> name;
  std::optional<double> size;
  std::optional<int32_t> color, underline, shading;
  std::optional<bool> bold, italic;

  bool empty() const { return !name && !size && !color && !underline && !shading && !bold && !italic; }
  void clear() { *this = {}; }
  bool heldBy(const RunFont& f) const;
};

// Answers whether characters carry the requirements; remembers each run's formatting for
// the length of one search (runs do not change while it lasts).
class FormatCheck {
 public:
  FormatCheck(Story& story, const StyleSheet& styles, const FormatRequirements& want);
  bool heldAt(size_t pos);                 // a character without a run holds nothing
  bool heldOver(size_t start, size_t end);  // every run-backed character of [start, end)
  // The first stretch of characters carrying the requirements that starts in [from,
  // startLimit), running as far as they go up to readTo.
  std::optional<Hit> firstStretch(size_t from, size_t startLimit, size_t readTo);

 private:
  Story& story_;
  const StyleSheet& styles_;
  const FormatRequirements& want_;
  std::unordered_map<xml::NodeData*, bool> byRun_;
};

}  // namespace ooxml::word
