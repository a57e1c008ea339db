// The file layer on Linux, with Windows' observable rules: a file without write permission is
// read-only even for root, and open files lock each other out as Windows' share modes do.
#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/Files.h"

namespace platform {
namespace {

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { close(); }

  size_t read(void* buffer, size_t bytes) override {
    size_t done = 0;
    while (fd_ >= 0 && done < bytes) {
      ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, bytes - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  bool write(const void* buffer, size_t bytes) override {
    size_t done = 0;
    while (fd_ >= 0 && done < bytes) {
      ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, bytes - done);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return fd_ >= 0;
  }

  bool seek(int64_t offset) override { return fd_ >= 0 && ::lseek(fd_, offset, SEEK_SET) == offset; }

  int64_t size() override {
    struct stat st;
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
  }

  bool sync() override {
    if (fd_ < 0) return false;
    if (::fdatasync(fd_) == 0) return true;
    // A file system that cannot flush (some FUSE and network ones) has written all it ever will:
    // refusing the save there would leave its users unable to save at all.
    return errno == EINVAL || errno == ENOSYS || errno == ENOTSUP || errno == EOPNOTSUPP;
  }

  bool close() override {
    if (fd_ < 0) return true;
    bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

 private:
  int fd_;
};

class PosixFileSystem : public FileSystem {
 public:
  int32_t attributes(const AnsiString& path) override {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return -1;
    int32_t a = 0;
    if (S_ISDIR(st.st_mode)) a |= kAttrDirectory;
    if (!(st.st_mode & S_IWUSR)) a |= kAttrReadOnly;
    AnsiString name = fileNameOf(path);
    if (name.size() > 1 && name[0] == '.' && name != "..") a |= kAttrHidden;
    if (!S_ISDIR(st.st_mode)) a |= kAttrArchive;
    return a;
  }

  int64_t size(const AnsiString& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
  }

  std::unique_ptr<File> open(const AnsiString& path, OpenMode mode) override {
    int flags = O_CLOEXEC;
    int lock = LOCK_SH;
    switch (mode) {
      case OpenMode::Read: flags |= O_RDONLY; break;
      case OpenMode::ReadShared: flags |= O_RDONLY; lock = 0; break;
      case OpenMode::Write: flags |= O_WRONLY | O_CREAT | O_TRUNC; lock = LOCK_EX; break;
      case OpenMode::ReadWrite: flags |= O_RDWR; lock = LOCK_EX; break;
      case OpenMode::CreateNew: flags |= O_WRONLY | O_CREAT | O_EXCL; lock = LOCK_EX; break;
    }
    if (mode != OpenMode::Read && mode != OpenMode::ReadShared) {
      int32_t a = attributes(path);
      if (a != -1 && (a & (kAttrReadOnly | kAttrDirectory))) return nullptr;
    } else if (isFolder(path)) {
      return nullptr;
    }
    // Truncation waits until the lock is ours, so a file another holder has open stays whole.
    // Only plain files: opening a pipe that has the name of a document would wait for ever for
    // its other end, so the open does not wait and the kind is checked before anything else.
    int fd = ::open(path.c_str(), (flags & ~O_TRUNC) | O_NONBLOCK, 0666);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        (lock && ::flock(fd, lock | LOCK_NB) != 0) || ((flags & O_TRUNC) && ::ftruncate(fd, 0) != 0)) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
  }

  bool rename(const AnsiString& from, const AnsiString& to, bool replaceExisting) override {
    // Windows will not replace a read-only file.
    if (int32_t a = attributes(to); a != -1 && (a & kAttrReadOnly)) return false;
    if (!replaceExisting) {
      // link + unlink refuses an existing target atomically.
      if (::link(from.c_str(), to.c_str()) != 0) return false;
      ::unlink(from.c_str());
      return true;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  bool remove(const AnsiString& path) override {
    int32_t a = attributes(path);
    if (a == -1) return false;
    if (a & kAttrDirectory) return ::rmdir(path.c_str()) == 0;
    if (a & kAttrReadOnly) return false;  // Windows refuses to delete a read-only file
    return ::unlink(path.c_str()) == 0;
  }

  bool createFolder(const AnsiString& path) override { return ::mkdir(path.c_str(), 0777) == 0; }

  std::vector<FolderEntry> listFolder(const AnsiString& path) override {
    std::vector<FolderEntry> out;
    DIR* d = ::opendir(path.c_str());
    if (!d) return out;
    while (dirent* e = ::readdir(d)) {
      AnsiString name = e->d_name;
      if (name == "." || name == "..") continue;
      out.push_back({name, isFolder(joinPath(path, name))});
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return a.name < b.name; });
    return out;
  }

  int64_t lastWriteTime(const AnsiString& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return -1;
    return (static_cast<int64_t>(st.st_mtim.tv_sec) + 11644473600LL) * 10000000LL +
           st.st_mtim.tv_nsec / 100;
  }
};

AnsiString withoutTrailingSeparator(AnsiString p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

}  // namespace

FileSystem& realFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

bool writingDenied(const AnsiString& path) {
  return ::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EPERM || errno == EROFS);
}

AnsiString fileBehindLinks(const AnsiString& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  AnsiString out = real;
  std::free(real);
  return out;
}

AnsiString fileIdentity(const AnsiString& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return fileBehindLinks(path);
  return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

void takeAccessRightsOf(const AnsiString& from, const AnsiString& to) {
  struct stat st;
  if (::stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  // A batch run by an administrator must not hand the user's document over to root; only an
  // administrator may change the owner, so for anyone else this fails and changes nothing.
  if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
    const int changed = ::chown(to.c_str(), st.st_uid, st.st_gid);
    (void)changed;
  }
  ::chmod(to.c_str(), st.st_mode & 07777);
}

void takeFileDetailsOf(const AnsiString&, const AnsiString&) {}

AnsiString tempFolder() {
  const char* t = std::getenv("TMPDIR");
  return withoutTrailingSeparator(t && *t ? t : "/tmp");
}

AnsiString appDataFolder() {
  const char* x = std::getenv("XDG_CONFIG_HOME");
  if (x && *x) return withoutTrailingSeparator(x);
  const char* h = std::getenv("HOME");
  return withoutTrailingSeparator(std::string(h && *h ? h : "/tmp") + "/.config");
}

AnsiString executableFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  return folderOf(std::string(buf, static_cast<size_t>(n)));
}

}  // namespace platform
#endif
