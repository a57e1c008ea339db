// Searching only the paragraphs whose trio filter may hold the find text must find exactly
// what a scan of the whole story finds, also after edits that change or split paragraphs.
#include <gtest/gtest.h>

#include <random>

#include "ooxml/package/Xml.h"
#include "ooxml/word/FindDriver.h"
#include "ooxml/word/Matcher.h"
#include "ooxml/word/Story.h"
#include "platform/Text.h"

using namespace ooxml::word;

namespace {

std::unique_ptr<ooxml::xml::Document> bodyOf(std::mt19937& rng, const std::u16string& alphabet, int paragraphs) {
  std::string xml = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
  auto word = [&] {
    std::u16string s;
    for (size_t i = 0, n = 1 + rng() % 6; i < n; ++i) s += alphabet[rng() % alphabet.size()];
    return platform::wideToUtf8(s);
  };
  for (int p = 0; p < paragraphs; ++p) {
    xml += "<w:p>";
    for (int r = 0, runs = 1 + rng() % 3; r < runs; ++r) xml += "<w:r><w:t xml:space=\"preserve\">" + word() + " " + word() + "</w:t></w:r>";
    xml += "</w:p>";
    if (p % 7 == 3) xml += "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>" + word() + "</w:t></w:r></w:p></w:tc></w:tr></w:tbl>";
  }
  xml += "</w:body></w:document>";
  return ooxml::xml::Document::parse(xml);
}

std::optional<Hit> wholeScan(Story& story, const Matcher& m, size_t from, size_t limit) {
  size_t base = from > 0 ? from - 1 : 0;
  auto h = m.search(story.searchable(base, story.length()), from - base, limit - base);
  if (!h) return std::nullopt;
  return Hit{h->start + base, h->end + base};
}

// Random searches compared with a whole-story scan, with random edits between them: some in
// place, some adding runs, some splitting or joining paragraphs, some formatting a range.
int compareWithWholeScans(unsigned seed, int rounds, int paragraphs, int steps, size_t reach) {
  std::mt19937 rng(seed);
  const std::u16string alphabet = u"abcAB\u00e4\u00c4\u03a3\u03c3";
  int hits = 0;
  for (int round = 0; round < rounds; ++round) {
    auto doc = bodyOf(rng, alphabet, paragraphs);
    Story story(doc->documentElement().child("w:body"));
    auto pattern = [&] {
      std::u16string s;
      for (size_t i = 0, n = 3 + rng() % 3; i < n; ++i) s += alphabet[rng() % alphabet.size()];
      return s;
    };
    for (int step = 0; step < steps; ++step) {
      Matcher m(pattern(), rng() % 2, rng() % 2);
      size_t from = rng() % (story.length() + 1);
      size_t limit = std::min(story.length(), from + rng() % story.length());
      auto got = searchStory(story, m, from, limit, story.length());
      auto want = wholeScan(story, m, from, limit);
      EXPECT_EQ(got.has_value(), want.has_value()) << "round " << round << " step " << step;
      if (got.has_value() != want.has_value()) return hits;
      if (got) {
        ++hits;
        EXPECT_EQ(got->start, want->start);
        EXPECT_EQ(got->end, want->end);
      }
      size_t at = rng() % story.length();
      if (story.at(at) == u'\r' || story.at(at) == 7) continue;
      if (rng() % 16 == 0) {  // formatting reads the story again, its text unchanged
        story.forEachRunIn(at, std::min(story.length(), at + 1 + rng() % 20), [](ooxml::xml::Node) {});
        continue;
      }
      std::u16string text = pattern();
      if (rng() % 4 == 0) text[rng() % text.size()] = u'\r';         // splits the paragraph
      else if (rng() % 3 == 0) text[rng() % text.size()] = u'\t';  // new runs, same paragraph
      story.replace(at, std::min(story.length() - 1, at + rng() % reach), text);
    }
    // The document itself reads as the story says after all those edits.
    Story again(doc->documentElement().child("w:body"));
    EXPECT_EQ(again.text(0, again.length()), story.text(0, story.length())) << "round " << round;
  }
  return hits;
}

}  // namespace

TEST(ParagraphFilter, FindsWhatAWholeStoryScanFindsAcrossEdits) {
  EXPECT_GT(compareWithWholeScans(5, 100, 30, 60, 2), 300);  // the comparison saw real hits, not only misses
}

// Longer stories, searched many times, with edits that replace across runs and join paragraphs.
TEST(ParagraphFilter, ALongStoryEditedAtLengthFindsWhatAWholeScanFinds) {
  EXPECT_GT(compareWithWholeScans(11, 12, 150, 600, 12), 1000);
}

// A story long enough to have its filters made all at once before its first search: each
// paragraph's first and last words are found where they are.
TEST(ParagraphFilter, AStoryWithFiltersMadeAtOnceFindsEveryParagraphsEnds) {
  std::string xml = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
  auto number = [](int i) { return std::to_string(10000 + i).substr(1); };
  for (int p = 0; p < 1500; ++p)
    xml += "<w:p><w:r><w:t>first" + number(p) + " middle </w:t></w:r><w:r><w:t>last" + number(p) + "</w:t></w:r></w:p>";
  xml += "</w:body></w:document>";
  auto doc = ooxml::xml::Document::parse(xml);
  Story story(doc->documentElement().child("w:body"));
  const size_t paragraph = story.length() / 1500;
  for (int p = 0; p < 1500; p += 7) {
    for (const char* word : {"first", "last"}) {
      Matcher m(platform::utf8ToWide(word + number(p)), false, false);
      auto hit = searchStory(story, m, 0, story.length(), story.length());
      ASSERT_TRUE(hit) << word << p;
      EXPECT_EQ(hit->start / paragraph, size_t(p)) << word << p;
    }
  }
  compareWithWholeScans(17, 1, 1100, 100, 12);  // and after random edits
}

// A story long enough for its table of paragraph trios, searched and edited at length: the
// table follows paragraphs that grow, split and join.
TEST(ParagraphFilter, ALongStoryWithItsTrioTableFindsWhatAWholeScanFinds) {
  EXPECT_GT(compareWithWholeScans(23, 2, 1100, 1500, 30), 700);
}

TEST(ParagraphFilter, OnlyPlainTextsWithoutMarksAreFiltered) {
  EXPECT_FALSE(Matcher(u"term042", false, false).trigramKeys().empty());
  EXPECT_TRUE(Matcher(u"ab", false, false).trigramKeys().empty());         // no trio
  EXPECT_TRUE(Matcher(u"end^pstart", false, false).trigramKeys().empty());  // crosses paragraphs
  EXPECT_TRUE(Matcher(u"te^?m", false, false).trigramKeys().empty());       // any character
}

TEST(ParagraphFilter, OneLongParagraphEditedThousandsOfTimesReadsRight) {
  // Every hit grows the paragraph, past twice what its filter was made for.
  std::string xml = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p><w:r><w:t xml:space=\"preserve\">";
  for (int i = 0; i < 4000; ++i) xml += "abc filler ";
  xml += "</w:t></w:r></w:p></w:body></w:document>";
  auto doc = ooxml::xml::Document::parse(xml);
  Story story(doc->documentElement().child("w:body"));
  Matcher m(u"abc", false, true);
  ASSERT_FALSE(m.trigramKeys().empty());
  int replaced = 0;
  for (size_t pos = 0; auto hit = searchStory(story, m, pos, story.length(), story.length());) {
    pos = story.replace(hit->start, hit->end, u"abcdefgh abcdefgh").second;
    ++replaced;
  }
  EXPECT_EQ(replaced, 4000);
  EXPECT_FALSE(searchStory(story, m, 0, story.length(), story.length()));
  Matcher grown(u"defgh abc", false, false);
  int found = 0;
  for (size_t pos = 0; auto hit = searchStory(story, grown, pos, story.length(), story.length());) {
    pos = hit->end;
    ++found;
  }
  EXPECT_EQ(found, 4000);
  std::u16string text = story.text(0, story.length());
  EXPECT_EQ(text.substr(0, 40), u"abcdefgh abcdefgh filler abcdefgh abcdef");
}
