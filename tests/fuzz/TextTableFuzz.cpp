// Text tables are user files: any bytes must read as rows or the end of the table.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Files.h"
#include "tables/TTextTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path =
      platform::joinPath(platform::tempFolder(), "tavimo_fuzz_table_" + std::to_string(getpid()) + ".txt");
  if (!platform::writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(data), size)))
    return 0;
  TTextTable table;
  table.Open(path);
  WideString find, replace;
  TFormating f1, f2;
  size_t rows = 0;
  while (table.ReadRow(find, replace, f1, f2)) {
    if (find.empty() || ++rows > table.LineCount()) std::abort();
  }
  TTablePosition p;
  table.GetPosition(p);
  if (p.Row != static_cast<int32_t>(rows) + 1 || p.Column != 1) std::abort();
  return 0;
}
