#include <gtest/gtest.h>
#include <zlib.h>

#include "ooxml/package/PackageError.h"
#include "ooxml/package/Zip.h"
#include "platform/Files.h"

using namespace ooxml;

namespace {

std::string fixture(const std::string& name) {
  return platform::readFile(std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/zip/" + name, 1 << 20);
}

std::string expectedXml() {
  std::string s = "<r>";
  for (int i = 1; i <= 200; ++i) s += std::to_string(i) + " ";
  return s + "</r>\n";
}

std::string zipOf(std::vector<std::pair<std::string, std::string>> entries) {
  ZipWriter w;
  for (auto& [name, data] : entries) w.add(name, data);
  return w.finish();
}

void expectPackageError(const std::string& bytes, const std::string& fragment, ZipLimits limits = {}) {
  try {
    ZipReader r(bytes, limits);
    for (auto& e : r.entries()) r.read(e);
    FAIL() << "no error for " << fragment;
  } catch (const PackageError& e) {
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
  }
}

}  // namespace

TEST(ZipReader, ReadsArchivesOfTheSystemZipInEveryLayout) {
  for (const char* name : {"stored.zip", "deflated.zip", "zip64.zip"}) {
    ZipReader r(fixture(name));
    ASSERT_EQ(r.entries().size(), 2u) << name;
    EXPECT_EQ(r.read(*r.find("a.txt")), "hello, stored entry\n") << name;
    EXPECT_EQ(r.read(*r.find("b.xml")), expectedXml()) << name;
  }
  ZipReader d(fixture("descriptor.zip"));
  ASSERT_EQ(d.entries().size(), 1u);
  EXPECT_EQ(d.read(d.entries()[0]), expectedXml());
}

TEST(ZipWriter, CopiedEntriesKeepTheirBytesAndNewOnesAreDeflated) {
  for (const char* name : {"deflated.zip", "descriptor.zip", "zip64.zip"}) {
    ZipReader source(fixture(name));
    ZipWriter w;
    for (auto& e : source.entries()) w.copy(source, e);
    w.add("new.xml", std::string(5000, 'x'));
    ZipReader again(w.finish());
    ASSERT_EQ(again.entries().size(), source.entries().size() + 1) << name;
    for (size_t i = 0; i < source.entries().size(); ++i) {
      EXPECT_EQ(again.rawRecord(again.entries()[i]), source.rawRecord(source.entries()[i])) << name;
      EXPECT_EQ(again.read(again.entries()[i]), source.read(source.entries()[i])) << name;
    }
    const ZipEntry& added = again.entries().back();
    EXPECT_EQ(added.method, 8);
    EXPECT_LT(added.compressedSize, 100u);
    EXPECT_EQ(again.read(added), std::string(5000, 'x'));
  }
}

TEST(ZipWriter, LargePartsCompressedInPiecesReadBackWholeAndCompressAsWell) {
  // Sizes around the piece boundaries; text that repeats across pieces, as XML does.
  std::string text;
  for (int i = 0; text.size() < (3u << 20); ++i) text += "<w:p><w:r><w:t>paragraph " + std::to_string(i % 977) + " of text</w:t></w:r></w:p>";
  for (size_t size : {size_t(1u << 20) - 1, size_t(1u << 20), size_t(1u << 20) + 1, size_t(5u << 18), text.size()}) {
    std::string part = text.substr(0, size);
    ZipWriter w;
    w.add("word/document.xml", part);
    ZipReader r(w.finish());
    const ZipEntry& e = r.entries().front();
    EXPECT_EQ(r.read(e), part) << size;
    EXPECT_EQ(e.crc, ooxml::crc32Of(part)) << size;  // the pieces' checksums joined
    EXPECT_LT(e.compressedSize, ooxml::deflateRaw(part.substr(0, 1000000), 6).size() * (size / 1000000.0) * 1.05 + 100) << size;
  }
}

TEST(ZipWriter, CompressesAlmostAsTightlyAsZlibsOwnLevelSix) {
  // Words drawn at random from a small vocabulary: repeats, but not as regularly as a table.
  static const char* const words[] = {"the", "of", "and", "to", "in", "was", "for", "that", "with", "from",
                                      "which", "this", "their", "there", "been", "would", "about", "into",
                                      "than", "them", "could", "other", "people", "through", "between",
                                      "should", "because", "another", "little", "still", "world", "years"};
  std::string text;
  uint32_t x = 12345;
  while (text.size() < (2u << 20)) {
    text += "<w:p><w:r><w:t>";
    for (int k = 0; k < 12; ++k) {
      x = x * 1103515245u + 12345u;
      text += words[(x >> 16) % std::size(words)];
      text += ' ';
    }
    text += "</w:t></w:r></w:p>";
  }
  uLongf plainSize = compressBound(static_cast<uLong>(text.size()));
  std::string plain(plainSize, '\0');
  ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(plain.data()), &plainSize, reinterpret_cast<const Bytef*>(text.data()),
                      static_cast<uLong>(text.size()), 6),
            Z_OK);
  const size_t ours = ooxml::deflateRaw(text, 6).size();
  // The shorter match search costs up to 5% on text this repetitive (under 1% on real prose);
  // level 5 would cost 13%.
  EXPECT_LT(ours, plainSize * 1.06) << ours << " against " << plainSize;
}

TEST(ZipReader, RejectsWhatIsNotAnIntactPlainArchive) {
  expectPackageError("", "empty");
  expectPackageError(std::string(100, 'a'), "not a ZIP");
  expectPackageError(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'), "not a ZIP");
  expectPackageError(fixture("encrypted.zip"), "encrypted");
  std::string whole = fixture("deflated.zip");
  for (size_t cut : {whole.size() - 1, whole.size() / 2, size_t(40)}) expectPackageError(whole.substr(0, cut), "truncated");
  // One flipped byte inside compressed data: the inflated bytes no longer match.
  ZipReader r(whole);
  std::string damaged = whole;
  damaged[r.find("b.xml")->dataOffset + 20] ^= 0x55;
  expectPackageError(damaged, "damaged");
}

TEST(ZipReader, LimitsStopBombsBeforeTheyInflate) {
  std::string zeros(8u << 20, '\0');
  std::string bomb = zipOf({{"zeros", zeros}});
  ZipLimits strict;  // zeros compress about a thousandfold
  strict.maxRatio = 500;
  expectPackageError(bomb, "plausible ratio", strict);
  ZipLimits small;
  small.maxEntrySize = 1000;
  expectPackageError(zipOf({{"a", std::string(2000, 'x')}}), "larger than allowed", small);
  ZipLimits total;
  total.maxTotalSize = 3000;
  expectPackageError(zipOf({{"a", std::string(2000, 'x')}, {"b", std::string(2000, 'y')}}), "more than allowed", total);
  ZipLimits few;
  few.maxEntries = 2;
  expectPackageError(zipOf({{"a", "1"}, {"b", "2"}, {"c", "3"}}), "more entries", few);
}

TEST(ZipReader, AnEntryInflatingBeyondItsDeclaredSizeIsRefused) {
  std::string z = zipOf({{"a", std::string(4000, 'q')}});
  ZipReader r(z);
  // Declare a smaller size in both headers: the inflater must stop at the declared size.
  std::string lie = z;
  auto patch32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) lie[at + i] = static_cast<char>(v >> (8 * i));
  };
  patch32(22, 100);
  size_t central = lie.find("PK\x01\x02");
  patch32(central + 24, 100);
  expectPackageError(lie, "declared size");
}

TEST(ZipReader, OffsetsNearTheTopOfTheRangeAreRefusedWithoutReadingPastTheFile) {
  // A ZIP64 locator whose directory offset wraps when 56 is added (found by fuzzing).
  std::string bytes = platform::readFile(
      std::string(TAVIMO_SOURCE_DIR) + "/tests/fuzz/corpus/zip/zip64-locator-offset-past-end.bin", 1 << 20);
  EXPECT_THROW(
      {
        ZipReader r(bytes);
        for (auto& e : r.entries()) r.read(e);
      },
      PackageError);
}
