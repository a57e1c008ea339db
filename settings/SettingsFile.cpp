#include "settings/SettingsFile.h"

#include <exception>

#include "platform/Files.h"
#include "settings/IniFile.h"

PluginSettings& ModuleSettings() {
  static PluginSettings settings;
  return settings;
}

std::unique_ptr<TUserParameters>& ModuleUserParameters() {
  static std::unique_ptr<TUserParameters> store;
  return store;
}

AnsiString& SettingsFilePath() {
  static AnsiString path;
  return path;
}

AnsiString DefaultSettingsFilePath(const AnsiString& hostFolder, const AnsiString& appDataFolder) {
  platform::FileSystem& fs = platform::fileSystem();
  const AnsiString path = platform::joinPath(hostFolder, "pelmora.ini");
  bool denied = false;
  int32_t attributes = fs.attributes(path);
  if (attributes == -1) {
    // Made only if still missing: a file another program writes meanwhile is never emptied.
    if (auto created = fs.open(path, platform::OpenMode::CreateNew)) {
      created->close();
      return path;
    }
    attributes = fs.attributes(path);
  }
  if (attributes == -1) {
    // The folder is there but takes no new file; a missing folder is not a denial.
    denied = platform::isFolder(hostFolder);
  } else {
    if (auto opened = fs.open(path, platform::OpenMode::ReadWrite)) return path;
    // A read-only file or one this user may not write is a denial; one someone holds open is not.
    denied = (attributes & (platform::kAttrReadOnly | platform::kAttrDirectory)) != 0 || platform::writingDenied(path);
  }
  if (!denied) return path;
  const AnsiString folder = platform::joinPath(appDataFolder, "PELMORA");
  if (!platform::isFolder(folder)) fs.createFolder(folder);
  return platform::isFolder(folder) ? platform::joinPath(folder, "pelmora.ini") : path;
}

const AnsiString& ResolveSettingsFilePath(AnsiString& path) {
  if (path.empty()) path = DefaultSettingsFilePath(platform::executableFolder(), platform::appDataFolder());
  return path;
}

void LoadSettings(SettingsForm& form, AnsiString& path, PluginSettings& settings,
                  std::unique_ptr<TUserParameters>& store) {
  auto ini = OpenIniFile(ResolveSettingsFilePath(path));
  store = std::make_unique<TUserParameters>();
  const char* s = kSettingsSection;
  settings.SearchFormatting = ini->ReadInteger(s, "SearchParameters", 0);
  settings.SetFormatting = ini->ReadInteger(s, "ADVANCED_OPTIONS", 0);
  // The quick bits are added to this word when a batch starts, so a stored one would carry
  // into the next bit (case plus case makes wildcards); they are never part of it.
  settings.SearchControlWord = ini->ReadInteger(s, "SearchControlWord", 0) & ~(1 | 2 | 4);
  int32_t quick = ini->ReadInteger(s, "SearchControlWord2", 0);
  form.SetQuickOptions({(quick & 1) != 0, (quick & 2) != 0, (quick & 4) != 0});
  settings.NeedToPlaySound = ini->ReadBool(s, "NeedToPlaySound", false);
  store->SetBoolParameter("JustHighLight", ini->ReadBool(s, "JUST_SET_FORMATTING", false));
  settings.NameMask = ini->ReadString(s, "MaskForName", "[N].[E]");
  AnsiString tableFile = ini->ReadString(s, "TableFile", "");
  settings.SoundFile = ini->ReadString(s, "SoundFile", "");
  form.SetTableFile(tableFile);
  form.SetOpenDialogFolder(platform::folderOf(tableFile));
  store->SetBoolParameter("LeaveCapitalAsIs", ini->ReadBool(s, "LeaveCapitalAsIs", true));
}

namespace {

bool writeKeys(IniFile& ini, const SettingsForm& form, const QuickOptions& quick,
               const PluginSettings& settings, const TUserParameters* store) {
  const char* s = kSettingsSection;
  int32_t quickBits = (quick.CaseSensitive ? 1 : 0) | (quick.ControlCards ? 2 : 0) | (quick.WholeWord ? 4 : 0);
  if (!ini.WriteInteger(s, "SearchParameters", settings.SearchFormatting) ||
      !ini.WriteInteger(s, "ADVANCED_OPTIONS", settings.SetFormatting) ||
      !ini.WriteString(s, "MaskForName", settings.NameMask) ||
      !ini.WriteString(s, "TableFile", form.GetTableFile()) ||
      !ini.WriteInteger(s, "SearchControlWord", settings.SearchControlWord) ||
      !ini.WriteInteger(s, "SearchControlWord2", quickBits) ||
      !ini.WriteString(s, "SoundFile", settings.SoundFile) ||
      !ini.WriteBool(s, "NeedToPlaySound", settings.NeedToPlaySound))
    return false;
  if (!store) return false;
  bool justHighLight = store->GetBoolParameter("JustHighLight");
  bool leaveCapital = store->GetBoolParameter("LeaveCapitalAsIs");
  return ini.WriteBool(s, "JUST_SET_FORMATTING", justHighLight) &&
         ini.WriteBool(s, "LeaveCapitalAsIs", leaveCapital);
}

}  // namespace

void SaveSettings(const SettingsForm& form, AnsiString& path, const PluginSettings& settings,
                  std::unique_ptr<TUserParameters>& store) {
  QuickOptions quick = form.GetQuickOptions();
  try {
    auto ini = OpenIniFile(ResolveSettingsFilePath(path));
    writeKeys(*ini, form, quick, settings, store.get());
  } catch (const std::exception&) {
    // A parameter missing from the store ends the save like an unwritable file does.
  }
  store.reset();
}

void LoadSettings(SettingsForm& form) {
  LoadSettings(form, SettingsFilePath(), ModuleSettings(), ModuleUserParameters());
}

void SaveSettings(const SettingsForm& form) {
  SaveSettings(form, SettingsFilePath(), ModuleSettings(), ModuleUserParameters());
}
