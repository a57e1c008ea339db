#pragma once
// The settings values the plug-in keeps in memory while it is loaded: read from the settings
// file when the main window opens, changed by the options dialog, written when it closes.
// The main window, the batch worker and the command-line batch share them.
#include <cstdint>
#include <memory>

#include "platform/Text.h"
#include "settings/TUserParameters.h"

struct PluginSettings {
  int32_t SearchFormatting = 0;   // which formatting found text must have (bits 1..64)
  int32_t SetFormatting = 0;      // which formatting the replacement receives (bits 1..64)
  int32_t SearchControlWord = 0;  // the stored part; the three quick options are added per batch
  AnsiString NameMask = "[N].[E]";
  AnsiString SoundFile;
  bool NeedToPlaySound = false;
};

// The module-wide instances.
PluginSettings& ModuleSettings();
// The user parameters store: made by LoadSettings, released by SaveSettings.
std::unique_ptr<TUserParameters>& ModuleUserParameters();
// The settings file; empty until the host names one or the default rule fills it.
AnsiString& SettingsFilePath();
