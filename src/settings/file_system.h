// The file operations the settings store needs, behind an interface so that
// tests can run the store on an in-memory file system with injected faults.
//
// Paths are file-system paths (UTF-8 on Linux), not program texts.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace keelnode {

// What the file system says about a file: which file it is and when it was
// last changed.
struct FileStamp {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modified_ns = 0;  // content
  int64_t changed_ns = 0;   // content or attributes; no program can set it back
  // The clock has moved past the time stamps' granularity since the last
  // change, so any later change gives a different stamp. An unsettled stamp
  // may hide a change made within the same tick.
  bool settled = false;
};

// The same file (not a replacement put under its name).
inline bool SameFile(const FileStamp& a, const FileStamp& b) {
  return a.device == b.device && a.inode == b.inode;
}
// The same file, and nothing seen changed in it.
inline bool SameState(const FileStamp& a, const FileStamp& b) {
  return SameFile(a, b) && a.size == b.size && a.modified_ns == b.modified_ns &&
         a.changed_ns == b.changed_ns;
}

// A file held open for in-place editing. Closing it (destroying the object)
// releases its write lock.
class EditableFile {
 public:
  virtual ~EditableFile() = default;
  // Writes `bytes` at `offset`, extending the file when it reaches past the end.
  virtual bool WriteAt(uint64_t offset, std::string_view bytes) = 0;
  virtual bool Truncate(uint64_t size) = 0;
  // Returns once everything written so far is on the disk.
  virtual bool Sync() = 0;
  // This file, whatever name it has now.
  virtual std::optional<FileStamp> Stamp() = 0;
  virtual std::optional<std::string> ReadAll() = 0;
};

enum class OpenResult {
  kOpened,         // held for editing; nobody else can edit it
  kLockedByOther,  // another open (this process or another) holds the write lock
  kFailed,         // cannot be created or opened for writing
};

struct OpenedFile {
  OpenResult result = OpenResult::kFailed;
  std::unique_ptr<EditableFile> file;  // set only for kOpened
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The whole content of a regular file; nothing when it cannot be read.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // The file the path names now (through symbolic links); nothing when
  // there is none.
  virtual std::optional<FileStamp> Stat(const std::string& path) = 0;
  // Creates or replaces the file as a whole. Either the old or the new
  // content survives a crash, and the new one is on the disk on success.
  // A symbolic link stays one: its target is replaced. A replaced file
  // keeps its permissions.
  virtual bool ReplaceFile(const std::string& path, std::string_view bytes) = 0;
  // Removes what ReplaceFile(path) left behind in processes that died in
  // the middle of it; never what a running one is still writing.
  virtual void RemoveLeftovers(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Creates one directory level; true when the directory exists afterwards.
  virtual bool MakeDirectory(const std::string& path) = 0;
  // Whether this process may create and remove files in the directory.
  virtual bool CanChangeNamesIn(const std::string& directory) = 0;
  // Opens read-write, creating the file when missing and keeping its
  // content, and takes an exclusive write lock that also conflicts with
  // other opens in the same process.
  virtual OpenedFile OpenForEditing(const std::string& path) = 0;
};

// The real file system of the machine; lives for the whole process.
FileSystem& DiskFileSystem();

}  // namespace keelnode
