#pragma once
// The record layer of a legacy binary workbook stream: records of a 16-bit type and length,
// where a long record goes on in the CONTINUE records after it. Reads are checked against
// the record's end; a short record is a damaged workbook (PackageError).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace ooxml::sheet::biff {

enum RecordType : uint16_t {
  kFormula = 0x0006,
  kEof = 0x000A,
  kDateMode = 0x0022,
  kFilePass = 0x002F,
  kFont = 0x0031,
  kContinue = 0x003C,
  kWindow1 = 0x003D,
  kCodePage = 0x0042,
  kColInfo = 0x007D,
  kBoundSheet = 0x0085,
  kPalette = 0x0092,
  kMulRk = 0x00BD,
  kMulBlank = 0x00BE,
  kRString = 0x00D6,
  kXf = 0x00E0,
  kSst = 0x00FC,
  kLabelSst = 0x00FD,
  kBlank = 0x0201,
  kNumber = 0x0203,
  kLabel = 0x0204,
  kBoolErr = 0x0205,
  kString = 0x0207,
  kRow = 0x0208,
  kRk = 0x027E,
  kFormat = 0x041E,
  kBof = 0x0809,
  kXfExt = 0x087D,
};

// BOF records of the versions before 97, which keep their own record layouts.
inline bool isOldBof(uint16_t type) { return type == 0x0009 || type == 0x0209 || type == 0x0409; }

[[noreturn]] void damaged(const std::string& why);

struct Record {
  uint16_t type = 0;
  std::vector<std::string_view> parts;  // the body, then the bodies of its CONTINUE records
};

class RecordStream {
 public:
  RecordStream(std::string_view stream, size_t offset) : stream_(stream), pos_(offset) {}
  bool next(Record& record);  // false at the end of the stream

 private:
  std::string_view stream_;
  size_t pos_;
};

// Reads one record's body as a whole, across its CONTINUE parts.
class RecordReader {
 public:
  explicit RecordReader(const Record& record) : parts_(record.parts) {}

  uint8_t u8();
  uint16_t u16();
  uint32_t u32();
  double f64();
  void skip(size_t count);
  bool atEnd();
  // Characters whose count was read before. Where they go on in a CONTINUE part, that part
  // starts with a byte saying whether the rest is 8-bit (Latin-1) or UTF-16.
  WideString characters(size_t count, bool wide);
  WideString string16();  // a 16-bit count, an option byte, the characters
  WideString string8();   // the same with an 8-bit count

 private:
  bool partLeft();  // moves on to the next part when the current one is read
  const std::vector<std::string_view>& parts_;
  size_t part_ = 0, pos_ = 0;
};

// A text with its formatting runs: (first character, font index in the file's numbering).
struct RichText {
  WideString text;
  std::vector<std::pair<uint16_t, uint16_t>> runs;
};
// A shared-table item: count, options, run count, phonetic size, characters, runs, phonetic
// data (skipped). Texts over maxLength are refused before their characters are read.
RichText readRichText(RecordReader& in, size_t maxLength);

// A 32-bit packed number of RK records: a 30-bit integer or the top of a double, maybe /100.
double rkValue(uint32_t rk);

}  // namespace ooxml::sheet::biff
