#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace platform {
namespace {

struct CaseRun {
  char16_t first, last;
  int step;
  int delta;
};

#include "platform/CaseTables.inc"

// The runs unpacked into pages of 256 offsets by high byte, pages that change nothing sharing
// one: the search, at about a hundred instructions, was most of what case-folding a text cost.
class CaseTable {
 public:
  template <size_t N>
  explicit CaseTable(const CaseRun (&runs)[N]) : pages_(1) {
    std::vector<uint16_t> offsets(0x10000);
    for (const CaseRun& r : runs)
      for (uint32_t c = r.first; c <= r.last; c += std::max(r.step, 1)) offsets[c] = static_cast<uint16_t>(r.delta);
    for (size_t high = 0; high < 256; ++high) {
      const auto page = offsets.begin() + high * 256;
      if (std::all_of(page, page + 256, [](uint16_t o) { return o == 0; })) continue;
      pageOf_[high] = static_cast<uint8_t>(pages_.size());
      std::copy(page, page + 256, pages_.emplace_back().begin());
    }
  }
  char16_t map(char16_t c) const { return static_cast<char16_t>(c + pages_[pageOf_[c >> 8]][c & 0xFF]); }

 private:
  std::array<uint8_t, 256> pageOf_{};
  std::vector<std::array<uint16_t, 256>> pages_;
};

}  // namespace

char16_t toUpper(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
  static const CaseTable table(kUpperRuns);
  return table.map(c);
}

char16_t toLower(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
  static const CaseTable table(kLowerRuns);
  return table.map(c);
}

WideString toUpper(std::u16string_view text) {
  WideString out(text);
  for (auto& c : out) c = toUpper(c);
  return out;
}

WideString toLower(std::u16string_view text) {
  WideString out(text);
  for (auto& c : out) c = toLower(c);
  return out;
}

bool isDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return true;
  // Decimal digit blocks: Arabic-Indic, extended, Devanagari..., fullwidth.
  static constexpr char16_t kZeros[] = {0x0660, 0x06F0, 0x07C0, 0x0966, 0x09E6, 0x0A66, 0x0AE6,
                                        0x0B66, 0x0BE6, 0x0C66, 0x0CE6, 0x0D66, 0x0E50, 0x0ED0,
                                        0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};
  for (char16_t z : kZeros)
    if (c >= z && c <= z + 9) return true;
  return false;
}

bool isLetter(char16_t c) {
  if (c < 0x80) return (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
  if (c == 0xAA || c == 0xBA || c == 0xDF) return true;
  if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;
  if (toUpper(c) != c || toLower(c) != c) return true;
  // Caseless letters of common scripts and CJK; punctuation blocks are excluded.
  if (c >= 0x0100 && c <= 0x02AF) return true;                        // Latin extended, IPA
  if (c >= 0x05D0 && c <= 0x05EA) return true;                        // Hebrew
  if ((c >= 0x0620 && c <= 0x064A) || (c >= 0x0671 && c <= 0x06D3)) return true;  // Arabic
  if (c >= 0x0900 && c <= 0x0DFF && !isDigit(c)) return true;         // Indic
  if (c >= 0x0E01 && c <= 0x0E30) return true;                        // Thai
  if (c >= 0x1100 && c <= 0x11FF) return true;                        // Hangul Jamo
  if (c >= 0x3041 && c <= 0x30FF && c != 0x30FB) return true;         // kana
  if (c >= 0x3400 && c <= 0x9FFF) return true;                        // CJK ideographs
  if (c >= 0xAC00 && c <= 0xD7A3) return true;                        // Hangul syllables
  if (c >= 0xF900 && c <= 0xFAFF) return true;                        // CJK compatibility
  return false;
}

}  // namespace platform
