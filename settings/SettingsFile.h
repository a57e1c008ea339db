#pragma once
// Reading and writing the plug-in's section of the settings file, which it shares with the
// host program. The main window is reached through SettingsForm, so this runs without one.
#include <memory>

#include "settings/PluginSettings.h"

constexpr const char* kSettingsSection = "Tavimo_MS_WORD";

struct QuickOptions {
  bool CaseSensitive = false;  // search control word bit 1
  bool ControlCards = false;   // bit 2 (wildcards)
  bool WholeWord = false;      // bit 4
};

// The fields of the main window that the settings fill and save.
class SettingsForm {
 public:
  virtual ~SettingsForm() = default;
  virtual QuickOptions GetQuickOptions() const = 0;
  virtual void SetQuickOptions(const QuickOptions& options) = 0;
  virtual AnsiString GetTableFile() const = 0;
  virtual void SetTableFile(const AnsiString& path) = 0;
  virtual void SetOpenDialogFolder(const AnsiString& folder) = 0;
};

// "pelmora.ini" in the host's folder when it can be opened or created there; when access is
// denied, "pelmora.ini" in a folder "PELMORA" of the user's application data.
AnsiString DefaultSettingsFilePath(const AnsiString& hostFolder, const AnsiString& appDataFolder);
// Fills an empty path by the default rule with the running program's folders.
const AnsiString& ResolveSettingsFilePath(AnsiString& path);

// Reads the section into settings, the form and a new store (unreadable keys take defaults).
void LoadSettings(SettingsForm& form, AnsiString& path, PluginSettings& settings,
                  std::unique_ptr<TUserParameters>& store);
// Writes the ten keys; the first failure ends the save silently. The store is released.
void SaveSettings(const SettingsForm& form, AnsiString& path, const PluginSettings& settings,
                  std::unique_ptr<TUserParameters>& store);

// The same over the module-wide values.
void LoadSettings(SettingsForm& form);
void SaveSettings(const SettingsForm& form);
