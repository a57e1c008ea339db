#include <deque>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "engine/SearchControlWord.h"
#include "engine/TMSWordTavimo.h"
#include "platform/Clock.h"
#include "platform/FaultyFileSystem.h"
#include "platform/Files.h"
#include "tests/engine/WordFake.h"

namespace {

struct TableRow {
  WideString find, replacement;
};

// A table read from memory; a row whose find text is "!" fails as a faulty spreadsheet cell.
struct MemoryTable : TAbstractTable {
  std::vector<TableRow> rows;
  explicit MemoryTable(std::vector<TableRow> r) : rows(std::move(r)) { Ready = true; }
  bool GetVisible() override { return false; }
  void SetVisible(bool) override {}
  void Open(const AnsiString&) override {}
  void Close() override {}
  bool ReadRow(WideString& f, WideString& r, TFormating& ff, TFormating& rf) override {
    if (Row > static_cast<int32_t>(rows.size())) return false;
    const auto& row = rows[static_cast<size_t>(Row - 1)];
    if (row.find == u"!") {
      Stage = 64;
      throw std::runtime_error("mixed colours");
    }
    ResetFormating(ff);
    ResetFormating(rf);
    f = row.find;
    r = row.replacement;
    ++Row;
    return true;
  }
  void GetPosition(TTablePosition& p) override { p = {Row, 1}; }
};

// Holds a file open for reading and writing, letting others read and write it too, and (on
// Linux) with the exclusive lock a writer takes: as Word holds the document it has open.
class HeldAsWordHoldsIt {
 public:
#ifdef _WIN32
  explicit HeldAsWordHoldsIt(const AnsiString& path)
      : h_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldAsWordHoldsIt() { CloseHandle(h_); }
  bool held() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
#else
  explicit HeldAsWordHoldsIt(const AnsiString& path) : fd_(::open(path.c_str(), O_RDWR)) {
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~HeldAsWordHoldsIt() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
#endif
};

// Asks the batch to stop as soon as a backup file is being written.
struct StopOnBackup : platform::FaultyFileSystem {
  TestOwner& owner;
  explicit StopOnBackup(TestOwner& o) : owner(o) {}
  std::unique_ptr<platform::File> open(const AnsiString& path, platform::OpenMode mode) override {
    if (mode == platform::OpenMode::CreateNew && path.find(".bak") != AnsiString::npos) owner.terminate = true;
    return FaultyFileSystem::open(path, mode);
  }
};

class DriverTest : public WordFake {
 protected:
  void SetUp() override {
    dir_ = platform::joinPath(platform::tempFolder(), "tavimo_driver_" + std::to_string(platform::nowAsFileTime()));
    platform::fileSystem().createFolder(dir_);
    params_.SetParameter("CreateBackUpCopy", "-1");
    params_.SetParameter("MaskForNewName", "[N]_new.[E]");
    params_.SetParameter("JustHighLight", "0");
    params_.SetParameter("LeaveCapitalAsIs", "-1");
    installWord();
    fake.returns("Documents.Open", {automation::Variant(fake.object("Document"))});
    fake.returns("Document.Windows.Item(1).Selection", {automation::Variant(fake.object("Sel"))});
    fake.setProperty("Documents.Count", 0);
    fake.setProperty("Document.ProtectionType", -1);
    for (const char* c : {"Document.Sections.Count", "Document.FootNotes.Count", "Document.EndNotes.Count",
                          "Document.HyperLinks.count", "Document.Shapes.count"})
      fake.setProperty(c, 0);
    for (const char* name : {"title", "keywords", "subject", "author", "manager", "company"})
      fake.setProperty(property(name), u"");
  }
  void TearDown() override {
    for (auto& e : platform::realFileSystem().listFolder(dir_)) {
      AnsiString p = platform::joinPath(dir_, e.name);
      platform::realFileSystem().remove(p);
    }
    platform::realFileSystem().remove(dir_);
  }

  std::unique_ptr<TMSWordTavimo> driver(std::vector<TableRow> rows, int32_t controlWord = 0) {
    auto d = std::make_unique<TMSWordTavimo>(&owner, 0, 0, controlWord, params_);
    d->CreateTable = [rows](const AnsiString&) { return std::make_unique<MemoryTable>(rows); };
    d->progress = [this](int32_t p) { progress_.push_back(p); };
    EXPECT_TRUE(d->LoadTranslationTable("table.xlsx"));
    EXPECT_TRUE(d->CheckTable());
    EXPECT_TRUE(d->StartWord());
    return d;
  }
  AnsiString file(const char* name, const std::string& content = "document") {
    AnsiString p = platform::joinPath(dir_, name);
    platform::writeFileAtomically(p, content);
    return p;
  }

  AnsiString dir_;
  TUserParameters params_;
  std::vector<int32_t> progress_;
};

TEST_F(DriverTest, ATableWithNoRowsLeavesEveryDocumentUnchanged) {
  auto d = driver({});
  EXPECT_EQ(d->RowCount, 0);
  EXPECT_EQ(d->ProcessFile(file("a.docx")), frUnchanged);
  EXPECT_TRUE(progress_.empty());
  EXPECT_EQ(count("Document.SaveAs"), 0u);
  EXPECT_EQ(calls("Document.Close"), std::vector<std::string>{"Document.Close(0, Empty, Empty)"});
}

TEST_F(DriverTest, EmptyFindTextIsSkippedButCountsForProgress) {
  auto d = driver({{u"", u"x"}, {u"a", u"b"}});
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(d->ProcessFile(file("a.docx")), frSuccessful);
  EXPECT_EQ(progress_, (std::vector<int32_t>{50, 100}));
  EXPECT_EQ(d->ReplacementCount(), 1);
  EXPECT_EQ(d->StepCode(), 9);
}

TEST_F(DriverTest, NothingMatchingIsNotSavedNorBackedUp) {
  auto d = driver({{u"zzz", u"y"}});
  scriptHits({});
  AnsiString a = file("a.docx");
  EXPECT_EQ(d->ProcessFile(a), frUnchanged);
  EXPECT_EQ(count("Document.Save"), 0u);
  EXPECT_FALSE(platform::exists(a + ".bak"));
}

TEST_F(DriverTest, BackupsTakeTheFirstFreeNameAndHoldTheOriginal) {
  auto d = driver({{u"a", u"b"}});
  AnsiString a = file("a.doc", "original bytes");
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(d->ProcessFile(a), frSuccessful);
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(d->ProcessFile(a), frSuccessful);
  EXPECT_EQ(platform::readFile(a + ".bak", 100), "original bytes");
  EXPECT_TRUE(platform::exists(a + ".bak0"));
  EXPECT_EQ(d->SizeBefore(), 14);
  EXPECT_EQ(calls("Document.SaveAs").back(), "Document.SaveAs(\"" + a + "\")");
}

TEST_F(DriverTest, TheBackupIsTakenWhileWordHoldsTheDocumentButNeverWithoutItsSize) {
  auto d = driver({{u"a", u"b"}});
  AnsiString a = file("a.doc", "original bytes");
  {
    HeldAsWordHoldsIt word(a);
    ASSERT_TRUE(word.held());
    EXPECT_TRUE(d->MakeBackupCopy(a, 14));
  }
  EXPECT_EQ(platform::readFile(a + ".bak", 100), "original bytes");
#ifndef _WIN32
  struct stat st;
  ASSERT_EQ(::chmod(a.c_str(), 0600), 0);
  EXPECT_TRUE(d->MakeBackupCopy(a, 14));
  ASSERT_EQ(::stat((a + ".bak0").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);  // a private document's backup stays private
  platform::fileSystem().remove(a + ".bak0");
#endif

  // A size that could not be read would give an empty file that passes for a backup.
  EXPECT_FALSE(d->MakeBackupCopy(a, -1));
  EXPECT_FALSE(platform::exists(a + ".bak0"));
  // Nor is a copy the disk may not hold yet one.
  platform::FaultyFileSystem fs;
  fs.failAt(platform::FileOp::Sync, 1);
  platform::ScopedFileSystem scope(fs);
  EXPECT_FALSE(d->MakeBackupCopy(a, 14));
  EXPECT_FALSE(platform::exists(a + ".bak0"));
}

TEST_F(DriverTest, SaveByMaskWritesBesideTheSourceWithoutBackup) {
  auto d = driver({{u"a", u"b"}}, scwSaveByMask);
  d->BackupSwitch = false;  // the window writes "CreateBackUpCopy" 0 for this mode
  AnsiString a = file("a.docx");
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(d->ProcessFile(a), frSuccessful);
  EXPECT_EQ(calls("Document.SaveAs"), std::vector<std::string>{"Document.SaveAs(\"" + platform::joinPath(dir_, "a_new.docx") + "\")"});
  EXPECT_FALSE(platform::exists(a + ".bak"));
}

// Saving by mask over a file the folder already had (say, another document of the batch named
// as the mask names its output) keeps that file under its backup name first.
TEST_F(DriverTest, SaveByMaskOverAnotherFileKeepsThatFileAsItsBackup) {
  auto d = driver({{u"a", u"b"}}, scwSaveByMask);
  d->BackupSwitch = false;
  AnsiString a = file("a.docx");
  AnsiString inTheWay = file("a_new.docx", "somebody's own document");
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(d->ProcessFile(a), frSuccessful);
  EXPECT_EQ(calls("Document.SaveAs"), std::vector<std::string>{"Document.SaveAs(\"" + inTheWay + "\")"});
  EXPECT_EQ(platform::readFile(inTheWay + ".bak", 1000), "somebody's own document");
  EXPECT_FALSE(platform::exists(a + ".bak"));

  // A mask that gives the document its own name replaces it in place, with no copy.
  params_.SetParameter("MaskForNewName", "[N].[E]");
  auto same = driver({{u"a", u"b"}}, scwSaveByMask);
  same->BackupSwitch = false;
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(same->ProcessFile(a), frSuccessful);
  EXPECT_FALSE(platform::exists(a + ".bak"));
}

TEST_F(DriverTest, AFileInTheMasksWayThatCannotBeKeptFailsTheSaveAndStaysAsItWas) {
  auto d = driver({{u"a", u"b"}}, scwSaveByMask);
  d->BackupSwitch = false;
  AnsiString a = file("a.docx");
  AnsiString inTheWay = file("a_new.docx", "somebody's own document");
  platform::FaultyFileSystem fs;
  fs.failAt(platform::FileOp::Write, 1, true);
  platform::ScopedFileSystem scope(fs);
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(d->ProcessFile(a), frFailed);
  EXPECT_EQ(d->StepCode(), 9);
  EXPECT_EQ(d->FailureText(), "The file the mask names could not be kept as a backup before it was saved over.");
  EXPECT_EQ(count("Document.SaveAs"), 0u);
  EXPECT_FALSE(platform::exists(inTheWay + ".bak"));
  EXPECT_EQ(platform::readFile(inTheWay, 1000), "somebody's own document");
}

TEST_F(DriverTest, AMaskThatWouldLeaveTheFolderFailsTheFileAtStep9) {
  params_.SetParameter("MaskForNewName", std::string("..") + platform::pathSeparator() + "[N].[E]");
  auto d = driver({{u"a", u"b"}}, scwSaveByMask);
  d->BackupSwitch = false;
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(d->ProcessFile(file("a.docx")), frFailed);
  EXPECT_EQ(d->StepCode(), 9);
  EXPECT_EQ(d->FailureText(), "The name the mask makes would leave the document's folder.");
  EXPECT_EQ(count("Document.SaveAs"), 0u);
}

TEST_F(DriverTest, ReadOnlyOrLockedFilesAreProtectedWithoutOpeningWord) {
  auto d = driver({{u"a", u"b"}});
  AnsiString locked = file("locked.docx");
  {
    auto holder = platform::fileSystem().open(locked, platform::OpenMode::Read);
    EXPECT_EQ(d->ProcessFile(locked), frProtected);
  }
  EXPECT_EQ(d->StepCode(), 1);
  EXPECT_EQ(d->SizeBefore(), 8);  // the line and the totals show its size
  EXPECT_EQ(d->FailureText(), "");
  EXPECT_EQ(d->ProcessFile(platform::joinPath(dir_, "missing.docx")), frFailed);
  EXPECT_EQ(d->StepCode(), 1);
  EXPECT_EQ(d->FailureText(), "The file does not exist.");
#ifndef _WIN32
  AnsiString pipe = platform::joinPath(dir_, "pipe.docx");  // opening it would wait for ever
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
  EXPECT_EQ(d->ProcessFile(pipe), frFailed);
  EXPECT_EQ(d->StepCode(), 1);
  ::unlink(pipe.c_str());
#endif
  EXPECT_EQ(count("Documents.Open"), 0u);
}

TEST_F(DriverTest, WordProtectionGivesProtectedAndClosesUnsaved) {
  auto d = driver({{u"a", u"b"}});
  fake.setProperty("Document.ProtectionType", 3);
  EXPECT_EQ(d->ProcessFile(file("a.docx")), frProtected);
  EXPECT_EQ(d->StepCode(), 5);
  EXPECT_EQ(count("Document.Save"), 0u);
  EXPECT_EQ(count("Document.Close"), 1u);
}

TEST_F(DriverTest, StoppingDuringTheBackupLeavesNoBackup) {
  auto d = driver({{u"a", u"b"}});
  AnsiString a = file("a.docx", std::string(450000, 'x'));
  StopOnBackup fs(owner);
  platform::ScopedFileSystem scope(fs);
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(d->ProcessFile(a), frFailed);
  EXPECT_EQ(d->StepCode(), 8);
  EXPECT_EQ(d->FailureText(), "Stopped on request.");
  EXPECT_FALSE(platform::exists(a + ".bak"));
  EXPECT_EQ(count("Document.Save"), 0u);
}

TEST_F(DriverTest, StoppingBetweenRowsFailsTheFile) {
  auto d = driver({{u"a", u"b"}, {u"c", u"d"}});
  d->progress = [this](int32_t) { owner.terminate = true; };
  scriptHits({{0, 1, u"a"}});
  EXPECT_EQ(d->ProcessFile(file("a.docx")), frFailed);
  EXPECT_EQ(count("Document.Save"), 0u);
}

TEST_F(DriverTest, AFailingRowReportsTheWrapperStage) {
  auto d = driver({{u"a", u"b"}});
  fake.failsAlways("Sel.Find.Execute", "Word refused");
  EXPECT_EQ(d->ProcessFile(file("a.docx")), frFailed);
  EXPECT_EQ(d->StepCode(), d->Word->Stage());
  EXPECT_GE(d->StepCode(), 100);
  EXPECT_NE(d->FailureText().find("Word refused"), std::string::npos);  // the cause, for the report
}

TEST_F(DriverTest, DocumentsAlreadyOpenInWordGetAFreshApplication) {
  auto d = driver({});
  fake.setProperty("Documents.Count", 1);
  d->ProcessFile(file("a.docx"));
  EXPECT_EQ(count("Quit"), 0u);
  EXPECT_EQ(count("DisplayAlerts = 0"), 3u);  // the first start, the fresh start, the open
}

TEST_F(DriverTest, AFaultyRowFailsTheCheckWithStageAndPosition) {
  auto d = std::make_unique<TMSWordTavimo>(&owner, 0, 0, 0, params_);
  d->CreateTable = [](const AnsiString&) { return std::make_unique<MemoryTable>(std::vector<TableRow>{{u"a", u"b"}, {u"!", u""}}); };
  ASSERT_TRUE(d->LoadTranslationTable("t.xlsx"));
  EXPECT_FALSE(d->CheckTable());
  EXPECT_EQ(d->StepCode(), 64);
  EXPECT_EQ(d->TableErrorPosition().Row, 2);
  EXPECT_EQ(d->TableErrorPosition().Column, 1);
}

TEST_F(DriverTest, ATableThatCannotBeOpenedOrAMissingWordFailTheStart) {
  auto d = std::make_unique<TMSWordTavimo>(&owner, 0, 0, 0, params_);
  d->CreateTable = [](const AnsiString&) { return std::unique_ptr<TAbstractTable>(); };
  EXPECT_FALSE(d->LoadTranslationTable("t.xlsx"));
  automation::InProcessFactory empty;
  automation::ScopedAutomationFactory noWord(empty);
  EXPECT_FALSE(d->StartWord());
  EXPECT_EQ(d->Word, nullptr);
}

}  // namespace
