#pragma once
// Little-endian integers read from bytes held in memory, each read checked against the end:
// binary files come from users, and a short one must fail, never read past its buffer.
#include <cstdint>
#include <cstring>
#include <string_view>

namespace ooxml {

// False when the value would reach past the end: callers turn that into the message that fits
// what they were reading.
inline bool readLe(std::string_view bytes, size_t offset, size_t width, uint64_t& out) {
  if (offset > bytes.size() || width > bytes.size() - offset) return false;
  out = 0;
  for (size_t i = width; i-- > 0;) out = (out << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return true;
}

// Zero beyond the end, for fields whose bounds the caller has already checked.
inline uint16_t le16(std::string_view bytes, size_t offset) {
  uint64_t v = 0;
  return readLe(bytes, offset, 2, v) ? static_cast<uint16_t>(v) : 0;
}

inline uint32_t le32(std::string_view bytes, size_t offset) {
  uint64_t v = 0;
  return readLe(bytes, offset, 4, v) ? static_cast<uint32_t>(v) : 0;
}

inline uint64_t le64(std::string_view bytes, size_t offset) {
  uint64_t v = 0;
  return readLe(bytes, offset, 8, v) ? v : 0;
}

inline double leDouble(std::string_view bytes, size_t offset) {
  uint64_t bits = le64(bytes, offset);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

}  // namespace ooxml
