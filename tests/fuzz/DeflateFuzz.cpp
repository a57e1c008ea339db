// Any bytes, repeated out to a size the first two bytes pick (up to 1.3 MB, so that large parts
// go through the piecewise path too), deflated at a level the third byte picks: inflating must
// give the bytes back, and the checksum worked out alongside must be the data's own.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ooxml/package/Zip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const size_t want = (size_t(data[0]) << 8 | data[1]) * 20;  // 0 .. about 1.3 MB
  const int level = data[2] % 10;
  std::string seed(reinterpret_cast<const char*>(data + 3), size - 3);
  std::string part;
  part.reserve(want);
  while (!seed.empty() && part.size() < want) part.append(seed, 0, std::min(seed.size(), want - part.size()));
  // Some bytes of the copies changed, so that they differ as a long document's paragraphs do.
  uint32_t x = data[2];
  for (size_t i = 61; i < part.size(); i += 61 + (x >> 27)) {
    x = x * 1664525u + 1013904223u;
    part[i] = static_cast<char>(part[i] ^ (x >> 24));
  }
  uint32_t crc = 0;
  const std::string packed = ooxml::deflateRaw(part, level, &crc);
  if (crc != ooxml::crc32Of(part)) __builtin_trap();
  if (ooxml::inflateRaw(packed, part.size(), part.size()) != part) __builtin_trap();
  return 0;
}
