#pragma once
// Our own reader and writer of INI files, following the observable rules of the Windows
// profile functions. The text functions are separate so they can be checked without files.
#include <optional>

#include "settings/IniFile.h"

// The value of the first key named so in the first section named so, as the profile
// functions return it: trimmed, one pair of surrounding quotes removed, cut at a NUL.
std::optional<AnsiString> FindIniValue(std::string_view text, const AnsiString& section, const AnsiString& key);
// The text with the key set: its line replaced, else added after the section's last entry,
// else a new section at the end. Other lines keep their bytes; line ends become CR LF.
AnsiString SetIniValue(std::string_view text, const AnsiString& section, const AnsiString& key,
                       const AnsiString& value);

class TextIniFile : public IniFile {
 public:
  // A settings file larger than this reads as empty and is never rewritten.
  static constexpr size_t kMaxFileBytes = 16u << 20;

  explicit TextIniFile(AnsiString path) : path_(std::move(path)) {}
  AnsiString ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& defaultValue) override;

 protected:
  bool WriteLine(const AnsiString& section, const AnsiString& key, const AnsiString& value) override;

 private:
  AnsiString path_;
};
