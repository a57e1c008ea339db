#include "ooxml/word/TrigramSet.h"

#include <algorithm>
#include <bit>

#include "platform/Text.h"

namespace ooxml::word {

char16_t foldNonAscii(char16_t c) { return platform::toLower(c); }

uint32_t trigramHash(char16_t a, char16_t b, char16_t c) {
  return hashOfTrio(uint64_t(a) << 32 | uint64_t(b) << 16 | c);
}

TrigramKeys::TrigramKeys(std::u16string_view folded) {
  // A dozen trios rule out nearly every paragraph; more only cost time.
  constexpr size_t kMaxKeys = 12;
  for (size_t i = 0; i + 2 < folded.size() && hashes_.size() < kMaxKeys; ++i) {
    uint32_t h = trigramHash(folded[i], folded[i + 1], folded[i + 2]);
    if (std::find(hashes_.begin(), hashes_.end(), h) == hashes_.end()) hashes_.push_back(h);
  }
}

void TrigramSet::build(std::u16string_view text) {
  // Eight bits a character keep the filter about an eighth full: a find text often has just
  // one trio that tells paragraphs apart, and that one alone must rule most of them out.
  size_t want = std::clamp<size_t>(std::bit_ceil(std::max<size_t>(text.size(), 1) * 8), 64, size_t(1) << 16);
  mask_ = static_cast<uint32_t>(want - 1);
  madeFor_ = std::max<size_t>(text.size(), 16);
  words_ = std::make_unique<uint64_t[]>(want / 64);  // zeroed
  addAll(text);
}

void TrigramSet::add(std::u16string_view text) {
  if (built()) addAll(text);
}

void TrigramSet::addAll(std::u16string_view text) {
  uint64_t* bits = words();
  const uint32_t mask = mask_;
  forEachTrioHash(text, [&](uint32_t hash) {
    uint32_t bit = hash & mask;
    bits[bit >> 6] |= uint64_t(1) << (bit & 63);
  });
}

}  // namespace ooxml::word
