#include "engine/TBaseReplacer.h"

#include <algorithm>
#include <vector>

#include "engine/TRenamerFileStructure.h"
#include "platform/Clock.h"
#include "platform/Files.h"

namespace {
constexpr size_t kBackupChunk = 200000;

AnsiString freeBackupName(const AnsiString& path) {
  AnsiString name = path + ".bak";
  for (int n = 0; platform::exists(name); ++n) name = path + ".bak" + std::to_string(n);
  return name;
}
}  // namespace

bool TBaseReplacer::MakeBackupCopy(const AnsiString& path, int64_t size) {
  if (!BackupSwitch) return true;
  return copyToBackup(path, size);
}

bool TBaseReplacer::KeepFileInTheWay(const AnsiString& source, const AnsiString& target) {
  if (!platform::exists(target) || platform::isFolder(target)) return true;  // a folder fails the save itself
  if (platform::fileIdentity(target) == platform::fileIdentity(source)) return true;  // the document's own name
  return copyToBackup(target, platform::fileSystem().size(target));
}

bool TBaseReplacer::copyToBackup(const AnsiString& path, int64_t size) {
  // An unknown size would make an empty "backup" that passes for one.
  if (size < 0) return false;
  platform::FileSystem& fs = platform::fileSystem();
  // Word holds the document open while the copy is taken.
  auto source = fs.open(path, platform::OpenMode::ReadShared);
  if (!source) return false;
  AnsiString backup = freeBackupName(path);
  // A new file only: should the free name be taken meanwhile, nobody's file is emptied.
  auto target = fs.open(backup, platform::OpenMode::CreateNew);
  if (!target) return false;
  platform::takeAccessRightsOf(path, backup);  // a private document's backup stays private

  std::vector<char> buffer(kBackupChunk);
  bool ok = source->seek(0);
  int64_t remaining = size;
  while (ok && remaining > 0) {
    if (IsCancelled()) {
      ok = false;
      break;
    }
    size_t chunk = static_cast<size_t>(std::min<int64_t>(remaining, static_cast<int64_t>(kBackupChunk)));
    if (source->read(buffer.data(), chunk) != chunk || !target->write(buffer.data(), chunk)) ok = false;
    remaining -= static_cast<int64_t>(chunk);
  }
  source->close();
  ok = ok && target->sync();  // a backup the next save could outlive on the disk is none
  ok = target->close() && ok;
  target.reset();
  // A partial copy is worse than none: it looks like a backup and is not one.
  if (!ok || IsCancelled()) {
    fs.remove(backup);
    return false;
  }
  return true;
}

AnsiString TBaseReplacer::NewNameByMask(const AnsiString& path, const AnsiString& mask, int32_t counterIndex) {
  TRenamerFileStructure& renamer = RenamerFileStructure();
  renamer.Mask = mask;
  renamer.CounterStart = 0;
  renamer.CounterWidth = 5;
  renamer.CounterStep = 1;
  renamer.ReplaceSwitch = false;
  renamer.NameCaseOption = 1;
  renamer.CounterIndex = counterIndex;
  AnsiString folder = platform::folderOf(path);
  if (!folder.empty() && !platform::isPathSeparator(folder.back())) folder += platform::pathSeparator();
  AnsiString name;
  if (!NewFileNameByMask(renamer, folder, platform::fileNameOf(path), platform::nowAsFileTime(), name)) return "";
  return folder + name;
}
