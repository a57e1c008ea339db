#pragma once
// Files as the rest of the system sees them. Everything goes through FileSystem so a test
// can swap in one that fails the Nth operation or reports sizes no test wants to write.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace platform {

// Windows file attribute bits, reported the same on Linux.
enum FileAttribute : int32_t {
  kAttrReadOnly = 0x1,
  kAttrHidden = 0x2,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
  kAttrReparsePoint = 0x400,  // a junction or link (Windows only)
};

enum class OpenMode {
  Read,       // existing file, shared read
  ReadShared, // existing file, others may go on reading and writing it (Word holding it open)
  Write,      // create or truncate
  ReadWrite,  // existing file, no sharing (the exclusive-access test)
  CreateNew,  // a file that does not exist yet; fails when the name is taken
};

class File {
 public:
  virtual ~File() = default;
  // Short counts only at end of file (read) or on failure; errors return what was done.
  virtual size_t read(void* buffer, size_t bytes) = 0;
  virtual bool write(const void* buffer, size_t bytes) = 0;
  virtual bool seek(int64_t offset) = 0;
  virtual int64_t size() = 0;
  virtual bool close() = 0;  // flushes; false when the data may not have reached the disk
  // Waits until what was written is on the disk itself, not only in the system's cache: a file
  // renamed over a document must be whole there before the document's old data can be let go.
  virtual bool sync() = 0;
};

struct FolderEntry {
  AnsiString name;
  bool isFolder = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual int32_t attributes(const AnsiString& path) = 0;  // -1 when nothing is there
  virtual int64_t size(const AnsiString& path) = 0;        // -1 when not a readable file
  virtual std::unique_ptr<File> open(const AnsiString& path, OpenMode mode) = 0;  // null on failure
  virtual bool rename(const AnsiString& from, const AnsiString& to, bool replaceExisting) = 0;
  virtual bool remove(const AnsiString& path) = 0;
  virtual bool createFolder(const AnsiString& path) = 0;
  virtual std::vector<FolderEntry> listFolder(const AnsiString& path) = 0;  // sorted by name
  virtual int64_t lastWriteTime(const AnsiString& path) = 0;  // Windows FILETIME units, -1 unknown
};

// The file system in use; the real one unless a test installed another.
FileSystem& fileSystem();
FileSystem& realFileSystem();

// Installs a file system for the lifetime of the object (tests only; not thread-safe).
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& fs);
  ~ScopedFileSystem();
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_;
};

// Conveniences over fileSystem().
bool exists(const AnsiString& path);  // a file or a folder
bool isFolder(const AnsiString& path);
bool canOpenExclusive(const AnsiString& path);  // nobody else has it open and it is writable
// The system refuses this user writing to the file: its rights, not a program holding it.
bool writingDenied(const AnsiString& path);
// Reads a whole file; throws std::runtime_error when it is missing or larger than maxBytes.
std::string readFile(const AnsiString& path, size_t maxBytes);
// Writes through a temporary file in the same folder renamed over the target: the target is
// either the old file or the complete new one, a power cut included. Returns false (and leaves
// nothing) on failure.
// A link to a document is written through, and the new file keeps the old one's access rights.
bool writeFileAtomically(const AnsiString& path, std::string_view data);
// The file a path names once links are followed; the path itself on Windows or for no file.
AnsiString fileBehindLinks(const AnsiString& path);
// One text for every name of one file or folder: other spellings, links and hard links alike
// (the device and the file's number); fileBehindLinks(path) when the system cannot tell.
AnsiString fileIdentity(const AnsiString& path);
// Gives `to` the access rights of the file `from` (owner and permission bits on Linux, the DACL
// on Windows).
void takeAccessRightsOf(const AnsiString& from, const AnsiString& to);
// Gives the written file `to` what else the user sees of the file `from` it replaces: on Windows
// its hidden, system and not-indexed marks and its creation time; nothing more on Linux.
void takeFileDetailsOf(const AnsiString& from, const AnsiString& to);

// Paths.
char pathSeparator();                   // '\\' on Windows, '/' on Linux
bool isPathSeparator(char c);           // both '/' and '\\' on Windows
AnsiString joinPath(const AnsiString& folder, const AnsiString& name);
AnsiString folderOf(const AnsiString& path);  // without the trailing separator; "" for a bare name
AnsiString fileNameOf(const AnsiString& path);
AnsiString extensionOf(const AnsiString& path);  // with the dot, "" when there is none

// Well-known folders, without a trailing separator.
AnsiString tempFolder();
AnsiString appDataFolder();     // the current user's roaming application data
AnsiString executableFolder();  // of the running program (or module, on Windows, of the .exe)

}  // namespace platform
