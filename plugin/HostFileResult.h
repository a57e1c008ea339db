#pragma once
// The result record the host receives for each document (posted with ntFileResult).
#include <cstdint>

#pragma pack(push, 1)
struct HostFileResult {
  int32_t flags = 0;
  uint8_t reserved[12] = {};
  int64_t newSize = 0;
};
#pragma pack(pop)
static_assert(sizeof(HostFileResult) == 24, "the host reads a packed 24-byte record");

// Result flags by file result code: 16 marks a written newSize.
constexpr int32_t HostFlagsFor(int fileResult) {
  if (fileResult == 1) return 130;
  int32_t flags = 18;
  if (fileResult == 8 || fileResult == 16) flags += 192;
  if (fileResult == 2) flags += 64;
  return flags;
}
