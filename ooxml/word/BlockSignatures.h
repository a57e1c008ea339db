#pragma once
// A long story's paragraphs' trios in one table sliced by bit: for each hash value, which of
// up to 64 neighbouring paragraphs hold a trio with it. A row's pass over the story then rules
// out 64 paragraphs at once with one AND per trio of its find text, instead of looking at each
// paragraph's own filter.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "ooxml/word/TrigramSet.h"

namespace ooxml::word {

class BlockSignatures {
 public:
  static constexpr size_t npos = SIZE_MAX;
  using TextOf = std::function<std::u16string_view(size_t block)>;

  bool built() const { return bits_ != 0; }
  void clear();
  // Made for `count` blocks, on the machine's cores; textOf must be safe to call from several
  // threads at once (views of text that does not move).
  void build(size_t count, size_t totalLength, const TextOf& textOf);

  // A block's text gained `text` (the trios around an edit); `length` is its whole new length.
  void add(size_t block, std::u16string_view text, size_t length);
  // Blocks [first, first + oldCount) became newCount blocks (their texts through textOf, by
  // their new numbers).
  void replace(size_t first, size_t oldCount, size_t newCount, const TextOf& textOf);

  // The first block from `from` on whose trios may hold all of keys (npos when none may), and
  // whether it is too long for this table to tell anything of: such a block is always offered,
  // and its own filter must decide.
  struct Offer {
    size_t block;
    bool wide;
  };
  Offer next(const TrigramKeys& keys, size_t from) const;
  bool isWide(size_t block) const;

 private:
  struct Group {
    uint32_t count = 0;
    uint64_t wide = 0;             // blocks whose trios would fill their column
    std::vector<uint64_t> slices;  // bits_ words: bit i of word h is block i holding hash h
  };
  static constexpr uint32_t kGroupSize = 64;
  static constexpr uint32_t kRefill = 48;  // blocks a group made anew takes, leaving room for edits

  size_t groupOf(size_t block) const;  // the group holding block (the last for block == count)
  void fill(Group& g, uint32_t slot, std::u16string_view text);
  void setWide(Group& g, uint32_t slot, size_t length);
  void renumberFrom(size_t group);

  size_t bits_ = 0;  // hash values told apart, a power of two; 0 until built
  std::vector<Group> groups_;
  std::vector<size_t> firstBlock_;  // of each group
  size_t count_ = 0;
};

}  // namespace ooxml::word
