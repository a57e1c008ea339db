// The table of a long story's paragraph trios may offer a paragraph that lacks a find text,
// never pass over one that holds it: checked against the texts themselves while paragraphs
// grow, split, join and vanish, groups overflow and empty, and some grow too long to tell.
#include <gtest/gtest.h>

#include <random>

#include "ooxml/word/BlockSignatures.h"

using namespace ooxml::word;

namespace {

std::u16string fold(std::u16string s) {
  for (char16_t& c : s) c = foldUnit(c);
  return s;
}

struct Model {
  std::vector<std::u16string> texts;
  BlockSignatures table;
  BlockSignatures::TextOf textOf() {
    return [this](size_t i) { return std::u16string_view(texts[i]); };
  }
  size_t length() const {
    size_t n = 0;
    for (const auto& t : texts) n += t.size();
    return n;
  }
  // Every block from `from` on that holds the needle is offered before it is passed.
  void check(const std::u16string& needle, size_t from) {
    TrigramKeys keys(fold(needle));
    size_t at = from;
    for (size_t i = from; i < texts.size(); ++i) {
      if (fold(texts[i]).find(fold(needle)) == std::u16string::npos) continue;
      if (at <= i) at = table.next(keys, at).block;
      ASSERT_LE(at, i) << "block " << i << " holds the needle but was passed over";
      if (at == i) ++at;
    }
  }
};

std::u16string randomText(std::mt19937& rng, size_t length) {
  const std::u16string alphabet = u"abcdeAB\u00e4\u03a3 ";
  std::u16string s;
  for (size_t i = 0; i < length; ++i) s += alphabet[rng() % alphabet.size()];
  return s;
}

}  // namespace

TEST(BlockSignatures, NeverPassesOverABlockHoldingTheTextAcrossEdits) {
  std::mt19937 rng(3);
  Model m;
  for (int i = 0; i < 300; ++i) m.texts.push_back(randomText(rng, rng() % 40));
  m.texts[5] = randomText(rng, 3000);  // too long for its column
  m.table.build(m.texts.size(), m.length(), m.textOf());
  ASSERT_TRUE(m.table.built());
  EXPECT_TRUE(m.table.isWide(5));
  for (int step = 0; step < 1500; ++step) {
    const size_t n = m.texts.size();
    const size_t at = rng() % n;
    switch (rng() % 4) {
      case 0: {  // text put into one block
        std::u16string piece = randomText(rng, 1 + rng() % 8);
        const size_t pos = rng() % (m.texts[at].size() + 1);
        m.texts[at].insert(pos, piece);
        const size_t from = pos >= 2 ? pos - 2 : 0;
        m.table.add(at, std::u16string_view(m.texts[at]).substr(from, piece.size() + 4), m.texts[at].size());
        break;
      }
      case 1: {  // blocks split or joined: count changes
        const size_t oldCount = std::min<size_t>(n - at, rng() % 3);
        const size_t newCount = rng() % (step % 50 < 25 ? 4 : 2);  // growing spells, shrinking spells
        if (n - oldCount + newCount == 0) break;
        std::vector<std::u16string> fresh;
        for (size_t k = 0; k < newCount; ++k) fresh.push_back(randomText(rng, rng() % 30));
        m.texts.erase(m.texts.begin() + at, m.texts.begin() + at + oldCount);
        m.texts.insert(m.texts.begin() + at, fresh.begin(), fresh.end());
        m.table.replace(at, oldCount, newCount, m.textOf());
        break;
      }
      case 2: {  // many blocks made at one place: the group there overflows again and again
        std::vector<std::u16string> fresh;
        for (int k = 0; k < 70; ++k) fresh.push_back(randomText(rng, rng() % 10));
        m.texts.insert(m.texts.begin() + at, fresh.begin(), fresh.end());
        m.table.replace(at, 0, fresh.size(), m.textOf());
        break;
      }
      default: {  // a block read anew in place
        m.texts[at] = randomText(rng, rng() % 60);
        m.table.replace(at, 1, 1, m.textOf());
      }
    }
    ASSERT_TRUE(m.table.built());
    m.check(randomText(rng, 3 + rng() % 3), rng() % m.texts.size());
    if (HasFatalFailure()) return;
  }
}

TEST(BlockSignatures, RulesOutBlocksWithoutTheText) {
  std::vector<std::u16string> texts;
  for (int i = 0; i < 2000; ++i) texts.push_back(u"alpha beta term" + std::u16string(1, char16_t(u'A' + i % 26)) + u" gamma");
  BlockSignatures table;
  table.build(texts.size(), 2000 * 22, [&](size_t i) { return std::u16string_view(texts[i]); });
  TrigramKeys keys(fold(u"termq gamma"));
  size_t holding = 0, lacking = 0;
  for (size_t i = table.next(keys, 0).block; i != BlockSignatures::npos; i = table.next(keys, i + 1).block) {
    if (i % 26 == 16) ++holding;
    else ++lacking;
  }
  EXPECT_EQ(holding, (2000u + 9) / 26);
  EXPECT_LT(lacking, 100u) << "the table hardly rules anything out";
}
