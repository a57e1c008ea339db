#pragma once
// Reads the compound file container of legacy binary documents: a little file system of
// sectors chained through an allocation table, with a directory of named streams. Errors are
// PackageError; hostile input fails cleanly, in bounded time and memory.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ooxml {

class CompoundFile {
 public:
  static bool hasSignature(std::string_view bytes);

  explicit CompoundFile(std::string bytes);

  // The names of the streams in the root storage, as stored.
  std::vector<std::u16string> rootStreamNames() const;
  // A stream of the root storage by name, compared without regard to case.
  bool hasStream(std::u16string_view name) const;
  std::string readStream(std::u16string_view name) const;

 private:
  struct Entry {
    std::u16string name;
    uint8_t type = 0;  // 1 storage, 2 stream, 5 root
    uint32_t left = 0, right = 0, child = 0;
    uint32_t start = 0;
    uint64_t size = 0;
  };

  void readHeader();
  void readAllocationTable();
  void readDirectory();
  void readMiniStream();
  std::vector<uint32_t> chain(const std::vector<uint32_t>& table, uint32_t start, size_t limit) const;
  std::string sectorsOf(uint32_t start, uint64_t size) const;
  std::string_view sector(uint32_t index) const;
  std::vector<uint32_t> rootChildren() const;
  const Entry* findRootStream(std::u16string_view name) const;

  std::string bytes_;
  uint32_t sectorShift_ = 9, miniShift_ = 6;
  size_t sectorSize_ = 512, sectorCount_ = 0;
  uint16_t majorVersion_ = 3;
  uint32_t fatSectors_ = 0, firstDirectory_ = 0, miniCutoff_ = 4096;
  uint32_t firstMiniFat_ = 0, miniFatSectors_ = 0, firstDifat_ = 0, difatSectors_ = 0;
  std::vector<uint32_t> fat_, miniFat_;
  std::vector<Entry> entries_;
  std::string miniStream_;
};

}  // namespace ooxml
