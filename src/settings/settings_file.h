// The settings file held open for in-place edits that survive a crash.
//
// Every edit replaces a range of bytes and rewrites only what follows it.
// Before the file is touched an undo record (undo_journal.h) is written
// durably beside it; the record is removed once the edit is on the disk.
// Opening the file finds a record left by a crash and restores the file to
// its state before the interrupted edit, so a crash loses at most that one
// edit and never leaves a half-written file.
//
// After any failed edit the file is put back (or left for the next open to
// restore) and no longer edited: the caller's image and the file may differ
// from then on, and later edits would land in the wrong place.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "settings/file_system.h"

namespace keelnode {

class SettingsFile {
 public:
  struct Opened {
    OpenResult result = OpenResult::kFailed;
    std::unique_ptr<SettingsFile> file;  // set only when the file can be edited
    std::string content;                 // what the file holds (empty when unreadable)
  };
  // Opens and locks the file at `path`, creating it when missing. Without
  // the lock the content is only read; a pending undo record is then applied
  // to what is read, not to the file.
  static Opened Open(FileSystem& files, const std::string& path);
  // The file's content without opening it for editing, a pending undo
  // record applied to what is read; empty when it cannot be read.
  static std::string Read(FileSystem& files, const std::string& path);

  // Replaces `old_length` bytes at `offset` with `bytes`. `current` must be
  // the file's whole content before the edit.
  bool Replace(std::string_view current, size_t offset, size_t old_length, std::string_view bytes);

  bool broken() const { return broken_; }

 private:
  SettingsFile(FileSystem& files, std::string path, std::unique_ptr<EditableFile> file);
  bool Restore(uint64_t offset, std::string_view old_bytes, uint64_t old_size);

  FileSystem& files_;
  std::string journal_path_;
  std::unique_ptr<EditableFile> file_;
  bool broken_ = false;
};

}  // namespace keelnode
