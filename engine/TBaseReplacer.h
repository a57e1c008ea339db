#pragma once
// What any batch needs besides Word: the owner's stop request, the backup switch, the backup
// copy, and the output name for saving by mask.
#include <cstdint>

#include "engine/Cancellation.h"
#include "platform/Text.h"

class TBaseReplacer {
 public:
  explicit TBaseReplacer(IReplaceOwner* owner) : owner_(owner) {}
  virtual ~TBaseReplacer() = default;

  bool IsCancelled() const { return owner_ && owner_->TerminateRequested(); }

  // Copies the first size bytes of the file to the first free name of path.bak, path.bak0,
  // path.bak1, ... in chunks of 200000 bytes, checking for a stop request between chunks.
  // A copy that fails or is stopped leaves no backup file behind.
  bool MakeBackupCopy(const AnsiString& path, int64_t size);
  // Before a document is saved under a name of its mask: a file of another's that the name
  // already has is copied to its own first free .bak name in the same way, so that saving
  // over it loses nothing. True when there is no such file or its copy is complete.
  bool KeepFileInTheWay(const AnsiString& source, const AnsiString& target);
  // The path under which a changed document is saved when saving by mask; empty when the
  // expanded name is not a plain file name of the source folder (it would leave the folder).
  AnsiString NewNameByMask(const AnsiString& path, const AnsiString& mask, int32_t counterIndex = 1);

  bool BackupSwitch = true;

 protected:
  IReplaceOwner* owner_;

 private:
  bool copyToBackup(const AnsiString& path, int64_t size);
};
