#include "ooxml/package/Zip.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "ooxml/package/PackageError.h"
#include "platform/ParallelFor.h"

namespace ooxml {

namespace {

constexpr uint32_t kLocalSig = 0x04034b50, kCentralSig = 0x02014b50, kEndSig = 0x06054b50;
constexpr uint32_t kEnd64Sig = 0x06064b50, kLocator64Sig = 0x07064b50, kDescriptorSig = 0x08074b50;

uint16_t u16(const std::string& b, uint64_t at) {
  // Offsets come from the file and may be near 2^64: compare without adding to them.
  if (at > b.size() || b.size() - at < 2) throw PackageError("The package is truncated.");
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t u32(const std::string& b, uint64_t at) { return u16(b, at) | static_cast<uint32_t>(u16(b, at + 2)) << 16; }
uint64_t u64(const std::string& b, uint64_t at) { return u32(b, at) | static_cast<uint64_t>(u32(b, at + 4)) << 32; }

void put16(std::string& o, uint32_t v) {
  o.push_back(static_cast<char>(v & 0xff));
  o.push_back(static_cast<char>((v >> 8) & 0xff));
}
void put32(std::string& o, uint32_t v) {
  put16(o, v & 0xffff);
  put16(o, v >> 16);
}
void put64(std::string& o, uint64_t v) {
  put32(o, static_cast<uint32_t>(v));
  put32(o, static_cast<uint32_t>(v >> 32));
}

// The ZIP64 extra field of a local or central record, when there is one.
std::string_view findExtra(const std::string& b, uint64_t at, uint64_t length, uint16_t id) {
  uint64_t end = std::min<uint64_t>(at + length, b.size());
  while (at + 4 <= end) {
    uint16_t tag = u16(b, at), size = u16(b, at + 2);
    if (at + 4 + size > end) break;
    if (tag == id) return std::string_view(b).substr(at + 4, size);
    at += 4 + size;
  }
  return {};
}

}  // namespace

uint32_t crc32Of(std::string_view data) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (!data.empty()) {
    uInt chunk = static_cast<uInt>(std::min<size_t>(data.size(), 1u << 30));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), chunk);
    data.remove_prefix(chunk);
  }
  return static_cast<uint32_t>(crc);
}

namespace {

// A compressor reset between parts, with the room it compresses into: making and freeing its
// quarter megabyte of state for every part of every document costs more than compressing a
// small part.
class Deflater {
 public:
  Deflater() = default;
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;
  ~Deflater() {
    if (ready_) deflateEnd(&z_);
  }
  z_stream& start(int level) {
    if (ready_ && level != level_) {
      deflateEnd(&z_);
      ready_ = false;
    }
    if (!ready_) {
      z_ = z_stream{};
      if (deflateInit2(&z_, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw PackageError("The compressor could not start.");
      ready_ = true;
      level_ = level;
    } else if (deflateReset(&z_) != Z_OK) {
      throw PackageError("The compressor could not start.");
    }
    // Level 6 follows match chains of 128; 64 writes prose 0.5% larger in 14% less time, and
    // text that repeats much (tables, forms) up to 5% larger in half the time. A reset
    // restores the level's own settings, hence after every start.
    if (level == 6 && deflateTune(&z_, 8, 16, 128, 64) != Z_OK) throw PackageError("The compressor could not start.");
    return z_;
  }
  std::string room;  // kept, so the worst-case room is not cleared and faulted in for every part

 private:
  z_stream z_{};
  bool ready_ = false;
  int level_ = 0;
};

// Compressors waiting for the next part, shared by the threads that compress (no thread-local
// state, which a DLL could not free safely when it is unloaded).
class DeflaterPool {
 public:
  std::unique_ptr<Deflater> take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (idle_.empty()) return std::make_unique<Deflater>();
    std::unique_ptr<Deflater> d = std::move(idle_.back());
    idle_.pop_back();
    return d;
  }
  void give(std::unique_ptr<Deflater> d) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (idle_.size() < kKept) idle_.push_back(std::move(d));
  }

 private:
  static constexpr size_t kKept = 4;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Deflater>> idle_;
};

struct DeflaterLease {
  DeflaterLease() : deflater(pool().take()) {}
  ~DeflaterLease() { pool().give(std::move(deflater)); }
  static DeflaterPool& pool() {
    static DeflaterPool shared;
    return shared;
  }
  std::unique_ptr<Deflater> deflater;
};

constexpr size_t kPiece = 256u << 10;       // a piece compressed on its own
constexpr size_t kPiecewiseFrom = 1u << 20;  // below this one pass is quicker than threads
constexpr size_t kWindow = 32u << 10;

// Piece i of data as deflate blocks: primed with the window before it, and ending on a byte
// boundary (a sync flush) unless it is the last, so that the pieces join into one stream.
std::string deflatePiece(Deflater& deflater, std::string_view data, size_t begin, size_t end, int level) {
  z_stream& z = deflater.start(level);
  if (begin > 0) {
    size_t from = begin > kWindow ? begin - kWindow : 0;
    if (deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(data.data() + from), static_cast<uInt>(begin - from)) != Z_OK)
      throw PackageError("The compressor failed.");
  }
  bool last = end == data.size();
  std::string& room = deflater.room;
  size_t need = deflateBound(&z, static_cast<uLong>(end - begin)) + 64;
  if (room.size() < need) room.resize(need);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + begin));
  z.avail_in = static_cast<uInt>(end - begin);
  z.next_out = reinterpret_cast<Bytef*>(room.data());
  z.avail_out = static_cast<uInt>(need);
  int rc = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
  if (last ? rc != Z_STREAM_END : (rc != Z_OK || z.avail_in != 0)) throw PackageError("The compressor failed.");
  return room.substr(0, z.total_out);
}

}  // namespace

std::string deflateRaw(std::string_view data, int level, uint32_t* crc) {
  if (data.size() < kPiecewiseFrom) {
    if (crc) *crc = crc32Of(data);
    return deflatePiece(*DeflaterLease().deflater, data, 0, data.size(), level);
  }
  // A large part (a long main text) is compressed in pieces on the machine's cores, each
  // piece's checksum with it. The pieces are the same whatever the number of threads, so the
  // bytes written are too.
  const size_t pieces = (data.size() + kPiece - 1) / kPiece;
  std::vector<std::string> packed(pieces);
  std::vector<uint32_t> crcs(pieces);
  platform::parallelFor(pieces, platform::usefulThreads(pieces, 4), [&](size_t i) {
    const size_t begin = i * kPiece, end = std::min(data.size(), begin + kPiece);
    if (crc) crcs[i] = crc32Of(data.substr(begin, end - begin));
    DeflaterLease lease;
    packed[i] = deflatePiece(*lease.deflater, data, begin, end, level);
  });
  if (crc) {
    uLong whole = crcs[0];
    for (size_t i = 1; i < pieces; ++i) {
      const size_t length = std::min(data.size(), (i + 1) * kPiece) - i * kPiece;
      whole = crc32_combine(whole, crcs[i], static_cast<z_off_t>(length));
    }
    *crc = static_cast<uint32_t>(whole);
  }
  std::string out;
  size_t total = 0;
  for (const std::string& p : packed) total += p.size();
  out.reserve(total);
  for (const std::string& p : packed) out += p;
  return out;
}

std::string inflateRaw(std::string_view data, uint64_t expectedSize, uint64_t maxSize) {
  if (expectedSize > maxSize) throw PackageError("A package entry is larger than allowed.");
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw PackageError("The decompressor could not start.");
  // One byte more room than declared: an entry that fills it inflates to more than it says,
  // so it is corrupt or a bomb, and inflating stops there.
  std::string out;
  out.resize(static_cast<size_t>(expectedSize) + 1);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&z, Z_FINISH);
  uint64_t produced = z.total_out;
  inflateEnd(&z);
  if (rc != Z_STREAM_END || produced != expectedSize)
    throw PackageError("A package entry is damaged (its data does not inflate to its declared size).");
  out.resize(static_cast<size_t>(expectedSize));
  return out;
}

ZipReader::ZipReader(std::string bytes, ZipLimits limits) : bytes_(std::move(bytes)), limits_(limits) {
  readDirectory();
}

void ZipReader::readDirectory() {
  const std::string& b = bytes_;
  if (b.size() < 22) throw PackageError("The file is empty or too short to be a package.");
  if (u32(b, 0) != kLocalSig && u32(b, 0) != kEndSig) throw PackageError("The file is not a ZIP package.");
  // The end record sits in the last 64 KiB + 22 bytes (its comment is at most 65535 bytes).
  uint64_t end = UINT64_MAX;
  uint64_t lowest = b.size() > 65557 ? b.size() - 65557 : 0;
  for (uint64_t at = b.size() - 22 + 1; at-- > lowest;) {
    if (u32(b, at) == kEndSig) {
      end = at;
      break;
    }
  }
  if (end == UINT64_MAX) throw PackageError("The package is truncated (no end of central directory).");
  uint64_t count = u16(b, end + 10);
  uint64_t cdSize = u32(b, end + 12);
  uint64_t cdOffset = u32(b, end + 16);
  if (u16(b, end + 4) != 0 || u16(b, end + 6) != 0) throw PackageError("Split or spanned archives are not supported.");
  if (end >= 20 && u32(b, end - 20) == kLocator64Sig) {
    uint64_t at = u64(b, end - 20 + 8);
    if (at > b.size() || b.size() - at < 56 || u32(b, at) != kEnd64Sig) throw PackageError("The package's ZIP64 directory is damaged.");
    count = u64(b, at + 32);
    cdSize = u64(b, at + 40);
    cdOffset = u64(b, at + 48);
  }
  if (count > limits_.maxEntries) throw PackageError("The package has more entries than allowed.");
  if (cdOffset > b.size() || cdSize > b.size() - cdOffset) throw PackageError("The package is truncated (central directory).");
  entries_.reserve(static_cast<size_t>(count));
  uint64_t at = cdOffset;
  uint64_t declaredTotal = 0;
  for (uint64_t i = 0; i < count; ++i) {
    if (u32(b, at) != kCentralSig) throw PackageError("The package's central directory is damaged.");
    ZipEntry e;
    e.flags = u16(b, at + 8);
    e.method = u16(b, at + 10);
    e.modTime = u16(b, at + 12);
    e.modDate = u16(b, at + 14);
    e.crc = u32(b, at + 16);
    e.compressedSize = u32(b, at + 20);
    e.size = u32(b, at + 24);
    uint16_t nameLen = u16(b, at + 28), extraLen = u16(b, at + 30), commentLen = u16(b, at + 32);
    e.headerOffset = u32(b, at + 42);
    if (at + 46 + nameLen > b.size()) throw PackageError("The package is truncated (central directory).");
    e.name.assign(b, at + 46, nameLen);
    std::string_view z64 = findExtra(b, at + 46 + nameLen, extraLen, 0x0001);
    size_t zi = 0;
    auto next64 = [&](uint64_t& field) {
      if (field != 0xffffffffu) return;
      if (zi + 8 > z64.size()) throw PackageError("The package's ZIP64 data is damaged.");
      uint64_t v = 0;
      for (int k = 7; k >= 0; --k) v = v << 8 | static_cast<uint8_t>(z64[zi + k]);
      field = v;
      zi += 8;
    };
    next64(e.size);
    next64(e.compressedSize);
    next64(e.headerOffset);
    at += 46 + static_cast<uint64_t>(nameLen) + extraLen + commentLen;

    if (e.flags & 0x41) throw PackageError("The package is encrypted: \"" + e.name + "\".");
    if (e.method != 0 && e.method != 8)
      throw PackageError("The package uses an unsupported compression method in \"" + e.name + "\".");
    if (e.method == 0 && e.size != e.compressedSize) throw PackageError("The package entry \"" + e.name + "\" is damaged.");
    if (e.headerOffset > b.size() || b.size() - e.headerOffset < 30 || u32(b, e.headerOffset) != kLocalSig)
      throw PackageError("The package is truncated or damaged (entry \"" + e.name + "\").");
    uint16_t localName = u16(b, e.headerOffset + 26), localExtra = u16(b, e.headerOffset + 28);
    e.dataOffset = e.headerOffset + 30 + localName + localExtra;
    if (e.dataOffset > b.size() || e.compressedSize > b.size() - e.dataOffset)
      throw PackageError("The package is truncated (entry \"" + e.name + "\").");
    e.recordEnd = e.dataOffset + e.compressedSize;
    if (e.flags & 0x08) {
      bool local64 = !findExtra(b, e.headerOffset + 30 + localName, localExtra, 0x0001).empty();
      uint64_t length = local64 ? 20 : 12;
      if (e.recordEnd + 4 <= b.size() && u32(b, e.recordEnd) == kDescriptorSig) length += 4;
      e.recordEnd = std::min<uint64_t>(e.recordEnd + length, b.size());
    }
    if (e.size > limits_.maxEntrySize) throw PackageError("The package entry \"" + e.name + "\" is larger than allowed.");
    if (e.size > limits_.ratioFloor && e.size / std::max<uint64_t>(e.compressedSize, 1) > limits_.maxRatio)
      throw PackageError("The package entry \"" + e.name + "\" is compressed beyond any plausible ratio.");
    declaredTotal += e.size;
    if (declaredTotal > limits_.maxTotalSize) throw PackageError("The package inflates to more than allowed.");
    entries_.push_back(std::move(e));
  }
}

const ZipEntry* ZipReader::find(std::string_view name) const {
  for (const ZipEntry& e : entries_)
    if (e.name == name) return &e;
  return nullptr;
}

std::string ZipReader::read(const ZipEntry& e) {
  inflatedSoFar_ += e.size;
  if (inflatedSoFar_ > limits_.maxTotalSize) throw PackageError("The package inflates to more than allowed.");
  std::string_view data = std::string_view(bytes_).substr(e.dataOffset, e.compressedSize);
  std::string out = e.method == 0 ? std::string(data) : inflateRaw(data, e.size, limits_.maxEntrySize);
  if (crc32Of(out) != e.crc) throw PackageError("The package entry \"" + e.name + "\" is damaged (checksum).");
  return out;
}

std::string_view ZipReader::rawRecord(const ZipEntry& e) const {
  return std::string_view(bytes_).substr(e.headerOffset, e.recordEnd - e.headerOffset);
}

void ZipWriter::copy(const ZipReader& from, const ZipEntry& entry) {
  central_.push_back({entry, out_.size()});
  out_.append(from.rawRecord(entry));
}

void ZipWriter::add(const std::string& name, std::string_view data, int level) {
  ZipEntry e;
  e.name = name;
  e.method = 8;
  e.size = data.size();
  std::string packed = deflateRaw(data, level, &e.crc);
  if (packed.size() >= data.size()) {  // incompressible: store it
    e.method = 0;
    packed.assign(data);
  }
  e.compressedSize = packed.size();
  e.modTime = 0;
  e.modDate = (1980 - 1980) << 9 | 1 << 5 | 1;
  bool utf8 = std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  e.flags = utf8 ? 0x800 : 0;
  if (e.size >= 0xffffffffu) throw PackageError("A package part is too large to write.");
  central_.push_back({e, out_.size()});
  put32(out_, kLocalSig);
  put16(out_, 20);
  put16(out_, e.flags);
  put16(out_, e.method);
  put16(out_, e.modTime);
  put16(out_, e.modDate);
  put32(out_, e.crc);
  put32(out_, static_cast<uint32_t>(e.compressedSize));
  put32(out_, static_cast<uint32_t>(e.size));
  put16(out_, static_cast<uint32_t>(name.size()));
  put16(out_, 0);
  out_.append(name);
  out_.append(packed);
}

std::string ZipWriter::finish() {
  uint64_t cdOffset = out_.size();
  for (const Central& c : central_) {
    const ZipEntry& e = c.entry;
    std::string extra;
    bool big = e.size >= 0xffffffffu || e.compressedSize >= 0xffffffffu || c.offset >= 0xffffffffu;
    if (big) {
      std::string fields;
      put64(fields, e.size);
      put64(fields, e.compressedSize);
      put64(fields, c.offset);
      put16(extra, 0x0001);
      put16(extra, static_cast<uint32_t>(fields.size()));
      extra += fields;
    }
    put32(out_, kCentralSig);
    put16(out_, big ? 45 : 20);
    put16(out_, big ? 45 : 20);
    put16(out_, e.flags);
    put16(out_, e.method);
    put16(out_, e.modTime);
    put16(out_, e.modDate);
    put32(out_, e.crc);
    put32(out_, big ? 0xffffffffu : static_cast<uint32_t>(e.compressedSize));
    put32(out_, big ? 0xffffffffu : static_cast<uint32_t>(e.size));
    put16(out_, static_cast<uint32_t>(e.name.size()));
    put16(out_, static_cast<uint32_t>(extra.size()));
    put16(out_, 0);
    put16(out_, 0);
    put16(out_, 0);
    put32(out_, 0);
    put32(out_, big ? 0xffffffffu : static_cast<uint32_t>(c.offset));
    out_.append(e.name);
    out_.append(extra);
  }
  uint64_t cdSize = out_.size() - cdOffset;
  uint64_t count = central_.size();
  bool zip64 = count >= 0xffff || cdOffset >= 0xffffffffu || cdSize >= 0xffffffffu;
  if (zip64) {
    uint64_t end64 = out_.size();
    put32(out_, kEnd64Sig);
    put64(out_, 44);
    put16(out_, 45);
    put16(out_, 45);
    put32(out_, 0);
    put32(out_, 0);
    put64(out_, count);
    put64(out_, count);
    put64(out_, cdSize);
    put64(out_, cdOffset);
    put32(out_, kLocator64Sig);
    put32(out_, 0);
    put64(out_, end64);
    put32(out_, 1);
  }
  put32(out_, kEndSig);
  put16(out_, 0);
  put16(out_, 0);
  put16(out_, zip64 ? 0xffff : static_cast<uint32_t>(count));
  put16(out_, zip64 ? 0xffff : static_cast<uint32_t>(count));
  put32(out_, zip64 ? 0xffffffffu : static_cast<uint32_t>(cdSize));
  put32(out_, zip64 ? 0xffffffffu : static_cast<uint32_t>(cdOffset));
  put16(out_, 0);
  central_.clear();
  return std::move(out_);
}

}  // namespace ooxml
