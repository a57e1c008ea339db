#pragma once
// ZIP archives on zlib: what OOXML packages need (stored and deflated entries, data
// descriptors, ZIP64), with limits that stop archive bombs before they inflate.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ooxml {

struct ZipLimits {
  uint64_t maxEntrySize = 512ull << 20;   // inflated bytes of one entry
  uint64_t maxTotalSize = 2048ull << 20;  // inflated bytes of all entries together
  uint32_t maxEntries = 20000;
  // Inflated/compressed; only checked for entries above ratioFloor bytes, since small XML
  // parts legitimately compress very well.
  uint32_t maxRatio = 1000;
  uint64_t ratioFloor = 1ull << 20;
};

struct ZipEntry {
  std::string name;
  uint16_t flags = 0;
  uint16_t method = 0;  // 0 stored, 8 deflated
  uint16_t modTime = 0, modDate = 0;
  uint32_t crc = 0;
  uint64_t compressedSize = 0;
  uint64_t size = 0;
  uint64_t headerOffset = 0;  // of the local header
  uint64_t dataOffset = 0;    // of the compressed data
  uint64_t recordEnd = 0;     // end of data and data descriptor: the entry's bytes end here
};

// Reads an archive held in memory. The constructor checks the directory; read() inflates
// one entry, checking its size, ratio and CRC. Errors are PackageError.
class ZipReader {
 public:
  explicit ZipReader(std::string bytes, ZipLimits limits = {});

  const std::vector<ZipEntry>& entries() const { return entries_; }
  const ZipEntry* find(std::string_view name) const;  // exact name, null when absent
  std::string read(const ZipEntry& entry);
  // The entry's local header, data and descriptor, as they are in the file.
  std::string_view rawRecord(const ZipEntry& entry) const;
  const std::string& bytes() const { return bytes_; }

 private:
  void readDirectory();
  std::string bytes_;
  ZipLimits limits_;
  std::vector<ZipEntry> entries_;
  uint64_t inflatedSoFar_ = 0;
};

// Writes an archive into memory: entries copied from a reader keep their bytes, new
// contents are deflated. Entries come out in the order they were added.
class ZipWriter {
 public:
  void copy(const ZipReader& from, const ZipEntry& entry);
  void add(const std::string& name, std::string_view data, int level = 6);
  std::string finish();

 private:
  struct Central {
    ZipEntry entry;
    uint64_t offset;
  };
  std::string out_;
  std::vector<Central> central_;
};

// Deflate helpers shared by the writer and the benchmark's baseline.
// With crc, the data's CRC-32 is worked out alongside.
std::string deflateRaw(std::string_view data, int level, uint32_t* crc = nullptr);
std::string inflateRaw(std::string_view data, uint64_t expectedSize, uint64_t maxSize);
uint32_t crc32Of(std::string_view data);

}  // namespace ooxml
