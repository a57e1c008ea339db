// The parts of the file layer that are the same on every target.
#include <stdexcept>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace platform {
namespace {
FileSystem* g_current = nullptr;
}

FileSystem& fileSystem() { return g_current ? *g_current : realFileSystem(); }

ScopedFileSystem::ScopedFileSystem(FileSystem& fs) : previous_(g_current) { g_current = &fs; }
ScopedFileSystem::~ScopedFileSystem() { g_current = previous_; }

bool exists(const AnsiString& path) { return fileSystem().attributes(path) != -1; }

bool isFolder(const AnsiString& path) {
  int32_t a = fileSystem().attributes(path);
  return a != -1 && (a & kAttrDirectory);
}

bool canOpenExclusive(const AnsiString& path) {
  auto f = fileSystem().open(path, OpenMode::ReadWrite);
  if (!f) return false;
  f->close();
  return true;
}

std::string readFile(const AnsiString& path, size_t maxBytes) {
  auto f = fileSystem().open(path, OpenMode::Read);
  if (!f) throw std::runtime_error("cannot open " + ansiToUtf8(path));
  int64_t size = f->size();
  if (size < 0 || static_cast<uint64_t>(size) > maxBytes)
    throw std::runtime_error(ansiToUtf8(path) + " is larger than " + std::to_string(maxBytes) + " bytes");
  std::string data(static_cast<size_t>(size), '\0');
  size_t got = f->read(data.data(), data.size());
  if (got != data.size()) throw std::runtime_error("cannot read " + ansiToUtf8(path));
  return data;
}

bool writeFileAtomically(const AnsiString& linkOrPath, std::string_view data) {
  FileSystem& fs = fileSystem();
  // Renaming over a link would replace the link and leave the document it points to as it was.
  const AnsiString path = fileBehindLinks(linkOrPath);
  const int32_t existing = fs.attributes(path);
  if (existing != -1 && (existing & kAttrReadOnly)) return false;  // Windows will not replace it
  // The temporary file must be a new one: a file that happens to have its name is someone's,
  // and opening it for writing would empty it. A taken name is passed over for the next.
  const int64_t stamp = monotonicMillis();
  AnsiString temp;
  std::unique_ptr<File> f;
  for (int attempt = 0; attempt < 100 && !f; ++attempt) {
    temp = path + ".~tmp" + std::to_string((stamp + attempt) % 1000000);
    f = fs.open(temp, OpenMode::CreateNew);
    if (!f && fs.attributes(temp) == -1) return false;  // not a taken name: the folder refuses
  }
  if (!f) return false;
  if (existing != -1) takeAccessRightsOf(path, temp);  // a private document stays private
  // On the disk before the rename: a power cut must leave the old document or the whole new one.
  bool ok = f->write(data.data(), data.size()) && f->sync();
  ok = f->close() && ok;
  f.reset();
  if (ok && existing != -1) takeFileDetailsOf(path, temp);
  if (ok && fs.rename(temp, path, true)) return true;
  fs.remove(temp);
  return false;
}

bool isPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

char pathSeparator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

AnsiString joinPath(const AnsiString& folder, const AnsiString& name) {
  if (folder.empty()) return name;
  if (isPathSeparator(folder.back())) return folder + name;
  return folder + pathSeparator() + name;
}

static size_t lastSeparator(const AnsiString& path) {
  for (size_t i = path.size(); i > 0; --i) {
    char c = path[i - 1];
    if (isPathSeparator(c)) return i - 1;
#ifdef _WIN32
    if (c == ':') return i - 1;
#endif
  }
  return AnsiString::npos;
}

AnsiString folderOf(const AnsiString& path) {
  size_t p = lastSeparator(path);
  if (p == AnsiString::npos) return "";
  if (p == 0) return path.substr(0, 1);  // the root
#ifdef _WIN32
  if (path[p] == ':' || (p == 2 && path[1] == ':')) return path.substr(0, p + 1);
#endif
  return path.substr(0, p);
}

AnsiString fileNameOf(const AnsiString& path) {
  size_t p = lastSeparator(path);
  return p == AnsiString::npos ? path : path.substr(p + 1);
}

AnsiString extensionOf(const AnsiString& path) {
  AnsiString name = fileNameOf(path);
  size_t dot = name.rfind('.');
  return dot == AnsiString::npos ? "" : name.substr(dot);
}

}  // namespace platform
