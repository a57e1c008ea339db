#include "ooxml/word/BlockSignatures.h"

#include <algorithm>
#include <bit>

#include "platform/ParallelFor.h"

namespace ooxml::word {

namespace {
// An average block's trios take about a sixteenth of its column: a find text's one telling
// trio then rules out nearly every block that lacks it. Past this the table would cost more
// memory than it saves time.
constexpr size_t kMinBits = 256, kMaxBits = 8192;
constexpr size_t kMaxBytes = 16u << 20;

uint64_t slotsBelow(size_t n) { return n >= 64 ? ~uint64_t(0) : (uint64_t(1) << n) - 1; }
uint64_t shiftedUp(uint64_t v, size_t n) { return n >= 64 ? 0 : v << n; }
uint64_t shiftedDown(uint64_t v, size_t n) { return n >= 64 ? 0 : v >> n; }

// Columns [slot, slot + oldCount) of a word taken out and newCount empty ones put in their place.
uint64_t respliced(uint64_t w, size_t slot, size_t oldCount, size_t newCount) {
  return (w & slotsBelow(slot)) | shiftedUp(shiftedDown(w, slot + oldCount), slot + newCount);
}
}  // namespace

void BlockSignatures::clear() {
  bits_ = 0;
  groups_.clear();
  firstBlock_.clear();
  count_ = 0;
}

void BlockSignatures::build(size_t count, size_t totalLength, const TextOf& textOf) {
  clear();
  if (count == 0) return;
  size_t bits = std::clamp<size_t>(std::bit_ceil(std::max<size_t>(totalLength / count, 1) * 16), kMinBits, kMaxBits);
  while (bits > kMinBits && count * bits / 8 > kMaxBytes) bits /= 2;
  bits_ = bits;
  count_ = count;
  const size_t groups = (count + kGroupSize - 1) / kGroupSize;
  groups_.resize(groups);
  firstBlock_.resize(groups);
  for (size_t g = 0; g < groups; ++g) firstBlock_[g] = g * kGroupSize;
  platform::parallelFor(groups, platform::usefulThreads(groups / 8 + 1, 4), [&](size_t g) {
    Group& group = groups_[g];
    group.count = static_cast<uint32_t>(std::min<size_t>(kGroupSize, count - g * kGroupSize));
    group.slices.assign(bits_, 0);
    for (uint32_t slot = 0; slot < group.count; ++slot) {
      std::u16string_view text = textOf(g * kGroupSize + slot);
      setWide(group, slot, text.size());
      fill(group, slot, text);
    }
  });
}

size_t BlockSignatures::groupOf(size_t block) const {
  auto it = std::upper_bound(firstBlock_.begin(), firstBlock_.end(), block);
  return it == firstBlock_.begin() ? 0 : static_cast<size_t>(it - firstBlock_.begin()) - 1;
}

void BlockSignatures::fill(Group& g, uint32_t slot, std::u16string_view text) {
  if (g.wide >> slot & 1) return;  // its own filter decides; nothing here would
  const uint64_t bit = uint64_t(1) << slot;
  const size_t mask = bits_ - 1;
  uint64_t* slices = g.slices.data();
  forEachTrioHash(text, [&](uint32_t hash) { slices[hash & mask] |= bit; });
}

void BlockSignatures::setWide(Group& g, uint32_t slot, size_t length) {
  if (length > bits_ / 2) g.wide |= uint64_t(1) << slot;
}

void BlockSignatures::add(size_t block, std::u16string_view text, size_t length) {
  if (!built() || block >= count_) return;
  const size_t gi = groupOf(block);
  Group& g = groups_[gi];
  const uint32_t slot = static_cast<uint32_t>(block - firstBlock_[gi]);
  setWide(g, slot, length);
  fill(g, slot, text);
}

void BlockSignatures::replace(size_t first, size_t oldCount, size_t newCount, const TextOf& textOf) {
  if (!built()) return;
  if (oldCount == newCount) {
    // The same blocks read anew: their columns are emptied and filled from their new text.
    for (size_t k = 0; k < newCount; ++k) {
      const size_t gi = groupOf(first + k);
      Group& g = groups_[gi];
      const uint32_t slot = static_cast<uint32_t>(first + k - firstBlock_[gi]);
      const uint64_t keep = ~(uint64_t(1) << slot);
      for (uint64_t& w : g.slices) w &= keep;
      g.wide &= keep;
      std::u16string_view text = textOf(first + k);
      setWide(g, slot, text.size());
      fill(g, slot, text);
    }
    return;
  }
  const size_t g0 = groupOf(first);
  const size_t g1 = oldCount == 0 ? g0 : groupOf(first + oldCount - 1);
  const size_t from = firstBlock_[g0];
  const size_t oldTotal = firstBlock_[g1] + groups_[g1].count - from;
  const size_t total = oldTotal - oldCount + newCount;
  if (g0 == g1 && total >= 1 && total <= kGroupSize) {
    // Blocks came or went inside one group with room: its columns move over in place.
    Group& g = groups_[g0];
    const size_t slot = first - from;
    for (uint64_t& w : g.slices) w = respliced(w, slot, oldCount, newCount);
    g.wide = respliced(g.wide, slot, oldCount, newCount);
    g.count = static_cast<uint32_t>(total);
    for (size_t k = 0; k < newCount; ++k) {
      std::u16string_view text = textOf(first + k);
      setWide(g, static_cast<uint32_t>(slot + k), text.size());
      fill(g, static_cast<uint32_t>(slot + k), text);
    }
    count_ = count_ - oldCount + newCount;
    renumberFrom(g0 + 1);
    return;
  }
  // Blocks came or went across groups, or past one's room: those groups are made anew from
  // their blocks' texts, in groups of even size, so that no group is left with a few blocks.
  std::vector<Group> fresh((total + kRefill - 1) / kRefill);
  for (size_t f = 0, at = 0; f < fresh.size(); ++f) {
    Group& g = fresh[f];
    g.count = static_cast<uint32_t>(total / fresh.size() + (f < total % fresh.size() ? 1 : 0));
    g.slices.assign(bits_, 0);
    for (uint32_t slot = 0; slot < g.count; ++slot, ++at) {
      std::u16string_view text = textOf(from + at);
      setWide(g, slot, text.size());
      fill(g, slot, text);
    }
  }
  groups_.erase(groups_.begin() + static_cast<ptrdiff_t>(g0), groups_.begin() + static_cast<ptrdiff_t>(g1 + 1));
  groups_.insert(groups_.begin() + static_cast<ptrdiff_t>(g0), std::make_move_iterator(fresh.begin()),
                 std::make_move_iterator(fresh.end()));
  count_ = count_ - oldCount + newCount;
  firstBlock_.resize(groups_.size());
  renumberFrom(g0);
  if (groups_.empty()) clear();
}

void BlockSignatures::renumberFrom(size_t group) {
  size_t at = group == 0 ? 0 : firstBlock_[group - 1] + groups_[group - 1].count;
  for (size_t g = group; g < groups_.size(); ++g) {
    firstBlock_[g] = at;
    at += groups_[g].count;
  }
}

BlockSignatures::Offer BlockSignatures::next(const TrigramKeys& keys, size_t from) const {
  if (!built() || from >= count_) return {npos, false};
  const std::vector<uint32_t>& hashes = keys.hashes();
  const size_t mask = bits_ - 1;
  size_t g = groupOf(from);
  uint64_t range = ~slotsBelow(static_cast<uint32_t>(from - firstBlock_[g]));
  for (; g < groups_.size(); ++g, range = ~uint64_t(0)) {
    const Group& group = groups_[g];
    const uint64_t live = range & slotsBelow(group.count);
    uint64_t maybe = live & ~group.wide;
    for (size_t i = 0; maybe != 0 && i < hashes.size(); ++i) {
      maybe &= group.slices[hashes[i] & mask];
      if (maybe == 0) keys.promote(i);
    }
    maybe |= live & group.wide;
    if (maybe != 0) {
      const int slot = std::countr_zero(maybe);
      return {firstBlock_[g] + static_cast<size_t>(slot), (group.wide >> slot & 1) != 0};
    }
  }
  return {npos, false};
}

bool BlockSignatures::isWide(size_t block) const {
  if (!built() || block >= count_) return false;
  const size_t g = groupOf(block);
  return groups_[g].wide >> (block - firstBlock_[g]) & 1;
}

}  // namespace ooxml::word
