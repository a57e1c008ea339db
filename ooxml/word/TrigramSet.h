#pragma once
// Which trios of case-folded characters a piece of text holds, as the bits of a small Bloom
// filter. A plain find text with a trio the filter lacks cannot occur in that text, so a row's
// pass over a long story searches only the paragraphs that may hold it.
#include <cstdint>
#include <memory>
#include <utility>
#include <string_view>
#include <vector>

namespace ooxml::word {

char16_t foldNonAscii(char16_t c);
// The folding both the filter and the plain-text matcher compare by.
inline char16_t foldUnit(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
  return foldNonAscii(c);
}

// The hashed trios of a find text, folded; empty when the text is too short to have one.
class TrigramKeys {
 public:
  TrigramKeys() = default;
  explicit TrigramKeys(std::u16string_view foldedText);
  bool empty() const { return hashes_.empty(); }
  const std::vector<uint32_t>& hashes() const { return hashes_; }
  // A trio that just ruled a paragraph out is tried first from then on: the trios a find
  // text shares with most paragraphs ("ter" of many "termNNN") are then rarely looked at.
  void promote(size_t i) const {
    if (i > 0) std::swap(hashes_[0], hashes_[i]);
  }

 private:
  mutable std::vector<uint32_t> hashes_;  // the order is a guess that promote() refines
};

class TrigramSet {
 public:
  void build(std::u16string_view text);  // folds as it goes
  // Adds the trios of text put in place (with the two characters either side of it): trios
  // the edit removed stay, which only costs a needless search of this paragraph now and then.
  void add(std::u16string_view text);
  void clear() {
    words_.reset();
    mask_ = 0;
  }
  bool built() const { return mask_ != 0; }
  // Whether the text has grown to twice what the filter was made for, so that its bits fill up.
  bool crowded(size_t length) const { return built() && length > 2 * madeFor_; }
  bool mayHold(const TrigramKeys& keys) const {
    const uint64_t* bits = words();
    const std::vector<uint32_t>& hashes = keys.hashes();
    for (size_t i = 0; i < hashes.size(); ++i) {
      uint32_t bit = hashes[i] & mask_;
      if (!(bits[bit >> 6] >> (bit & 63) & 1)) {
        keys.promote(i);
        return false;
      }
    }
    return true;
  }

 private:
  const uint64_t* words() const { return words_.get(); }
  uint64_t* words() { return words_.get(); }

  void addAll(std::u16string_view text);

  // On the heap, so that a paragraph's record stays small: editing a long story moves the
  // records of every paragraph after the edit.
  std::unique_ptr<uint64_t[]> words_;
  uint32_t mask_ = 0;  // bits - 1; 0 until built
  size_t madeFor_ = 0;  // the length of the text it was made from
};

uint32_t trigramHash(char16_t a, char16_t b, char16_t c);

// A trio packed into 48 bits, so that a pass over a text shifts in one character at a time;
// one multiplication mixes all 48 bits into the 24 kept.
inline uint32_t hashOfTrio(uint64_t trio) { return static_cast<uint32_t>(trio * 0x9E3779B97F4A7C15ull >> 40); }

// Calls f with the hash of each trio of text, folded, in order.
template <class F>
void forEachTrioHash(std::u16string_view text, F f) {
  if (text.size() < 3) return;
  constexpr uint64_t kTrioMask = (uint64_t(1) << 48) - 1;
  uint64_t trio = uint64_t(foldUnit(text[0])) << 16 | foldUnit(text[1]);
  for (size_t i = 2; i < text.size(); ++i) {
    trio = (trio << 16 | foldUnit(text[i])) & kTrioMask;
    f(hashOfTrio(trio));
  }
}

}  // namespace ooxml::word
