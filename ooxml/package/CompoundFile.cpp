#include "ooxml/package/CompoundFile.h"

#include <algorithm>
#include <cstring>

#include "ooxml/package/LittleEndian.h"
#include "ooxml/package/PackageError.h"
#include "platform/Text.h"

namespace ooxml {
namespace {

constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;
constexpr size_t kHeaderDifatEntries = 109;
constexpr size_t kEntrySize = 128;
constexpr uint8_t kStream = 2, kRoot = 5;

[[noreturn]] void damaged(const std::string& why) {
  throw PackageError("The file is damaged and cannot be read (" + why + "); if another program can open it, save it again");
}

bool sameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (platform::toUpper(a[i]) != platform::toUpper(b[i])) return false;
  return true;
}

}  // namespace

bool CompoundFile::hasSignature(std::string_view bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

CompoundFile::CompoundFile(std::string bytes) : bytes_(std::move(bytes)) {
  readHeader();
  readAllocationTable();
  readDirectory();
  readMiniStream();
}

void CompoundFile::readHeader() {
  if (!hasSignature(bytes_)) damaged("it is not a compound file");
  if (bytes_.size() < 512) damaged("the file is shorter than its header");
  const std::string_view b = bytes_;
  if (le16(b, 28) != 0xFFFE) damaged("the header is not valid");
  majorVersion_ = le16(b, 26);
  sectorShift_ = le16(b, 30);
  miniShift_ = le16(b, 32);
  // Version 3 uses 512-byte sectors and version 4 4096-byte ones; anything else would let a
  // shift of 40 address far outside the file.
  const bool known = (majorVersion_ == 3 && sectorShift_ == 9) || (majorVersion_ == 4 && sectorShift_ == 12);
  if (!known || miniShift_ != 6) damaged("the header gives an unknown sector size");
  sectorSize_ = size_t{1} << sectorShift_;
  sectorCount_ = bytes_.size() > sectorSize_ ? (bytes_.size() - sectorSize_ + sectorSize_ - 1) / sectorSize_ : 0;
  fatSectors_ = le32(b, 44);
  firstDirectory_ = le32(b, 48);
  miniCutoff_ = le32(b, 56);
  firstMiniFat_ = le32(b, 60);
  miniFatSectors_ = le32(b, 64);
  firstDifat_ = le32(b, 68);
  difatSectors_ = le32(b, 72);
}

std::string_view CompoundFile::sector(uint32_t index) const {
  if (index >= sectorCount_) damaged("a sector number is outside the file");
  const size_t offset = (size_t{index} + 1) * sectorSize_;
  // The last sector may be cut short by a writer that did not pad it.
  return std::string_view(bytes_).substr(offset, sectorSize_);
}

void CompoundFile::readAllocationTable() {
  if (fatSectors_ == 0 || fatSectors_ > sectorCount_) damaged("the allocation table has a wrong size");
  std::vector<uint32_t> fatSectors;
  for (size_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatSectors_; ++i)
    fatSectors.push_back(le32(bytes_, 76 + 4 * i));
  // Tables of more than 109 sectors are listed in a chain of their own; it is walked at most
  // once per sector of the file, so a loop in it ends.
  uint32_t next = firstDifat_;
  const size_t perSector = sectorSize_ / 4 - 1;
  for (size_t walked = 0; fatSectors.size() < fatSectors_; ++walked) {
    if (walked >= difatSectors_ || walked >= sectorCount_) damaged("the list of allocation table sectors is incomplete");
    std::string_view s = sector(next);
    for (size_t i = 0; i < perSector && fatSectors.size() < fatSectors_; ++i) fatSectors.push_back(le32(s, 4 * i));
    next = le32(s, 4 * perSector);
  }
  fat_.reserve(fatSectors.size() * (sectorSize_ / 4));
  for (uint32_t f : fatSectors) {
    std::string_view s = sector(f);
    for (size_t i = 0; i < sectorSize_ / 4; ++i) fat_.push_back(le32(s, 4 * i));
  }
}

std::vector<uint32_t> CompoundFile::chain(const std::vector<uint32_t>& table, uint32_t start, size_t limit) const {
  std::vector<uint32_t> sectors;
  std::vector<bool> seen(limit);
  for (uint32_t s = start; s != kEndOfChain;) {
    if (s >= limit || s >= table.size()) damaged("a chain of sectors leads outside the file");
    if (seen[s]) damaged("a chain of sectors runs in a circle");
    seen[s] = true;
    sectors.push_back(s);
    s = table[s];
  }
  return sectors;
}

std::string CompoundFile::sectorsOf(uint32_t start, uint64_t size) const {
  if (size > bytes_.size()) damaged("a stream is said to be larger than the whole file");
  std::string out;
  out.reserve(static_cast<size_t>(size));
  std::vector<bool> seen(sectorCount_);
  for (uint32_t s = start; out.size() < size;) {
    if (s == kEndOfChain) damaged("a stream is shorter than its directory entry says");
    if (s >= sectorCount_ || s >= fat_.size()) damaged("a chain of sectors leads outside the file");
    if (seen[s]) damaged("a chain of sectors runs in a circle");
    seen[s] = true;
    std::string_view data = sector(s);
    out.append(data.substr(0, std::min<uint64_t>(data.size(), size - out.size())));
    if (data.size() < sectorSize_ && out.size() < size) damaged("the file is cut short");
    s = fat_[s];
  }
  return out;
}

void CompoundFile::readDirectory() {
  const std::vector<uint32_t> sectors = chain(fat_, firstDirectory_, sectorCount_);
  for (uint32_t s : sectors) {
    std::string_view data = sector(s);
    for (size_t at = 0; at + kEntrySize <= data.size(); at += kEntrySize) {
      std::string_view e = data.substr(at, kEntrySize);
      Entry entry;
      const size_t nameBytes = std::min<size_t>(le16(e, 64), 64);
      for (size_t i = 0; i + 1 < nameBytes / 2; ++i) entry.name.push_back(static_cast<char16_t>(le16(e, 2 * i)));
      entry.type = static_cast<uint8_t>(e[66]);
      entry.left = le32(e, 68);
      entry.right = le32(e, 72);
      entry.child = le32(e, 76);
      entry.start = le32(e, 116);
      // Version 3 files keep only 32 bits of the size; old writers left garbage in the rest.
      entry.size = majorVersion_ == 3 ? le32(e, 120) : le64(e, 120);
      entries_.push_back(std::move(entry));
    }
  }
  if (entries_.empty() || entries_[0].type != kRoot) damaged("the directory has no root entry");
}

void CompoundFile::readMiniStream() {
  const Entry& root = entries_[0];
  if (root.size == 0) return;
  miniStream_ = sectorsOf(root.start, root.size);
  if (miniFatSectors_ == 0) return;
  for (uint32_t s : chain(fat_, firstMiniFat_, sectorCount_)) {
    std::string_view data = sector(s);
    for (size_t i = 0; i + 4 <= data.size(); i += 4) miniFat_.push_back(le32(data, i));
  }
}

std::vector<uint32_t> CompoundFile::rootChildren() const {
  std::vector<uint32_t> found, pending{entries_[0].child};
  std::vector<bool> seen(entries_.size());
  while (!pending.empty()) {
    uint32_t i = pending.back();
    pending.pop_back();
    if (i == kNoEntry || i >= entries_.size() || seen[i]) continue;  // a broken link hides nothing readable
    seen[i] = true;
    found.push_back(i);
    pending.push_back(entries_[i].left);
    pending.push_back(entries_[i].right);
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::u16string> CompoundFile::rootStreamNames() const {
  std::vector<std::u16string> names;
  for (uint32_t i : rootChildren())
    if (entries_[i].type == kStream) names.push_back(entries_[i].name);
  return names;
}

const CompoundFile::Entry* CompoundFile::findRootStream(std::u16string_view name) const {
  for (uint32_t i : rootChildren())
    if (entries_[i].type == kStream && sameName(entries_[i].name, name)) return &entries_[i];
  return nullptr;
}

bool CompoundFile::hasStream(std::u16string_view name) const { return findRootStream(name) != nullptr; }

std::string CompoundFile::readStream(std::u16string_view name) const {
  const Entry* entry = findRootStream(name);
  if (!entry) throw PackageError("The file has no stream named " + platform::wideToUtf8(name));
  if (entry->size > bytes_.size()) damaged("a stream is said to be larger than the whole file");
  if (entry->size >= miniCutoff_) return sectorsOf(entry->start, entry->size);
  // Small streams live in 64-byte pieces of the mini stream, chained through the mini table.
  const size_t miniSize = size_t{1} << miniShift_;
  const size_t miniCount = miniStream_.size() / miniSize;
  std::string out;
  out.reserve(static_cast<size_t>(entry->size));
  std::vector<bool> seen(miniCount);
  for (uint32_t s = entry->start; out.size() < entry->size; s = miniFat_[s]) {
    if (s == kEndOfChain) damaged("a stream is shorter than its directory entry says");
    if (s >= miniCount || s >= miniFat_.size()) damaged("a chain of small sectors leads outside the file");
    if (seen[s]) damaged("a chain of small sectors runs in a circle");
    seen[s] = true;
    out.append(miniStream_, s * miniSize, std::min<uint64_t>(miniSize, entry->size - out.size()));
  }
  return out;
}

}  // namespace ooxml
