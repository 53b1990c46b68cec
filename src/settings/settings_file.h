// The settings file held open for in-place edits that survive a crash.
//
// Every edit replaces a range of bytes and rewrites only what follows it.
// Before the file is touched an undo record (undo_journal.h) is written
// durably: beside the file, or in a spare folder when the file's own folder
// takes no new files, or nowhere when neither does (the edit then goes
// ahead unguarded). The record is removed once the edit is on the disk.
// Opening the file finds a record left by a crash and restores the file to
// its state before the interrupted edit, so a crash loses at most that one
// edit and never leaves a half-written file.
//
// Other programs may write the file while it is held (the lock binds only
// those that ask for it): an edit first makes sure the file under the path
// is still the one held and holds what the caller thinks it does, and
// reports a stale caller instead of writing.
//
// After any failed edit the file is put back (or left for the next open to
// restore) and no longer edited: the caller's image and the file may differ
// from then on, and later edits would land in the wrong place.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
  // to what is read, not to the file. `spare_folder` (empty: none) takes
  // the undo records when the file's folder cannot; it is made when needed.
  static Opened Open(FileSystem& files, const std::string& path, const std::string& spare_folder);
  // The file's content without opening it for editing, a pending undo
  // record applied to what is read; empty when it cannot be read.
  static std::string Read(FileSystem& files, const std::string& path,
                          const std::string& spare_folder);

  enum class Freshness {
    kCurrent,   // the held file is under the path and holds the image
    kChanged,   // someone else wrote into the held file
    kReplaced,  // the path names another file now, or none
  };
  // Compares with what the caller holds; with kChanged, `*content` receives
  // what the file holds now.
  Freshness Check(std::string_view image, std::string* content);

  enum class EditResult { kSaved, kFailed, kStale };
  // Replaces `old_length` bytes at `offset` with `bytes`. `current` is the
  // caller's image of the whole file; when the file holds something else
  // (Check) nothing is written and the result is kStale.
  EditResult Replace(std::string_view current, size_t offset, size_t old_length,
                     std::string_view bytes);

  bool broken() const { return broken_; }

 private:
  SettingsFile(FileSystem& files, std::string path, std::string spare_folder,
               std::unique_ptr<EditableFile> file);
  bool Restore(uint64_t offset, std::string_view old_bytes, uint64_t old_size);
  // Where this run's undo records go; empty for nowhere. Chosen at the
  // first edit.
  const std::string& JournalPath();

  FileSystem& files_;
  std::string path_;
  std::string spare_folder_;
  std::unique_ptr<EditableFile> file_;
  std::optional<std::string> journal_path_;
  // The held file's stamp when its content last matched the caller's image.
  std::optional<FileStamp> known_;
  bool broken_ = false;
};

}  // namespace keelnode
