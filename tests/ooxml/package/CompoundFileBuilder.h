#pragma once
// Builds compound files for tests: streams of the root storage, small ones in the mini
// stream, with the offsets of the structures a test may want to damage.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testing_cfb {

inline void put16(std::string& s, size_t at, uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void put32(std::string& s, size_t at, uint32_t v) {
  put16(s, at, v & 0xFFFF);
  put16(s, at + 2, v >> 16);
}

constexpr uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSector = 0xFFFFFFFD, kDifatSector = 0xFFFFFFFC;

struct Built {
  std::string bytes;
  size_t sectorSize = 512;
  std::vector<uint32_t> fatSectors;  // sector numbers of the allocation table
  uint32_t directorySector = 0;      // the directory is contiguous from here
  std::vector<uint32_t> starts;      // first sector of each stream (mini sector for small ones)

  size_t sectorOffset(uint32_t sector) const { return (sector + 1) * sectorSize; }
  size_t fatEntryOffset(uint32_t sector) const {
    return sectorOffset(fatSectors[sector / (sectorSize / 4)]) + 4 * (sector % (sectorSize / 4));
  }
  size_t entryOffset(size_t entry) const { return sectorOffset(directorySector) + 128 * entry; }  // 0 is the root
};

struct Builder {
  int version = 3;             // 4: 4096-byte sectors
  size_t paddingSectors = 0;   // free sectors before the streams, to make the allocation table long
  std::vector<std::pair<std::u16string, std::string>> streams;

  Built build() const {
    Built out;
    out.sectorSize = version == 4 ? 4096 : 512;
    const size_t ss = out.sectorSize;
    std::vector<std::string> sectors;
    std::vector<uint32_t> fat;
    auto chain = [&](const std::string& data, size_t count) {
      if (count == 0) return kEnd;
      const uint32_t start = static_cast<uint32_t>(sectors.size());
      for (size_t i = 0; i < count; ++i) {
        std::string s = i * ss < data.size() ? data.substr(i * ss, ss) : std::string();
        s.resize(ss, '\0');
        sectors.push_back(s);
        fat.push_back(i + 1 < count ? start + static_cast<uint32_t>(i) + 1 : kEnd);
      }
      return start;
    };
    auto sectorsFor = [&](size_t n) { return (n + ss - 1) / ss; };

    for (size_t i = 0; i < paddingSectors; ++i) sectors.emplace_back(ss, '\0'), fat.push_back(kFree);
    std::string mini;
    std::vector<uint32_t> miniFat;
    for (auto& [name, data] : streams) {
      if (data.size() >= 4096) {
        out.starts.push_back(chain(data, sectorsFor(data.size())));
        continue;
      }
      const size_t pieces = (data.size() + 63) / 64;
      out.starts.push_back(pieces ? static_cast<uint32_t>(miniFat.size()) : kEnd);
      for (size_t i = 0; i < pieces; ++i)
        miniFat.push_back(i + 1 < pieces ? static_cast<uint32_t>(miniFat.size()) + 1 : kEnd);
      std::string padded = data;
      padded.resize(pieces * 64, '\0');
      mini += padded;
    }
    const uint32_t miniStart = chain(mini, sectorsFor(mini.size()));
    std::string miniFatBytes(miniFat.size() * 4, '\0');
    for (size_t i = 0; i < miniFat.size(); ++i) put32(miniFatBytes, 4 * i, miniFat[i]);
    const size_t miniFatCount = sectorsFor(miniFatBytes.size());
    const uint32_t miniFatStart = chain(miniFatBytes, miniFatCount);

    std::string directory((streams.size() + 1) * 128, '\0');
    auto entry = [&](size_t i, const std::u16string& name, uint8_t type, uint32_t start, uint64_t size, uint32_t child, uint32_t right) {
      const size_t at = i * 128;
      for (size_t k = 0; k < name.size(); ++k) put16(directory, at + 2 * k, name[k]);
      put16(directory, at + 64, static_cast<uint32_t>((name.size() + 1) * 2));
      directory[at + 66] = static_cast<char>(type);
      put32(directory, at + 68, kFree);
      put32(directory, at + 72, right);
      put32(directory, at + 76, child);
      put32(directory, at + 116, start);
      put32(directory, at + 120, static_cast<uint32_t>(size));
    };
    entry(0, u"Root Entry", 5, miniStart, mini.size(), streams.empty() ? kFree : 1, kFree);
    for (size_t i = 0; i < streams.size(); ++i)
      entry(i + 1, streams[i].first, 2, out.starts[i], streams[i].second.size(), kFree,
            i + 1 < streams.size() ? static_cast<uint32_t>(i + 2) : kFree);
    out.directorySector = chain(directory, sectorsFor(directory.size()));

    // The allocation table covers itself and its extension list.
    const size_t perFat = ss / 4, perDifat = ss / 4 - 1;
    size_t fatCount = 1, difatCount = 0;
    for (;;) {
      const size_t total = sectors.size() + fatCount + difatCount;
      const size_t needFat = (total + perFat - 1) / perFat;
      const size_t needDifat = needFat > 109 ? (needFat - 109 + perDifat - 1) / perDifat : 0;
      if (needFat == fatCount && needDifat == difatCount) break;
      fatCount = needFat, difatCount = needDifat;
    }
    const uint32_t firstFat = static_cast<uint32_t>(sectors.size());
    for (size_t i = 0; i < fatCount; ++i) out.fatSectors.push_back(firstFat + static_cast<uint32_t>(i)), fat.push_back(kFatSector);
    const uint32_t firstDifat = static_cast<uint32_t>(firstFat + fatCount);
    for (size_t i = 0; i < difatCount; ++i) fat.push_back(kDifatSector);
    fat.resize(fatCount * perFat, kFree);
    for (size_t i = 0; i < fatCount; ++i) {
      std::string s(ss, '\0');
      for (size_t k = 0; k < perFat; ++k) put32(s, 4 * k, fat[i * perFat + k]);
      sectors.push_back(s);
    }
    for (size_t d = 0; d < difatCount; ++d) {
      std::string s(ss, '\xFF');
      for (size_t k = 0; k < perDifat; ++k) {
        const size_t index = 109 + d * perDifat + k;
        if (index < fatCount) put32(s, 4 * k, out.fatSectors[index]);
      }
      put32(s, 4 * perDifat, d + 1 < difatCount ? firstDifat + static_cast<uint32_t>(d) + 1 : kEnd);
      sectors.push_back(s);
    }

    std::string header(ss, '\0');
    header.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    put16(header, 24, 0x3E);
    put16(header, 26, static_cast<uint32_t>(version));
    put16(header, 28, 0xFFFE);
    put16(header, 30, version == 4 ? 12 : 9);
    put16(header, 32, 6);
    if (version == 4) put32(header, 40, static_cast<uint32_t>(sectorsFor(directory.size())));
    put32(header, 44, static_cast<uint32_t>(fatCount));
    put32(header, 48, out.directorySector);
    put32(header, 56, 4096);
    put32(header, 60, miniFatCount ? miniFatStart : kEnd);
    put32(header, 64, static_cast<uint32_t>(miniFatCount));
    put32(header, 68, difatCount ? firstDifat : kEnd);
    put32(header, 72, static_cast<uint32_t>(difatCount));
    for (size_t i = 0; i < 109; ++i) put32(header, 76 + 4 * i, i < fatCount ? out.fatSectors[i] : kFree);
    out.bytes = header;
    for (auto& s : sectors) out.bytes += s;
    return out;
  }
};

}  // namespace testing_cfb
