#include "platform/FaultyFileSystem.h"

namespace platform {
namespace {

class FaultyFile : public File {
 public:
  FaultyFile(std::unique_ptr<File> inner, FaultyFileSystem& fs, int64_t reportedSize)
      : inner_(std::move(inner)), fs_(fs), reportedSize_(reportedSize) {}
  size_t read(void* b, size_t n) override { return fs_.shouldFail(FileOp::Read) ? 0 : inner_->read(b, n); }
  bool write(const void* b, size_t n) override {
    return !fs_.shouldFail(FileOp::Write) && inner_->write(b, n);
  }
  bool seek(int64_t o) override { return inner_->seek(o); }
  int64_t size() override { return reportedSize_ >= 0 ? reportedSize_ : inner_->size(); }
  bool sync() override { return !fs_.shouldFail(FileOp::Sync) && inner_->sync(); }
  bool close() override {
    bool ok = inner_->close();
    return !fs_.shouldFail(FileOp::Close) && ok;
  }

 private:
  std::unique_ptr<File> inner_;
  FaultyFileSystem& fs_;
  int64_t reportedSize_;
};

}  // namespace

void FaultyFileSystem::failAt(FileOp op, int nth, bool sticky) {
  rules_[op] = {counts_[op] + nth, sticky};
}

int FaultyFileSystem::count(FileOp op) const {
  auto it = counts_.find(op);
  return it == counts_.end() ? 0 : it->second;
}

bool FaultyFileSystem::shouldFail(FileOp op) {
  int n = ++counts_[op];
  auto it = rules_.find(op);
  if (it == rules_.end()) return false;
  return n == it->second.nth || (it->second.sticky && n > it->second.nth);
}

int64_t FaultyFileSystem::size(const AnsiString& path) {
  auto it = sizes_.find(path);
  return it != sizes_.end() ? it->second : inner_.size(path);
}

std::unique_ptr<File> FaultyFileSystem::open(const AnsiString& path, OpenMode mode) {
  if (shouldFail(FileOp::Open)) return nullptr;
  auto f = inner_.open(path, mode);
  if (!f) return nullptr;
  auto it = sizes_.find(path);
  return std::make_unique<FaultyFile>(std::move(f), *this, it != sizes_.end() ? it->second : -1);
}

bool FaultyFileSystem::rename(const AnsiString& from, const AnsiString& to, bool replaceExisting) {
  return !shouldFail(FileOp::Rename) && inner_.rename(from, to, replaceExisting);
}

bool FaultyFileSystem::remove(const AnsiString& path) {
  return !shouldFail(FileOp::Remove) && inner_.remove(path);
}

}  // namespace platform
