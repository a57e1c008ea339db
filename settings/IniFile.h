#pragma once
// The settings file as the profile functions of Windows see it: sections and keys named
// without regard to case, values trimmed and unquoted, missing keys giving a default.
#include <cstdint>
#include <memory>

#include "platform/Text.h"

class IniFile {
 public:
  // Values longer than this are cut, as the profile functions cut them at their buffer.
  static constexpr size_t kMaxValueLength = 2047;

  virtual ~IniFile() = default;
  virtual AnsiString ReadString(const AnsiString& section, const AnsiString& key,
                                const AnsiString& defaultValue) = 0;
  // False when the file could not be written. A value is cut at its first line break or NUL,
  // so it cannot add lines of its own to the file.
  bool WriteString(const AnsiString& section, const AnsiString& key, const AnsiString& value);

  // Text that is not a whole integer (decimal, or hexadecimal after "$" or "0x") gives the default.
  int32_t ReadInteger(const AnsiString& section, const AnsiString& key, int32_t defaultValue);
  bool WriteInteger(const AnsiString& section, const AnsiString& key, int32_t value);
  // Read as an integer, non-zero meaning true; written as "1" or "0".
  bool ReadBool(const AnsiString& section, const AnsiString& key, bool defaultValue);
  bool WriteBool(const AnsiString& section, const AnsiString& key, bool value);

 protected:
  virtual bool WriteLine(const AnsiString& section, const AnsiString& key, const AnsiString& value) = 0;
};

// The platform's settings file: the profile functions on Windows, TextIniFile elsewhere.
std::unique_ptr<IniFile> OpenIniFile(const AnsiString& path);

// Whole-text integer conversion shared by both implementations; false when not an integer.
bool ParseIniInteger(const AnsiString& text, int32_t& value);
