#include "settings/settings_file.h"

#include <utility>

#include "settings/undo_journal.h"

namespace keelnode {

SettingsFile::SettingsFile(FileSystem& files, std::string path, std::unique_ptr<EditableFile> file)
    : files_(files), journal_path_(UndoJournalPath(path)), file_(std::move(file)) {}

namespace {

struct Snapshot {
  std::optional<std::string> content;  // the file as read
  bool has_journal = false;
  std::optional<UndoRecord> record;     // the journal, when it is intact
  std::optional<std::string> restored;  // content with the record applied, when it fits
};

Snapshot TakeSnapshot(FileSystem& files, const std::string& path) {
  Snapshot snapshot;
  // The file before the journal: a journal written after this read still
  // describes the state that was read.
  snapshot.content = files.ReadFile(path);
  std::optional<std::string> journal = files.ReadFile(UndoJournalPath(path));
  snapshot.has_journal = journal.has_value();
  if (journal) snapshot.record = DecodeUndoRecord(*journal);
  if (snapshot.record && snapshot.content) {
    snapshot.restored = ApplyUndoRecord(*snapshot.content, *snapshot.record);
  }
  return snapshot;
}

}  // namespace

std::string SettingsFile::Read(FileSystem& files, const std::string& path) {
  Snapshot snapshot = TakeSnapshot(files, path);
  if (snapshot.restored) return std::move(*snapshot.restored);
  return snapshot.content.value_or(std::string());
}

SettingsFile::Opened SettingsFile::Open(FileSystem& files, const std::string& path) {
  Opened opened;
  OpenedFile handle = files.OpenForEditing(path);
  opened.result = handle.result;
  Snapshot snapshot = TakeSnapshot(files, path);
  opened.content =
      snapshot.restored ? *snapshot.restored : snapshot.content.value_or(std::string());
  if (handle.result != OpenResult::kOpened) return opened;
  if (!snapshot.content) {
    // Editing a file whose content is unknown would write to wrong places.
    opened.result = OpenResult::kFailed;
    return opened;
  }

  std::unique_ptr<SettingsFile> file(new SettingsFile(files, path, std::move(handle.file)));
  if (snapshot.has_journal) {
    const UndoRecord* record = snapshot.record ? &*snapshot.record : nullptr;
    if (snapshot.restored && !file->Restore(record->offset, record->old_bytes, record->old_size)) {
      // The journal stays for the next open; this run must not edit.
      opened.result = OpenResult::kFailed;
      return opened;
    }
    // A torn record belongs to an edit that never started; one that does
    // not fit is older than what the file now holds.
    files.RemoveFile(file->journal_path_);
  }
  opened.file = std::move(file);
  return opened;
}

bool SettingsFile::Restore(uint64_t offset, std::string_view old_bytes, uint64_t old_size) {
  return file_->WriteAt(offset, old_bytes) && file_->Truncate(old_size) && file_->Sync();
}

bool SettingsFile::Replace(std::string_view current, size_t offset, size_t old_length,
                           std::string_view bytes) {
  if (broken_) return false;
  const bool tail_moves = old_length != bytes.size();
  if (!tail_moves && current.substr(offset, old_length) == bytes) return true;
  UndoRecord record;
  record.offset = offset;
  record.old_size = current.size();
  record.old_bytes =
      std::string(tail_moves ? current.substr(offset) : current.substr(offset, old_length));
  if (!files_.ReplaceFile(journal_path_, EncodeUndoRecord(record))) {
    broken_ = true;
    return false;
  }

  std::string written(bytes);
  if (tail_moves) written.append(current.substr(offset + old_length));
  const uint64_t new_size = current.size() - old_length + bytes.size();
  bool ok = file_->WriteAt(offset, written) &&
            (new_size >= current.size() || file_->Truncate(new_size)) && file_->Sync();
  if (!ok) {
    broken_ = true;
    // Put the old bytes back now; if that fails too, the journal stays and
    // the next open restores them.
    if (Restore(record.offset, record.old_bytes, record.old_size)) files_.RemoveFile(journal_path_);
    return false;
  }
  if (!files_.RemoveFile(journal_path_)) {
    // A journal that outlives its edit would undo later ones at the next
    // open: stop here, and that open will come back to the state before
    // this edit.
    broken_ = true;
    return false;
  }
  return true;
}

}  // namespace keelnode
