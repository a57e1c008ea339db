#include <gtest/gtest.h>

#include <map>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/FaultyFileSystem.h"
#include "settings/SettingsFile.h"
#include "settings/TextIniFile.h"
#include "tests/settings/SettingsTestFolder.h"

namespace {

class FakeForm : public SettingsForm {
 public:
  QuickOptions GetQuickOptions() const override { return quick; }
  void SetQuickOptions(const QuickOptions& o) override { quick = o; }
  AnsiString GetTableFile() const override { return table; }
  void SetTableFile(const AnsiString& p) override { table = p; }
  void SetOpenDialogFolder(const AnsiString& f) override { dialogFolder = f; }
  QuickOptions quick;
  AnsiString table, dialogFolder = "<unset>";
};

// The key lines of one section, as written.
std::map<std::string, std::string> sectionOf(const std::string& text, const std::string& section) {
  std::map<std::string, std::string> keys;
  bool inside = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line[0] == '[') inside = line == "[" + section + "]";
    else if (inside && line.find('=') != std::string::npos) keys[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    start = end + 2;
  }
  return keys;
}

class Settings : public SettingsFolder {
 protected:
  void SetUp() override {
    SettingsFolder::SetUp();
    file = path("pelmora.ini");
  }
  void load() { LoadSettings(form, file, values, store); }
  void save() { SaveSettings(form, file, values, store); }
  FakeForm form;
  AnsiString file;
  PluginSettings values;
  std::unique_ptr<TUserParameters> store;
};

}  // namespace

TEST_F(Settings, FreshFileGivesTheDefaults) {
  values.SearchControlWord = 99;
  values.NameMask = "x";
  form.quick.WholeWord = true;
  load();
  EXPECT_EQ(values.SearchControlWord, 0);
  EXPECT_EQ(values.SearchFormatting, 0);
  EXPECT_EQ(values.SetFormatting, 0);
  EXPECT_FALSE(form.quick.CaseSensitive || form.quick.ControlCards || form.quick.WholeWord);
  EXPECT_EQ(values.NameMask, "[N].[E]");
  EXPECT_EQ(form.table, "");
  EXPECT_EQ(form.dialogFolder, "");
  EXPECT_EQ(values.SoundFile, "");
  EXPECT_FALSE(values.NeedToPlaySound);
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store->GetParameter("JustHighLight"), "0");
  EXPECT_EQ(store->GetParameter("LeaveCapitalAsIs"), "-1");
}

TEST_F(Settings, SaveWritesExactlyTheTenKeysAndLoadsBackTheSameValues) {
  write("pelmora.ini", "[Host]\r\nOwn=1\r\n[Tavimo_MS_WORD]\r\nSearchControlWord=1\r\n");
  load();
  values = {5, 96, 2048 | 512, "[U][N]_[C].[E]", platform::joinPath(folder_, "done.wav"), true};
  form.quick = {true, false, true};
  form.table = platform::joinPath(folder_, "table.txt");
  store->SetBoolParameter("JustHighLight", true);
  store->SetBoolParameter("LeaveCapitalAsIs", false);
  save();
  EXPECT_EQ(store, nullptr);

  auto keys = sectionOf(read("pelmora.ini"), "Tavimo_MS_WORD");
  std::map<std::string, std::string> expected = {
      {"SearchParameters", "5"}, {"ADVANCED_OPTIONS", "96"}, {"MaskForName", "[U][N]_[C].[E]"},
      {"TableFile", form.table}, {"SearchControlWord", "2560"}, {"SearchControlWord2", "5"},
      {"SoundFile", values.SoundFile}, {"NeedToPlaySound", "1"}, {"JUST_SET_FORMATTING", "1"},
      {"LeaveCapitalAsIs", "0"}};
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(TextIniFile(file).ReadString("Host", "Own", ""), "1");

  PluginSettings saved = values;
  FakeForm before = form;
  values = {};
  form = {};
  load();
  EXPECT_EQ(values.SearchFormatting, saved.SearchFormatting);
  EXPECT_EQ(values.SetFormatting, saved.SetFormatting);
  EXPECT_EQ(values.SearchControlWord, saved.SearchControlWord);
  EXPECT_EQ(values.NameMask, saved.NameMask);
  EXPECT_EQ(values.SoundFile, saved.SoundFile);
  EXPECT_TRUE(values.NeedToPlaySound);
  EXPECT_TRUE(form.quick.CaseSensitive && !form.quick.ControlCards && form.quick.WholeWord);
  EXPECT_EQ(form.table, before.table);
  EXPECT_EQ(form.dialogFolder, folder_);
  EXPECT_EQ(store->GetParameter("JustHighLight"), "-1");
  EXPECT_EQ(store->GetParameter("LeaveCapitalAsIs"), "0");
}

TEST_F(Settings, StoredQuickBitsAreDroppedSoTheBatchesOwnCannotCarryIntoTheNextBit) {
  // Case (1) stored plus case chosen would make 2, wildcards; the largest word would overflow.
  write("pelmora.ini", "[Tavimo_MS_WORD]\r\nSearchControlWord=1031\r\n");
  load();
  EXPECT_EQ(values.SearchControlWord, 1024);
  write("pelmora.ini", "[Tavimo_MS_WORD]\r\nSearchControlWord=2147483647\r\n");
  load();
  EXPECT_EQ(values.SearchControlWord, 2147483647 & ~7);
}

TEST_F(Settings, GarbageValuesReadAsDefaults) {
  write("pelmora.ini",
        "[TAVIMO_MS_WORD]\r\nSearchControlWord=abc\r\nSearchControlWord2=xyz\r\nNeedToPlaySound=yes\r\n"
        "LeaveCapitalAsIs=maybe\r\nJUST_SET_FORMATTING=-1\r\nADVANCED_OPTIONS=12abc\r\nSearchParameters=3\r\n");
  load();
  EXPECT_EQ(values.SearchControlWord, 0);
  EXPECT_EQ(values.SetFormatting, 0);
  EXPECT_EQ(values.SearchFormatting, 3);
  EXPECT_FALSE(values.NeedToPlaySound);
  EXPECT_EQ(store->GetParameter("LeaveCapitalAsIs"), "-1");
  EXPECT_EQ(store->GetParameter("JustHighLight"), "-1");
}

TEST_F(Settings, FailedSaveStopsSilentlyAndStillReleasesTheStore) {
  load();
  store.reset(new TUserParameters);  // "JustHighLight" missing: the last two keys are not written
  save();
  EXPECT_EQ(store, nullptr);
  auto keys = sectionOf(read("pelmora.ini"), "Tavimo_MS_WORD");
  EXPECT_EQ(keys.size(), 8u);
  EXPECT_EQ(keys.count("JUST_SET_FORMATTING"), 0u);

  AnsiString unwritable = path("missing-folder/pelmora.ini");
  load();
  EXPECT_NO_THROW(SaveSettings(form, unwritable, values, store));
  EXPECT_EQ(store, nullptr);
}

TEST_F(Settings, DefaultPathIsTheHostFolderWhenItCanHoldTheFile) {
  AnsiString host = path("host"), appData = path("appdata");
  platform::fileSystem().createFolder(host);
  platform::fileSystem().createFolder(appData);
  EXPECT_EQ(DefaultSettingsFilePath(host, appData), platform::joinPath(host, "pelmora.ini"));
  EXPECT_TRUE(platform::exists(platform::joinPath(host, "pelmora.ini")));  // made empty
  EXPECT_EQ(DefaultSettingsFilePath(host, appData), platform::joinPath(host, "pelmora.ini"));
  // A host folder that does not exist is no denial: its path stays.
  EXPECT_EQ(DefaultSettingsFilePath(path("gone"), appData), platform::joinPath(path("gone"), "pelmora.ini"));
}

// Another program writes the settings file between our look for it and our making of it.
class LateWriter : public platform::FaultyFileSystem {
 public:
  LateWriter(AnsiString target, std::string text) : target_(std::move(target)), text_(std::move(text)) {}
  int32_t attributes(const AnsiString& path) override {
    int32_t seen = FaultyFileSystem::attributes(path);
    if (path == target_ && !written_) {
      written_ = true;
      auto file = platform::realFileSystem().open(path, platform::OpenMode::Write);
      file->write(text_.data(), text_.size());
      file->close();
    }
    return seen;
  }

 private:
  AnsiString target_;
  std::string text_;
  bool written_ = false;
};

TEST_F(Settings, ASettingsFileMadeByAnotherProgramMeanwhileIsKeptWhole) {
  AnsiString host = path("host"), appData = path("appdata");
  platform::fileSystem().createFolder(host);
  const AnsiString file = platform::joinPath(host, "pelmora.ini");
  const std::string theirs = "[Tavimo_MS_WORD]\r\nSearchControlWord=5\r\n";
  {
    LateWriter late(file, theirs);
    platform::ScopedFileSystem scope(late);
    EXPECT_EQ(DefaultSettingsFilePath(host, appData), file);
  }
  EXPECT_EQ(read("host/pelmora.ini"), theirs);
}

#ifndef _WIN32
TEST_F(Settings, AHostFileThisUserMayNotWriteSendsTheSettingsToAppData) {
  // The file is root's, with no read-only mark: only the user's rights refuse the write.
  if (::getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  AnsiString host = path("host"), appData = path("appdata");
  platform::fileSystem().createFolder(host);
  platform::fileSystem().createFolder(appData);
  write("host/pelmora.ini", "[Other]\r\n");
  ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
  ASSERT_EQ(::chmod(appData.c_str(), 0777), 0);
  const AnsiString expected = platform::joinPath(platform::joinPath(appData, "PELMORA"), "pelmora.ini");
  pid_t child = ::fork();
  if (child == 0) {
    bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && DefaultSettingsFilePath(host, appData) == expected;
    ::_exit(ok ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
#endif

TEST_F(Settings, DefaultPathFallsBackToPelmoraInAppDataWhenTheHostFolderIsNotWritable) {
  AnsiString host = path("host"), appData = path("appdata");
  platform::fileSystem().createFolder(host);
  platform::fileSystem().createFolder(appData);
  {
    platform::FaultyFileSystem faulty;
    platform::ScopedFileSystem scope(faulty);
    faulty.failAt(platform::FileOp::Open, 1, true);  // the host folder refuses the new file
    EXPECT_EQ(DefaultSettingsFilePath(host, appData),
              platform::joinPath(platform::joinPath(appData, "PELMORA"), "pelmora.ini"));
  }
  EXPECT_TRUE(platform::isFolder(platform::joinPath(appData, "PELMORA")));
}
