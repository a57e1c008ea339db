#include "ooxml/sheet/BiffRecords.h"

#include <cstring>

#include "ooxml/package/LittleEndian.h"
#include "ooxml/package/PackageError.h"

namespace ooxml::sheet::biff {
namespace {

constexpr size_t kMaxParts = 65536;

}  // namespace

void damaged(const std::string& why) {
  throw PackageError("The workbook is damaged and cannot be read (" + why + "); if another program can open it, save it again");
}

bool RecordStream::next(Record& record) {
  if (pos_ >= stream_.size()) return false;
  auto body = [&](uint16_t& type) {
    if (stream_.size() - pos_ < 4) damaged("the workbook stream ends inside a record");
    type = le16(stream_, pos_);
    const size_t length = le16(stream_, pos_ + 2);
    if (stream_.size() - pos_ - 4 < length) damaged("a record runs past the end of its stream");
    std::string_view b = stream_.substr(pos_ + 4, length);
    pos_ += 4 + length;
    return b;
  };
  record.parts.clear();
  record.parts.push_back(body(record.type));
  while (stream_.size() - pos_ >= 4 && le16(stream_, pos_) == kContinue) {
    // Real records go on in a few thousand parts at most; millions of empty ones would cost
    // far more memory than the file.
    if (record.parts.size() >= kMaxParts) damaged("a record goes on in too many parts");
    uint16_t type;
    record.parts.push_back(body(type));
  }
  return true;
}

bool RecordReader::partLeft() {
  while (part_ < parts_.size() && pos_ >= parts_[part_].size()) ++part_, pos_ = 0;
  return part_ < parts_.size();
}

uint8_t RecordReader::u8() {
  if (!partLeft()) damaged("a record is shorter than its contents");
  return static_cast<uint8_t>(parts_[part_][pos_++]);
}

uint16_t RecordReader::u16() {
  uint16_t low = u8();
  return static_cast<uint16_t>(low | (u8() << 8));
}

uint32_t RecordReader::u32() {
  uint32_t low = u16();
  return low | (static_cast<uint32_t>(u16()) << 16);
}

double RecordReader::f64() {
  uint64_t bits = u32();
  bits |= static_cast<uint64_t>(u32()) << 32;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

void RecordReader::skip(size_t count) {
  while (count > 0) {
    if (!partLeft()) damaged("a record is shorter than its contents");
    const size_t step = std::min(count, parts_[part_].size() - pos_);
    pos_ += step;
    count -= step;
  }
}

bool RecordReader::atEnd() { return !partLeft(); }

WideString RecordReader::characters(size_t count, bool wide) {
  WideString text;
  text.reserve(count);
  while (text.size() < count) {
    if (part_ < parts_.size() && pos_ >= parts_[part_].size()) {
      // The characters go on in the next part, which restates their width first.
      if (!partLeft()) damaged("a text is cut short");
      wide = (u8() & 1) != 0;
      continue;
    }
    if (part_ >= parts_.size()) damaged("a text is cut short");
    std::string_view part = parts_[part_];
    const size_t width = wide ? 2 : 1;
    const size_t fit = std::min(count - text.size(), (part.size() - pos_) / width);
    if (fit == 0) damaged("a text character is split between records");
    for (size_t i = 0; i < fit; ++i, pos_ += width)
      text.push_back(wide ? static_cast<char16_t>(le16(part, pos_)) : static_cast<char16_t>(static_cast<uint8_t>(part[pos_])));
  }
  return text;
}

WideString RecordReader::string16() {
  const uint16_t count = u16();
  const bool wide = (u8() & 1) != 0;
  return characters(count, wide);
}

WideString RecordReader::string8() {
  const uint8_t count = u8();
  const bool wide = (u8() & 1) != 0;
  return characters(count, wide);
}

RichText readRichText(RecordReader& in, size_t maxLength) {
  const uint16_t count = in.u16();
  const uint8_t options = in.u8();
  const uint16_t runCount = options & 0x08 ? in.u16() : 0;
  const uint32_t phoneticSize = options & 0x04 ? in.u32() : 0;
  if (count > maxLength) throw PackageError("A text in the workbook is longer than " + std::to_string(maxLength) + " characters");
  RichText t;
  t.text = in.characters(count, (options & 0x01) != 0);
  t.runs.reserve(runCount);
  for (uint16_t i = 0; i < runCount; ++i) {
    const uint16_t first = in.u16();
    t.runs.emplace_back(first, in.u16());
  }
  in.skip(phoneticSize);
  return t;
}

double rkValue(uint32_t rk) {
  double v;
  if (rk & 0x02) {
    v = static_cast<double>(static_cast<int32_t>(rk) >> 2);
  } else {
    const uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&v, &bits, sizeof v);
  }
  return rk & 0x01 ? v / 100 : v;
}

}  // namespace ooxml::sheet::biff
