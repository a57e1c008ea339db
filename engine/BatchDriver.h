#pragma once
// What the worker needs of a batch driver: the calls of one batch, in order, and the values
// that describe the last call. TMSWordTavimo is the real one; tests use their own.
#include <cstdint>
#include <functional>

#include "platform/Text.h"
#include "tables/TFormating.h"

class BatchDriver {
 public:
  virtual ~BatchDriver() = default;
  virtual bool LoadTranslationTable(const AnsiString& path) = 0;
  virtual bool CheckTable() = 0;
  virtual bool StartWord() = 0;
  virtual int32_t ProcessFile(const AnsiString& path) = 0;  // 1, 2, 8 or 64

  virtual int32_t StepCode() const = 0;
  virtual int32_t ReplacementCount() const = 0;
  virtual int64_t SizeBefore() const = 0;
  virtual TTablePosition TableErrorPosition() const = 0;
  // What made the last call fail, in words (UTF-8) for a host that shows them; empty when it
  // did not fail or nothing said why.
  virtual std::string FailureText() const { return {}; }

  // Called with a percentage after each table row of a document.
  std::function<void(int32_t percent)> progress;
};
