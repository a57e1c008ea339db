// The file layer on Windows: ANSI paths, share modes as the exclusive-access test needs them.
#ifdef _WIN32
#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/Files.h"

namespace platform {
namespace {

class WinFile : public File {
 public:
  explicit WinFile(HANDLE h) : h_(h) {}
  ~WinFile() override { close(); }

  size_t read(void* buffer, size_t bytes) override {
    size_t done = 0;
    while (h_ != INVALID_HANDLE_VALUE && done < bytes) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes - done, 1u << 30)), got = 0;
      if (!ReadFile(h_, static_cast<char*>(buffer) + done, chunk, &got, nullptr) || got == 0) break;
      done += got;
    }
    return done;
  }

  bool write(const void* buffer, size_t bytes) override {
    size_t done = 0;
    while (h_ != INVALID_HANDLE_VALUE && done < bytes) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes - done, 1u << 30)), put = 0;
      if (!WriteFile(h_, static_cast<const char*>(buffer) + done, chunk, &put, nullptr) || put == 0)
        return false;
      done += put;
    }
    return h_ != INVALID_HANDLE_VALUE;
  }

  bool seek(int64_t offset) override {
    LARGE_INTEGER li;
    li.QuadPart = offset;
    return h_ != INVALID_HANDLE_VALUE && SetFilePointerEx(h_, li, nullptr, FILE_BEGIN);
  }

  int64_t size() override {
    LARGE_INTEGER li;
    return h_ != INVALID_HANDLE_VALUE && GetFileSizeEx(h_, &li) ? li.QuadPart : -1;
  }

  bool sync() override {
    if (h_ == INVALID_HANDLE_VALUE) return false;
    if (FlushFileBuffers(h_)) return true;
    // A redirector that cannot flush has written all it ever will: refusing the save there
    // would leave its users unable to save at all.
    const DWORD e = GetLastError();
    return e == ERROR_INVALID_FUNCTION || e == ERROR_NOT_SUPPORTED;
  }

  bool close() override {
    if (h_ == INVALID_HANDLE_VALUE) return true;
    BOOL ok = CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

class WinFileSystem : public FileSystem {
 public:
  int32_t attributes(const AnsiString& path) override {
    DWORD a = GetFileAttributesA(path.c_str());
    return a == INVALID_FILE_ATTRIBUTES ? -1 : static_cast<int32_t>(a);
  }

  int64_t size(const AnsiString& path) override {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return -1;
    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  }

  std::unique_ptr<File> open(const AnsiString& path, OpenMode mode) override {
    DWORD access = GENERIC_READ, share = FILE_SHARE_READ, disposition = OPEN_EXISTING;
    if (mode == OpenMode::Write) {
      access = GENERIC_WRITE;
      share = 0;
      disposition = CREATE_ALWAYS;
    } else if (mode == OpenMode::ReadShared) {
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    } else if (mode == OpenMode::ReadWrite) {
      access = GENERIC_READ | GENERIC_WRITE;
      share = 0;
    } else if (mode == OpenMode::CreateNew) {
      access = GENERIC_WRITE;
      share = 0;
      disposition = CREATE_NEW;
    }
    HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WinFile>(h);
  }

  bool rename(const AnsiString& from, const AnsiString& to, bool replaceExisting) override {
    return MoveFileExA(from.c_str(), to.c_str(), replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
  }

  bool remove(const AnsiString& path) override {
    int32_t a = attributes(path);
    if (a == -1) return false;
    if (a & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryA(path.c_str());
    return DeleteFileA(path.c_str());
  }

  bool createFolder(const AnsiString& path) override { return CreateDirectoryA(path.c_str(), nullptr); }

  std::vector<FolderEntry> listFolder(const AnsiString& path) override {
    std::vector<FolderEntry> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(joinPath(path, "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      AnsiString name = fd.cFileName;
      if (name == "." || name == "..") continue;
      out.push_back({name, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return a.name < b.name; });
    return out;
  }

  int64_t lastWriteTime(const AnsiString& path) override {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return -1;
    return (static_cast<int64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) | d.ftLastWriteTime.dwLowDateTime;
  }
};

AnsiString withoutTrailingSeparator(AnsiString p) {
  while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  return p;
}

}  // namespace

FileSystem& realFileSystem() {
  static WinFileSystem fs;
  return fs;
}

bool writingDenied(const AnsiString& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return false;
  }
  return GetLastError() == ERROR_ACCESS_DENIED;  // a sharing violation is a holder, not a denial
}

AnsiString fileBehindLinks(const AnsiString& path) {
  // The name the system itself keeps for the file: links and junctions followed, letters in
  // their stored case, so two spellings of one document compare equal.
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return path;
  char buf[MAX_PATH * 4];
  DWORD n = GetFinalPathNameByHandleA(h, buf, sizeof buf, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(h);
  if (n == 0 || n >= sizeof buf) return path;
  AnsiString name(buf, n);
  if (name.rfind("\\\\?\\UNC\\", 0) == 0) name = "\\\\" + name.substr(8);
  else if (name.rfind("\\\\?\\", 0) == 0) name.erase(0, 4);
  // A letter the code page cannot hold comes back as '?': such a name opens nothing.
  return name.find('?') == AnsiString::npos ? name : path;
}

AnsiString fileIdentity(const AnsiString& path) {
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fileBehindLinks(path);
  BY_HANDLE_FILE_INFORMATION info;
  const BOOL known = GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  if (!known) return fileBehindLinks(path);
  return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
         std::to_string(info.nFileIndexLow);
}

void takeAccessRightsOf(const AnsiString& from, const AnsiString& to) {
  // A new file takes its folder's inherited rights; a document with rights of its own would
  // otherwise come out of a save readable by everyone who can read the folder.
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetNamedSecurityInfoA(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                            nullptr, &sd) != ERROR_SUCCESS)
    return;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(sd, &control, &revision);
  SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION |
      ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
  SetNamedSecurityInfoA(const_cast<char*>(to.c_str()), SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
  LocalFree(sd);
}

void takeFileDetailsOf(const AnsiString& from, const AnsiString& to) {
  // A new file shows as created now and loses the marks the user gave the document.
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExA(from.c_str(), GetFileExInfoStandard, &d)) return;
  HANDLE h = CreateFileA(to.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    SetFileTime(h, &d.ftCreationTime, nullptr, nullptr);
    CloseHandle(h);
  }
  const DWORD kept = d.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (kept != 0) {
    const DWORD now = GetFileAttributesA(to.c_str());
    if (now != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(to.c_str(), (now & ~FILE_ATTRIBUTE_NORMAL) | kept);
  }
}

AnsiString tempFolder() {
  char buf[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof buf, buf);
  return withoutTrailingSeparator(n > 0 && n < sizeof buf ? AnsiString(buf, n) : AnsiString("C:\\"));
}

AnsiString appDataFolder() {
  char buf[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, buf))) return withoutTrailingSeparator(buf);
  return tempFolder();
}

AnsiString executableFolder() {
  char buf[MAX_PATH * 2];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return folderOf(AnsiString(buf, n));
}

}  // namespace platform
#endif
