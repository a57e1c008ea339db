#include "settings/win/ProfileIniFile.h"

#include <windows.h>

AnsiString ProfileIniFile::ReadString(const AnsiString& section, const AnsiString& key,
                                      const AnsiString& defaultValue) {
  char buffer[kMaxValueLength + 1] = {};
  AnsiString fallback = defaultValue.substr(0, kMaxValueLength);
  DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                     sizeof buffer, path_.c_str());
  return AnsiString(buffer, n < sizeof buffer ? n : sizeof buffer - 1);
}

bool ProfileIniFile::WriteLine(const AnsiString& section, const AnsiString& key, const AnsiString& value) {
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str())) return false;
  // Flush the cache so the file on disk holds the value when this returns.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
  return true;
}

std::unique_ptr<IniFile> OpenIniFile(const AnsiString& path) { return std::make_unique<ProfileIniFile>(path); }
