#pragma once
// The batch driver: loads and checks the table, starts Word, and processes one document at a
// time (exclusive-access test, open, protection test, every row, backup, save, close).
#include <functional>
#include <memory>

#include "engine/BatchDriver.h"
#include "engine/TBaseReplacer.h"
#include "engine/TWordObject.h"
#include "settings/TUserParameters.h"
#include "tables/TAbstractTable.h"

// File result codes.
constexpr int32_t frFailed = 1;
constexpr int32_t frSuccessful = 2;
constexpr int32_t frUnchanged = 8;
constexpr int32_t frNotSupported = 16;
constexpr int32_t frProtected = 64;

class TMSWordTavimo : public TBaseReplacer, public BatchDriver {
 public:
  using TableFactory = std::function<std::unique_ptr<TAbstractTable>(const AnsiString& path)>;

  // Reads "CreateBackUpCopy", "MaskForNewName" and "JustHighLight" from the store.
  TMSWordTavimo(IReplaceOwner* owner, int32_t searchFormattingSet, int32_t setFormattingSet,
                int32_t searchControlWord, TUserParameters& parameters);
  ~TMSWordTavimo() override;  // the Word wrapper first (quits Word), then the table reader

  bool LoadTranslationTable(const AnsiString& path) override;
  bool CheckTable() override;
  bool StartWord() override;
  int32_t ProcessFile(const AnsiString& path) override;

  int32_t StepCode() const override { return Step; }
  int32_t ReplacementCount() const override { return Replacements; }
  int64_t SizeBefore() const override { return FileSizeBefore; }
  TTablePosition TableErrorPosition() const override { return ErrorPosition; }
  std::string FailureText() const override { return failure_; }

  // Where table readers come from; the reader choice by extension unless a test sets another.
  TableFactory CreateTable;

  int64_t FileSizeBefore = -1;
  int32_t Replacements = 0;
  TUserParameters& Parameters;
  std::unique_ptr<TWordObject> Word;
  std::unique_ptr<TAbstractTable> Table;
  int32_t RowCount = 0;
  AnsiString Mask;
  int32_t Step = 0;
  int32_t SearchControlWord = 0;
  int32_t SetFormattingSet = 0;
  int32_t SearchFormattingSet = 0;
  bool SetFormattingOnly = false;
  TTablePosition ErrorPosition;

 private:
  int32_t applyRows();
  int32_t saveChanged(const AnsiString& path);
  int32_t documentNumber_ = 0;  // 1-based number of the document in this batch, for [C]
  std::string failure_;
};
