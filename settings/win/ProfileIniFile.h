#pragma once
// The settings file through GetPrivateProfileString and WritePrivateProfileString.
#include "settings/IniFile.h"

class ProfileIniFile : public IniFile {
 public:
  explicit ProfileIniFile(AnsiString path) : path_(std::move(path)) {}
  AnsiString ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& defaultValue) override;

 protected:
  bool WriteLine(const AnsiString& section, const AnsiString& key, const AnsiString& value) override;

 private:
  AnsiString path_;
};
