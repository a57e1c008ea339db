#include "engine/TMSWordTavimo.h"

#include "engine/Guard.h"
#include "engine/SearchControlWord.h"
#include "engine/TRenamerFileStructure.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "tables/OpenTranslationTable.h"

namespace {
// What a failure says for the report; a stop on request says nothing of its own.
std::string describe(const std::exception& e) {
  if (dynamic_cast<const CancellationError*>(&e)) return "Stopped on request.";
  return e.what();
}
}  // namespace

TMSWordTavimo::TMSWordTavimo(IReplaceOwner* owner, int32_t searchFormattingSet, int32_t setFormattingSet,
                             int32_t searchControlWord, TUserParameters& parameters)
    : TBaseReplacer(owner),
      CreateTable(CreateTableReader),
      Parameters(parameters),
      SearchControlWord(searchControlWord),
      SetFormattingSet(setFormattingSet),
      SearchFormattingSet(searchFormattingSet) {
  BackupSwitch = parameters.GetBoolParameter("CreateBackUpCopy");
  Mask = parameters.GetParameter("MaskForNewName");
  SetFormattingOnly = parameters.GetBoolParameter("JustHighLight");
}

TMSWordTavimo::~TMSWordTavimo() {
  swallowErrors([&] { Word.reset(); });
  swallowErrors([&] { Table.reset(); });
}

bool TMSWordTavimo::LoadTranslationTable(const AnsiString& path) {
  failure_.clear();
  try {
    if (!Table) {
      std::unique_ptr<TAbstractTable> reader = CreateTable(path);
      if (!reader || !reader->Ready) return false;
      reader->SetVisible(false);
      Table = std::move(reader);
    }
    Table->Open(path);
    return true;
  } catch (const std::exception& e) {
    failure_ = describe(e);
    Table.reset();
    return false;
  }
}

bool TMSWordTavimo::CheckTable() {
  RowCount = 0;
  Step = 1;
  try {
    Table->Rewind();
    Step = 6;
    WideString find, replacement;
    TFormating findRecord, replacementRecord;
    while (Table->ReadRow(find, replacement, findRecord, replacementRecord)) ++RowCount;
    return true;
  } catch (const std::exception&) {
    Step = Table->Stage;
    swallowErrors([&] { Table->GetPosition(ErrorPosition); });
    return false;
  }
}

bool TMSWordTavimo::StartWord() {
  if (Word) return true;
  failure_.clear();
  try {
    Word = std::make_unique<TWordObject>(owner_);
    if (!Word->WordRunning()) {
      Word.reset();
      return false;
    }
    Word->SetVisible(false);
    Word->SearchFormattingSet = SearchFormattingSet;
    Word->SetFormattingSet = SetFormattingSet;
    if (SetFormattingOnly) Word->Mode = TWordObject::kModeSetFormattingOnly;
    return true;
  } catch (const std::exception& e) {
    failure_ = describe(e);
    Word.reset();
    return false;
  }
}

int32_t TMSWordTavimo::ProcessFile(const AnsiString& path) {
  Word->Parameters = &Parameters;
  if (RowCount <= 0) RowCount = 1;
  Step = 1;
  Replacements = 0;
  FileSizeBefore = -1;
  failure_.clear();
  if (!platform::exists(path)) {
    failure_ = "The file does not exist.";
    return frFailed;
  }
  // Read first: a protected file's line and the totals show its real size, not -1.
  FileSizeBefore = platform::fileSystem().size(path);
  if (FileSizeBefore < 0) {  // not a plain file (a pipe, a device): no document
    failure_ = "The file is not a plain file.";
    return frFailed;
  }
  if (!platform::canOpenExclusive(path)) return frProtected;
  ++documentNumber_;

  int32_t result = frFailed;
  try {
    Step = 2;
    Table->Rewind();
    Step = 3;
    if (Word->DocumentCount() != 0) {
      Word->ReleaseApplication(false);  // that Word holds someone else's documents: leave it alone
      Word->StartApplication();
    }
    Step = 4;
    Word->OpenDocument(platform::ansiToWide(path));
    Step = 5;
    if (Word->IsProtected()) {
      result = frProtected;
    } else {
      result = applyRows();
      if (result == frSuccessful && Word->ReplacementCount() == 0) result = frUnchanged;
      if (result == frSuccessful) result = saveChanged(path);
    }
  } catch (const std::exception& e) {
    failure_ = describe(e);
    result = frFailed;
  }
  Replacements = Word->ReplacementCount();
  swallowErrors([&] { Word->CloseDocument(); });
  return result;
}

int32_t TMSWordTavimo::applyRows() {
  int32_t rowIndex = 0;
  try {
    WideString find, replacement;
    TFormating findRecord, replacementRecord;
    for (;;) {
      if (IsCancelled()) throw CancellationError();
      Step = 6;
      if (!Table->ReadRow(find, replacement, findRecord, replacementRecord)) break;
      ++rowIndex;
      if (progress) progress(static_cast<int32_t>(static_cast<int64_t>(rowIndex) * 100 / RowCount));
      Step = 7;
      if (!find.empty()) Word->ReplaceRow(find, replacement, SearchControlWord, &findRecord, &replacementRecord);
    }
  } catch (const std::exception& e) {
    failure_ = describe(e);
    if (Step == 7) Step = Word->Stage();
    else if (Step == 6) Step = Table->Stage;
    return frFailed;
  }
  return frSuccessful;
}

int32_t TMSWordTavimo::saveChanged(const AnsiString& path) {
  try {
    Step = 8;
    if (!MakeBackupCopy(path, FileSizeBefore)) {
      failure_ = IsCancelled() ? "Stopped on request." : "The backup copy could not be made.";
      return frFailed;
    }
    Step = 9;
    AnsiString target = path;
    if (SearchControlWord & scwSaveByMask) {
      target = NewNameByMask(path, Mask, documentNumber_);
      if (target.empty()) {
        failure_ = "The name the mask makes would leave the document's folder.";
        return frFailed;
      }
      if (!KeepFileInTheWay(path, target)) {
        failure_ = IsCancelled() ? "Stopped on request."
                                 : "The file the mask names could not be kept as a backup before it was saved over.";
        return frFailed;
      }
    }
    Word->SaveDocument(platform::ansiToWide(target));
    return frSuccessful;
  } catch (const std::exception& e) {
    failure_ = describe(e);
    return frFailed;
  }
}
