#include "plugin/TReplacer.h"

#include <chrono>
#include <stdexcept>

#include "automation/Apartment.h"
#include "platform/Files.h"
#include "plugin/DocumentFilter.h"

namespace {
constexpr int32_t kDirectoryAttribute = 16;
void briefly() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
}  // namespace

TReplacer::TReplacer(UiInvoker& ui, DriverFactory createDriver) : ui_(ui), createDriver_(std::move(createDriver)) {}

TReplacer::~TReplacer() {
  if (thread_.joinable()) {
    Terminate();
    WaitFor();
  }
}

void TReplacer::Resume() {
  if (thread_.joinable()) return;
  thread_ = std::thread([this] {
    Run();
    finished_.store(true, std::memory_order_release);
  });
}

void TReplacer::WaitFor() {
  if (!thread_.joinable()) return;
  ui_.WaitServing([this] { return Finished(); });
  thread_.join();
}

void TReplacer::HandOverFile(const AnsiString& path, int32_t attributes) {
  currentPath_ = path;
  currentAttributes_ = attributes;
  fileReady_.store(true, std::memory_order_release);
}

void TReplacer::RequestNextFile() {
  if (!onNextFile) throw std::runtime_error("Please specify function");
  onNextFile();
}

void TReplacer::Run() {
  if (parameters) parameters->SetParameter("MaskForNewName", namingMask);
  {
    automation::ComApartment apartment;
    std::unique_ptr<BatchDriver> driver;
    try {
      driver = createDriver_(*this);
      driver->progress = [this](int32_t percent) {
        progress = percent;
        if (onProgress) ui_.Invoke([&] { onProgress(percent); });
      };
      RunBatch(*driver);
    } catch (...) {
      // Whatever ends the run early, the driver goes (quitting Word) before COM does.
    }
    driver.reset();
  }
  if (onCompleted) ui_.Invoke(onCompleted);
}

void TReplacer::RunBatch(BatchDriver& driver) {
  if (!driver.LoadTranslationTable(tablePath)) {
    failureText = driver.FailureText();
    SetRunState(rsTableNotOpened);
    return;
  }
  if (!driver.CheckTable()) {
    stepCode = driver.StepCode();
    tableErrorPosition = driver.TableErrorPosition();
    SetRunState(rsTableCheckFailed);
    return;
  }
  if (!driver.StartWord()) {
    failureText = driver.FailureText();
    SetRunState(rsWordNotStarted);
    return;
  }
  DocumentFilter filter;
  ui_.Invoke([this] { RequestNextFile(); });
  while (RunStateValue() == rsRunning) {
    while (paused_.load(std::memory_order_acquire) && !TerminateRequested()) briefly();
    if (TerminateRequested()) break;
    if (!fileReady_.load(std::memory_order_acquire)) {
      briefly();
      continue;
    }
    fileReady_.store(false, std::memory_order_release);
    const bool isFile = currentAttributes_ == -1 || !(currentAttributes_ & kDirectoryAttribute);
    if (isFile) {
      if (filter.Matches(currentPath_)) {
        fileResult = driver.ProcessFile(currentPath_);
        replacementCount = driver.ReplacementCount();
        stepCode = driver.StepCode();
        sizeBefore = driver.SizeBefore();
        failureText = fileResult == 1 ? driver.FailureText() : std::string();
      } else {
        fileResult = 16;
        sizeBefore = platform::fileSystem().size(currentPath_);
        replacementCount = 0;
        stepCode = 0;
        failureText.clear();
      }
      PrepareReport();
    }
    // The file's report (a folder has none) and the request for the next file go over in one
    // hand-over: the user-interface thread runs them in the same order, the worker is woken once.
    ui_.Invoke([this, isFile] {
      if (isFile) ReportCurrentFile();
      if (!TerminateRequested()) RequestNextFile();
    });
  }
  SetRunState(TerminateRequested() ? rsAborted : rsCompleted);
}

void TReplacer::PrepareReport() {
  if (fileResult == 1) {
    hostResult.flags = HostFlagsFor(1);  // size after and newSize keep the previous file's values
  } else {
    sizeAfter = platform::fileSystem().size(currentPath_);
    hostResult.newSize = sizeAfter;
    hostResult.flags = HostFlagsFor(fileResult);
  }
}

void TReplacer::ReportCurrentFile() {
  if (onFileDone) onFileDone(fileResult, stepCode, replacementCount, sizeBefore, sizeAfter);
  if (onResult) onResult(&hostResult);
}
