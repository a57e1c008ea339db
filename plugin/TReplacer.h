#pragma once
// The worker thread of one batch: pulls documents from the host one at a time, filters them,
// lets the driver process them, and reports each result through synchronous hand-overs to the
// user-interface thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "engine/BatchDriver.h"
#include "engine/Cancellation.h"
#include "plugin/HostFileResult.h"
#include "plugin/UiInvoker.h"
#include "settings/TUserParameters.h"

enum RunState : int32_t {
  rsRunning = 0,
  rsAborted = 1,
  rsCompleted = 2,
  rsTableNotOpened = 3,
  rsWordNotStarted = 4,
  rsTableCheckFailed = 5,
};

class TReplacer : public IReplaceOwner {
 public:
  using DriverFactory = std::function<std::unique_ptr<BatchDriver>(TReplacer& owner)>;

  // Created suspended: fill the fields below, then Resume().
  TReplacer(UiInvoker& ui, DriverFactory createDriver);
  ~TReplacer() override;  // requests termination and waits, serving hand-overs meanwhile
  TReplacer(const TReplacer&) = delete;
  TReplacer& operator=(const TReplacer&) = delete;

  // Set by the main window before Resume.
  AnsiString tablePath;
  int32_t searchControlWord = 0;
  AnsiString namingMask;                  // copied into "MaskForNewName" when the run starts
  TUserParameters* parameters = nullptr;  // not owned
  std::function<void()> onNextFile;       // required
  std::function<void(HostFileResult*)> onResult;
  std::function<void(int32_t result, int32_t step, int32_t count, int64_t sizeBefore, int64_t sizeAfter)> onFileDone;
  std::function<void(int32_t percent)> onProgress;
  std::function<void()> onCompleted;  // on the main thread after the run has ended

  void Resume();
  void Terminate() { terminate_.store(true, std::memory_order_release); }
  bool TerminateRequested() const override { return terminate_.load(std::memory_order_acquire); }
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  void WaitFor();  // from the main thread; hand-overs keep running

  // Written by the main thread while the run goes on.
  void HandOverFile(const AnsiString& path, int32_t attributes);  // path, attributes, then file ready
  void SetPaused(bool paused) { paused_.store(paused, std::memory_order_release); }
  void SetRunState(int32_t state) { runState_.store(state, std::memory_order_release); }

  // Filled by the worker.
  int32_t RunStateValue() const { return runState_.load(std::memory_order_acquire); }
  int32_t fileResult = 0;
  int32_t stepCode = 0;
  int32_t replacementCount = 0;
  int64_t sizeBefore = 0;  // 64-bit end to end: files past 2 GiB are reported as they are
  int64_t sizeAfter = 0;
  std::atomic<int32_t> progress{0};  // the main thread may read it while a document runs
  TTablePosition tableErrorPosition;
  std::string failureText;  // what made the table, Word or the last document fail, UTF-8
  HostFileResult hostResult;

 private:
  void Run();
  void RunBatch(BatchDriver& driver);
  void PrepareReport();      // on the worker: the size after and the host's record
  void ReportCurrentFile();  // on the user-interface thread: file done, then result
  void RequestNextFile();    // on the user-interface thread

  UiInvoker& ui_;
  DriverFactory createDriver_;
  std::thread thread_;
  std::atomic<bool> terminate_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> fileReady_{false};
  std::atomic<bool> paused_{false};
  std::atomic<int32_t> runState_{rsRunning};
  AnsiString currentPath_;  // published by the release store of fileReady_
  int32_t currentAttributes_ = -1;
};
