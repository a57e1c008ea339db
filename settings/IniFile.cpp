#include "settings/IniFile.h"

#include <string>

bool ParseIniInteger(const AnsiString& text, int32_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  int64_t v = 0;
  // Hexadecimal covers the 32 bits as written (so $FFFFFFFF is -1); decimal must fit.
  const int64_t limit = base == 16 ? 0xFFFFFFFFLL : 2147483648LL;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int d = c >= '0' && c <= '9' ? c - '0'
            : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
            : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
    if (d < 0) return false;
    v = v * base + d;
    if (v > limit) return false;
  }
  if (base == 10 && !negative && v > 2147483647LL) return false;
  if (base == 16) v = static_cast<int32_t>(static_cast<uint32_t>(v));
  value = static_cast<int32_t>(negative ? -v : v);
  return true;
}

bool IniFile::WriteString(const AnsiString& section, const AnsiString& key, const AnsiString& value) {
  return WriteLine(section, key, value.substr(0, value.find_first_of(std::string("\r\n\0", 3))));
}

int32_t IniFile::ReadInteger(const AnsiString& section, const AnsiString& key, int32_t defaultValue) {
  int32_t v = 0;
  return ParseIniInteger(ReadString(section, key, ""), v) ? v : defaultValue;
}

bool IniFile::WriteInteger(const AnsiString& section, const AnsiString& key, int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniFile::ReadBool(const AnsiString& section, const AnsiString& key, bool defaultValue) {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::WriteBool(const AnsiString& section, const AnsiString& key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}
