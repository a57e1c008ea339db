// Masks come from the settings file: any mask, folder and file name must expand in bounded
// time to at most 260 characters, and the safety check must hold for what it accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/TRenamerFileStructure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  // Input layout: mask, then a 0x01 byte, the file name, 0x01, the folder path.
  std::string parts[3];
  size_t part = 0;
  for (char c : input) {
    if (c == '\x01' && part < 2) ++part;
    else parts[part] += c;
  }
  TRenamerFileStructure r;
  r.Mask = parts[0];
  r.CounterIndex = static_cast<int32_t>(size * 7919);
  r.CounterStep = static_cast<int32_t>(size) - 100;
  std::string name = ExpandNameMask(r, parts[2], parts[1], static_cast<int64_t>(size) * 1000000007LL);
  if (name.size() > kMaxMaskedNameLength) std::abort();
  std::string safe;
  if (NewFileNameByMask(r, parts[2], parts[1], 0, safe) &&
      (safe.empty() || safe == "." || safe == ".." || safe.find_first_of("/\\:") != std::string::npos))
    std::abort();
  return 0;
}
