#pragma once
// A file system for tests: passes everything to another one, but can fail the Nth operation
// of a kind, or report a size of its choosing (sizes no test wants to write to disk).
#include <functional>
#include <map>

#include "platform/Files.h"

namespace platform {

enum class FileOp { Open, Read, Write, Sync, Close, Rename, Remove };

class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& inner = realFileSystem()) : inner_(inner) {}

  // Fails the nth (1-based) operation of this kind from now on, and every one after it
  // when sticky is true.
  void failAt(FileOp op, int nth, bool sticky = false);
  void reportSize(const AnsiString& path, int64_t size) { sizes_[path] = size; }
  int count(FileOp op) const;
  // Called before each operation; answering true fails it.
  bool shouldFail(FileOp op);

  int32_t attributes(const AnsiString& path) override { return inner_.attributes(path); }
  int64_t size(const AnsiString& path) override;
  std::unique_ptr<File> open(const AnsiString& path, OpenMode mode) override;
  bool rename(const AnsiString& from, const AnsiString& to, bool replaceExisting) override;
  bool remove(const AnsiString& path) override;
  bool createFolder(const AnsiString& path) override { return inner_.createFolder(path); }
  std::vector<FolderEntry> listFolder(const AnsiString& path) override { return inner_.listFolder(path); }
  int64_t lastWriteTime(const AnsiString& path) override { return inner_.lastWriteTime(path); }

 private:
  struct Rule {
    int nth;
    bool sticky;
  };
  FileSystem& inner_;
  std::map<FileOp, Rule> rules_;
  std::map<FileOp, int> counts_;
  std::map<AnsiString, int64_t> sizes_;
};

}  // namespace platform
