#pragma once
// The command line of the tavimo batch:
//   tavimo --table FILE [options] PATH...
#include <optional>
#include <string>
#include <vector>

#include "platform/Text.h"

struct CliOptions {
  AnsiString table;
  AnsiString settingsFile;
  std::vector<AnsiString> paths;
  bool recursive = false;
  AnsiString jsonFile;
  // Documents in hand at once, each with a worker and a Word of its own (backup and in place
  // only: names built by a mask could meet).
  size_t jobs = 1;

  // Overrides of the stored settings; unset keeps what the settings file says.
  std::optional<bool> matchCase, wholeWord, wildcards;
  enum class SaveMode { Backup, InPlace, Mask };
  std::optional<SaveMode> saveMode;
  AnsiString mask;
  std::optional<bool> ignoreEmptyReplacement;
  std::optional<bool> setFormattingOnly;
  std::optional<bool> leaveCapitalAsIs;
  bool help = false;
};

// Throws std::invalid_argument with a message fit for the user.
CliOptions ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();
