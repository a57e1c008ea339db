#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <thread>

#include "platform/FaultyFileSystem.h"
#include "platform/Files.h"
#include "plugin/DocumentFilter.h"
#include "plugin/TReplacer.h"

namespace {

// A driver that answers from a script and records what it was asked.
struct ScriptedDriver : BatchDriver {
  bool tableOpens = true, tableChecks = true, wordStarts = true;
  std::deque<int32_t> results;  // per ProcessFile call; 8 when empty
  std::vector<AnsiString>* processed = nullptr;
  std::function<void()> duringFile;
  int64_t size = 100;

  bool LoadTranslationTable(const AnsiString&) override { return tableOpens; }
  bool CheckTable() override { return tableChecks; }
  bool StartWord() override { return wordStarts; }
  int32_t ProcessFile(const AnsiString& path) override {
    processed->push_back(path);
    if (progress) progress(50);
    if (duringFile) duringFile();
    int32_t r = 8;
    if (!results.empty()) {
      r = results.front();
      results.pop_front();
    }
    return r;
  }
  int32_t StepCode() const override { return tableChecks ? 9 : 64; }
  int32_t ReplacementCount() const override { return 3; }
  int64_t SizeBefore() const override { return size; }
  TTablePosition TableErrorPosition() const override { return {4, 1}; }
};

// Counts the worker's hand-overs and notes the thread each callback runs on.
struct CountingUi : QueueUiInvoker {
  std::atomic<int> invokes{0};
  void Invoke(const std::function<void()>& callback) override {
    ++invokes;
    QueueUiInvoker::Invoke(callback);
  }
};

struct FileDone {
  int32_t result, step, count;
  int64_t before, after;
};

class ReplacerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = platform::joinPath(platform::tempFolder(), "tavimo_worker_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                          std::to_string(reinterpret_cast<uintptr_t>(this)));
    platform::fileSystem().createFolder(dir_);
  }
  void TearDown() override {
    for (auto& e : platform::fileSystem().listFolder(dir_)) platform::fileSystem().remove(platform::joinPath(dir_, e.name));
    platform::fileSystem().remove(dir_);
  }
  AnsiString file(const char* name, size_t bytes) {
    AnsiString p = platform::joinPath(dir_, name);
    platform::writeFileAtomically(p, std::string(bytes, 'x'));
    return p;
  }

  // Runs a batch over the host list and returns when the completion handler has run.
  void runBatch(std::deque<AnsiString> hostList, bool withNextFile = true) {
    auto replacer = std::make_unique<TReplacer>(ui_, [this](TReplacer&) {
      auto d = std::make_unique<ScriptedDriver>(driver_);
      d->processed = &processed_;
      return d;
    });
    TReplacer& r = *replacer;
    r.parameters = &params_;
    r.namingMask = "[N]_new.[E]";
    if (withNextFile)
      r.onNextFile = [&] {
        calls_ += 'n';
        if (std::this_thread::get_id() != mainThread_) calls_ += '!';
        ++requests_;
        if (hostList.empty()) {
          r.SetRunState(rsCompleted);
          return;
        }
        AnsiString p = hostList.front();
        hostList.pop_front();
        r.HandOverFile(p, platform::fileSystem().attributes(p));
      };
    r.onFileDone = [&](int32_t res, int32_t step, int32_t count, int64_t before, int64_t after) {
      calls_ += 'd';
      done_.push_back({res, step, count, before, after});
      if (onFileDone_) onFileDone_();
    };
    r.onResult = [&](HostFileResult* h) {
      calls_ += 'r';
      host_.push_back(*h);
      if (onResult_) onResult_(r);
    };
    r.onProgress = [&](int32_t p) { percents_.push_back(p); };
    r.onCompleted = [&] { completed_ = true; };
    if (terminateDuringFile_) driver_.duringFile = [&r] { r.Terminate(); };
    r.Resume();
    ui_.ServeUntil([&] { return completed_; });
    r.WaitFor();
    state_ = r.RunStateValue();
    step_ = r.stepCode;
    cell_ = r.tableErrorPosition;
  }

  AnsiString dir_;
  CountingUi ui_;
  std::thread::id mainThread_ = std::this_thread::get_id();
  std::string calls_;  // d file done, r result, n next file, ! off the main thread
  std::function<void()> onFileDone_;
  std::function<void(TReplacer&)> onResult_;
  TUserParameters params_;
  ScriptedDriver driver_;
  bool terminateDuringFile_ = false;
  std::vector<AnsiString> processed_;
  std::vector<FileDone> done_;
  std::vector<HostFileResult> host_;
  std::vector<int32_t> percents_;
  int requests_ = 0;
  bool completed_ = false;
  int32_t state_ = -1, step_ = 0;
  TTablePosition cell_;
};

TEST_F(ReplacerTest, DocumentsGoToTheDriverOthersAreNotSupportedFoldersAreSkipped) {
  AnsiString doc = file("a.DOC", 10), readme = file("readme.txt", 7);
  driver_.results = {2};
  runBatch({doc, dir_, readme});
  EXPECT_EQ(processed_, std::vector<AnsiString>{doc});  // capitals match the filter
  ASSERT_EQ(done_.size(), 2u);                          // the folder got no line
  EXPECT_EQ(done_[0].result, 2);
  EXPECT_EQ(done_[0].count, 3);
  EXPECT_EQ(done_[0].after, 10);
  EXPECT_EQ(done_[1].result, 16);
  EXPECT_EQ(done_[1].before, 7);
  EXPECT_EQ(done_[1].after, 7);
  EXPECT_EQ(done_[1].count, 0);
  ASSERT_EQ(host_.size(), 2u);
  EXPECT_EQ(host_[0].flags, 82);
  EXPECT_EQ(host_[1].flags, 210);
  EXPECT_EQ(requests_, 4);  // three files and the end of the list
  EXPECT_EQ(state_, rsCompleted);
  EXPECT_EQ(percents_, std::vector<int32_t>{50});
  EXPECT_EQ(params_.GetParameter("MaskForNewName"), "[N]_new.[E]");
}

TEST_F(ReplacerTest, EachFileIsReportedAndTheNextAskedForInOneHandOver) {
  AnsiString a = file("a.docx", 1), b = file("b.txt", 1);
  runBatch({a, dir_, b});
  EXPECT_EQ(calls_, "ndrnndrn");  // the folder gets no report, only the next request
  EXPECT_EQ(ui_.invokes, 6);      // the first request, one per path, a.docx's progress, the completion
}

TEST_F(ReplacerTest, StopDuringAReportAsksForNoFurtherFile) {
  onResult_ = [](TReplacer& r) { r.Terminate(); };
  runBatch({file("a.docx", 1), file("b.docx", 1)});
  EXPECT_EQ(calls_, "ndr");
  EXPECT_EQ(processed_.size(), 1u);
  EXPECT_EQ(state_, rsAborted);
}

TEST_F(ReplacerTest, ARaisingReportEndsTheRunBeforeTheRestOfItsHandOver) {
  onFileDone_ = [] { throw std::runtime_error("host failed"); };
  runBatch({file("a.docx", 1), file("b.docx", 1)});
  EXPECT_EQ(calls_, "nd");
  EXPECT_EQ(processed_.size(), 1u);
  EXPECT_EQ(state_, rsRunning);  // as any error that ends the run early leaves it
  EXPECT_TRUE(completed_);
}

TEST_F(ReplacerTest, AFailedFileKeepsThePreviousNewSize) {
  AnsiString a = file("a.docx", 10), b = file("b.docx", 20);
  driver_.results = {8, 1};
  runBatch({a, b});
  ASSERT_EQ(host_.size(), 2u);
  EXPECT_EQ(host_[1].flags, 130);
  EXPECT_EQ(host_[1].newSize, 10);
  EXPECT_EQ(done_[1].after, 10);
  for (auto& h : host_)
    for (uint8_t b : h.reserved) EXPECT_EQ(b, 0);
}

TEST_F(ReplacerTest, ProtectedFileReportsFlags18) {
  driver_.results = {64};
  runBatch({file("p.docx", 5)});
  EXPECT_EQ(host_.at(0).flags, 18);
  EXPECT_EQ(host_.at(0).newSize, 5);
}

TEST_F(ReplacerTest, NullFirstAnswerCompletesWithoutFiles) {
  runBatch({});
  EXPECT_TRUE(processed_.empty());
  EXPECT_TRUE(done_.empty());
  EXPECT_EQ(state_, rsCompleted);
  EXPECT_TRUE(completed_);
}

TEST_F(ReplacerTest, TerminationDuringADocumentFailsItAndRequestsNothingMore) {
  terminateDuringFile_ = true;
  driver_.results = {1};
  runBatch({file("a.docx", 1), file("b.docx", 1)});
  EXPECT_EQ(processed_.size(), 1u);
  EXPECT_EQ(done_.at(0).result, 1);
  EXPECT_EQ(requests_, 1);
  EXPECT_EQ(state_, rsAborted);
}

TEST_F(ReplacerTest, FailuresBeforeAnyFileEndTheRunWithTheirStates) {
  driver_.tableOpens = false;
  runBatch({file("a.docx", 1)});
  EXPECT_EQ(state_, rsTableNotOpened);
  EXPECT_EQ(requests_, 0);

  driver_ = ScriptedDriver{};
  driver_.tableChecks = false;
  completed_ = false;
  runBatch({});
  EXPECT_EQ(state_, rsTableCheckFailed);
  EXPECT_EQ(step_, 64);
  EXPECT_EQ(cell_.Row, 4);
  EXPECT_EQ(cell_.Column, 1);

  driver_ = ScriptedDriver{};
  driver_.wordStarts = false;
  completed_ = false;
  runBatch({});
  EXPECT_EQ(state_, rsWordNotStarted);
  EXPECT_EQ(requests_, 0);
}

TEST_F(ReplacerTest, MissingNextFileCallbackEndsTheRunStillRunning) {
  runBatch({file("a.docx", 1)}, false);
  EXPECT_EQ(state_, rsRunning);
  EXPECT_TRUE(completed_);
  EXPECT_TRUE(processed_.empty());
}

TEST_F(ReplacerTest, SizesPast2GiBAreReportedWhole) {
  AnsiString big = file("big.docx", 1);
  platform::FaultyFileSystem fs;
  fs.reportSize(big, 5'000'000'000LL);
  platform::ScopedFileSystem scope(fs);
  driver_.results = {2};
  driver_.size = 4'900'000'000LL;
  runBatch({big});
  EXPECT_EQ(done_.at(0).before, 4'900'000'000LL);
  EXPECT_EQ(done_.at(0).after, 5'000'000'000LL);
  EXPECT_EQ(host_.at(0).newSize, 5'000'000'000LL);
}

TEST(DocumentFilterTest, MatchesWholePathsWithoutRegardToCase) {
  DocumentFilter f;
  EXPECT_TRUE(f.Matches("C:\\x\\A.DOCX"));
  EXPECT_TRUE(f.Matches("/x/report.docm"));
  EXPECT_FALSE(f.Matches("/x/readme.txt"));
  EXPECT_FALSE(f.Matches("/x/a.docx.bak"));
  EXPECT_TRUE(f.Matches("/x.doc/a.doc"));
  DocumentFilter q("?.d*c");
  EXPECT_TRUE(q.Matches("a.doc"));
  EXPECT_FALSE(q.Matches("ab.doc"));
  // A long path full of near-misses stays fast: no backtracking blow-up.
  EXPECT_FALSE(DocumentFilter("*a*a*a*a*a*b").Matches(std::string(5000, 'a')));
}

TEST(HostFlags, ByFileResult) {
  EXPECT_EQ(HostFlagsFor(1), 130);
  EXPECT_EQ(HostFlagsFor(2), 82);
  EXPECT_EQ(HostFlagsFor(8), 210);
  EXPECT_EQ(HostFlagsFor(16), 210);
  EXPECT_EQ(HostFlagsFor(64), 18);
}

}  // namespace
