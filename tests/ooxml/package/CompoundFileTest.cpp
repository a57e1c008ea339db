// The compound file reader on real legacy files, on files of both sector sizes and long
// allocation tables, and on damaged files, which must fail cleanly with a useful message.
#include <gtest/gtest.h>

#include "ooxml/package/CompoundFile.h"
#include "ooxml/package/LittleEndian.h"
#include "ooxml/package/PackageError.h"
#include "platform/Files.h"
#include "tests/ooxml/package/CompoundFileBuilder.h"

using ooxml::CompoundFile;
using testing_cfb::Builder;
using testing_cfb::put32;

namespace {

std::string pattern(size_t size, int seed) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 31 + seed * 7 + i / 251) & 0xFF);
  return s;
}

Builder twoStreams() {
  Builder b;
  b.streams = {{u"Workbook", pattern(9000, 1)}, {u"\x05SummaryInformation", pattern(300, 2)}};
  return b;
}

// The message of the error reading every stream gives, or "read".
std::string failure(const std::string& bytes) {
  try {
    CompoundFile file(bytes);
    for (auto& name : file.rootStreamNames()) file.readStream(name);
  } catch (const ooxml::PackageError& e) {
    return e.what();
  }
  return "read";
}

TEST(CompoundFile, AWorkbookWrittenByAnotherProgramListsAndReadsItsStreams) {
  const std::string bytes = platform::readFile(std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/xlsx/calc-table.xls", 1 << 20);
  ASSERT_TRUE(CompoundFile::hasSignature(bytes));
  CompoundFile file(bytes);
  auto names = file.rootStreamNames();
  EXPECT_NE(std::find(names.begin(), names.end(), u"Workbook"), names.end());
  // Names compare without regard to case, as the container's own lookup does.
  const std::string workbook = file.readStream(u"WORKBOOK");
  EXPECT_EQ(ooxml::le16(workbook, 0), 0x0809) << "a workbook stream starts with its BOF record";
  EXPECT_FALSE(file.hasStream(u"Book"));
  for (auto& name : names) EXPECT_NO_THROW(file.readStream(name)) << platform::wideToUtf8(name);
}

TEST(CompoundFile, LargeAndSmallStreamsReadBackExactlyWithEitherSectorSize) {
  for (int version : {3, 4}) {
    Builder b;
    b.version = version;
    b.streams = {{u"Big", pattern(4096, 1)},      {u"Odd", pattern(10000, 2)}, {u"Small", pattern(100, 3)},
                 {u"Cutoff", pattern(4095, 4)},  {u"Empty", ""},             {u"Tiny", "x"}};
    CompoundFile file(b.build().bytes);
    for (auto& [name, data] : b.streams) EXPECT_EQ(file.readStream(name), data) << version << " " << platform::wideToUtf8(name);
    EXPECT_EQ(file.rootStreamNames().size(), b.streams.size());
    EXPECT_THROW(file.readStream(u"Missing"), ooxml::PackageError);
  }
}

TEST(CompoundFile, AnAllocationTableBeyondTheHeaderListIsFollowedThroughItsOwnChain) {
  Builder b = twoStreams();
  b.paddingSectors = 128 * 115;  // more than 109 table sectors, so the rest are listed elsewhere
  auto built = b.build();
  ASSERT_GT(built.fatSectors.size(), 109u);
  CompoundFile file(built.bytes);
  EXPECT_EQ(file.readStream(u"Workbook"), b.streams[0].second);
  EXPECT_EQ(file.readStream(u"\x05SummaryInformation"), b.streams[1].second);
}

TEST(CompoundFile, DamagedStructuresFailWithAMessageInsteadOfLoopingOrReadingOutside) {
  const auto good = twoStreams().build();
  auto damaged = [&](auto change) {
    std::string bytes = good.bytes;
    change(bytes);
    return failure(bytes);
  };
  const uint32_t big = good.starts[0];
  EXPECT_EQ(failure(good.bytes), "read");
  EXPECT_NE(damaged([&](std::string& s) { put32(s, good.fatEntryOffset(big + 3), big); }).find("circle"), std::string::npos);
  EXPECT_NE(damaged([&](std::string& s) { put32(s, good.fatEntryOffset(good.directorySector), good.directorySector); })
                .find("circle"), std::string::npos);
  EXPECT_NE(damaged([&](std::string& s) { put32(s, good.entryOffset(1) + 116, 999999); }).find("outside the file"), std::string::npos);
  EXPECT_NE(damaged([&](std::string& s) { put32(s, good.fatEntryOffset(big), 70000); }).find("outside the file"), std::string::npos);
  EXPECT_NE(damaged([&](std::string& s) { put32(s, good.entryOffset(1) + 120, 0xFFFFFFF0u); }).find("larger than the whole file"),
            std::string::npos);
  EXPECT_NE(damaged([&](std::string& s) { put32(s, good.fatEntryOffset(big + 1), testing_cfb::kEnd); }).find("shorter than"),
            std::string::npos);
  EXPECT_NE(damaged([&](std::string& s) { s[30] = 40; }).find("sector size"), std::string::npos);
  EXPECT_NE(damaged([&](std::string& s) { put32(s, 44, 5000); }).find("allocation table"), std::string::npos);
  EXPECT_NE(damaged([&](std::string& s) { s.resize(s.size() - 700); }).find("damaged"), std::string::npos);
  // A small stream whose piece points back at itself.
  EXPECT_NE(damaged([&](std::string& s) {
              Builder b;
              b.streams = {{u"S", pattern(200, 5)}};
              auto built = b.build();
              s = built.bytes;
              const uint32_t miniFatSector = ooxml::le32(s, 60);
              put32(s, built.sectorOffset(miniFatSector) + 4, 0);
            }).find("circle"), std::string::npos);
  // Siblings that point at each other hide nothing and end.
  std::string looped = good.bytes;
  put32(looped, good.entryOffset(2) + 68, 1);
  EXPECT_EQ(CompoundFile(looped).rootStreamNames().size(), 2u);
}

TEST(CompoundFile, ASignatureWithoutAValidHeaderIsADamagedFile) {
  const std::string bytes = platform::readFile(std::string(TAVIMO_SOURCE_DIR) + "/tests/fixtures/xlsx/legacy.xls", 1 << 20);
  EXPECT_NE(failure(bytes).find("damaged"), std::string::npos);
  EXPECT_NE(failure(bytes.substr(0, 100)).find("shorter than its header"), std::string::npos);
}

// Any single byte set to 0xFF or 0x00 in the structures fails as a PackageError or reads.
TEST(CompoundFile, EveryCorruptedStructureByteFailsCleanly) {
  Builder b = twoStreams();
  const auto built = b.build();
  std::vector<size_t> offsets;
  for (size_t i = 0; i < 512; ++i) offsets.push_back(i);
  for (uint32_t f : built.fatSectors)
    for (size_t i = 0; i < 64; ++i) offsets.push_back(built.sectorOffset(f) + i);
  for (size_t i = 0; i < 512; ++i) offsets.push_back(built.sectorOffset(built.directorySector) + i);
  for (size_t at : offsets)
    for (char value : {'\xFF', '\x00', '\x07'}) {
      std::string bytes = built.bytes;
      bytes[at] = value;
      EXPECT_NO_THROW(failure(bytes)) << at;
    }
}

}  // namespace
