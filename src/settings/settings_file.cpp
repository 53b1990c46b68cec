#include "settings/settings_file.h"

#include <utility>

#include "settings/undo_journal.h"

namespace keelnode {
namespace {

std::string ParentOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Makes `folder` and the folders above it that are missing.
bool MakeFolders(FileSystem& files, const std::string& folder) {
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    files.MakeDirectory(folder.substr(0, slash));
  }
  return files.MakeDirectory(folder);
}

// Every place an undo record of the file may be in.
std::vector<std::string> JournalPlaces(const std::string& path, const std::string& spare_folder) {
  std::vector<std::string> places = {UndoJournalPath(path)};
  if (!spare_folder.empty()) places.push_back(SpareUndoJournalPath(spare_folder, path));
  return places;
}

struct Snapshot {
  std::optional<std::string> content;   // the file as read
  std::vector<std::string> journals;    // the places that hold a record, intact or not
  std::optional<UndoRecord> record;     // the first intact record that fits the file
  std::optional<std::string> restored;  // content with that record applied
};

Snapshot TakeSnapshot(FileSystem& files, const std::string& path, const std::string& spare_folder) {
  Snapshot snapshot;
  // The file before the journal: a journal written after this read still
  // describes the state that was read.
  snapshot.content = files.ReadFile(path);
  for (const std::string& place : JournalPlaces(path, spare_folder)) {
    std::optional<std::string> journal = files.ReadFile(place);
    if (!journal) continue;
    snapshot.journals.push_back(place);
    if (snapshot.record || !snapshot.content) continue;
    std::optional<UndoRecord> record = DecodeUndoRecord(*journal);
    if (!record) continue;
    snapshot.restored = ApplyUndoRecord(*snapshot.content, *record);
    if (snapshot.restored) snapshot.record = std::move(record);
  }
  return snapshot;
}

}  // namespace

SettingsFile::SettingsFile(FileSystem& files, std::string path, std::string spare_folder,
                           std::unique_ptr<EditableFile> file)
    : files_(files),
      path_(std::move(path)),
      spare_folder_(std::move(spare_folder)),
      file_(std::move(file)) {}

std::string SettingsFile::Read(FileSystem& files, const std::string& path,
                               const std::string& spare_folder) {
  Snapshot snapshot = TakeSnapshot(files, path, spare_folder);
  if (snapshot.restored) return std::move(*snapshot.restored);
  return snapshot.content.value_or(std::string());
}

SettingsFile::Opened SettingsFile::Open(FileSystem& files, const std::string& path,
                                        const std::string& spare_folder) {
  Opened opened;
  OpenedFile handle = files.OpenForEditing(path);
  opened.result = handle.result;
  Snapshot snapshot = TakeSnapshot(files, path, spare_folder);
  opened.content =
      snapshot.restored ? *snapshot.restored : snapshot.content.value_or(std::string());
  if (handle.result != OpenResult::kOpened) return opened;
  if (!snapshot.content) {
    // Editing a file whose content is unknown would write to wrong places.
    opened.result = OpenResult::kFailed;
    return opened;
  }

  std::unique_ptr<SettingsFile> file(
      new SettingsFile(files, path, spare_folder, std::move(handle.file)));
  if (snapshot.record && !file->Restore(snapshot.record->offset, snapshot.record->old_bytes,
                                        snapshot.record->old_size)) {
    // The journal stays for the next open; this run must not edit.
    opened.result = OpenResult::kFailed;
    return opened;
  }
  // A torn record belongs to an edit that never started; one that does
  // not fit is older than what the file now holds. A record that stayed
  // would be applied again at the next open, over this run's edits.
  for (const std::string& journal : snapshot.journals) {
    if (!files.RemoveFile(journal)) {
      opened.result = OpenResult::kFailed;
      return opened;
    }
  }
  // Temporary files of writers that died: the record one held was never
  // put in place, so its edit never began.
  files.RemoveLeftovers(path);
  for (const std::string& place : JournalPlaces(path, spare_folder))
    files.RemoveLeftovers(place);
  file->known_ = file->file_->Stamp();
  opened.file = std::move(file);
  return opened;
}

bool SettingsFile::Restore(uint64_t offset, std::string_view old_bytes, uint64_t old_size) {
  return file_->WriteAt(offset, old_bytes) && file_->Truncate(old_size) && file_->Sync();
}

SettingsFile::Freshness SettingsFile::Check(std::string_view image, std::string* content) {
  // The name first: a change between the two looks then shows in the
  // held file's stamp.
  const std::optional<FileStamp> named = files_.Stat(path_);
  const std::optional<FileStamp> held = file_->Stamp();
  if (!held || !named || !SameFile(*held, *named)) return Freshness::kReplaced;
  if (known_ && known_->settled && SameState(*known_, *held)) return Freshness::kCurrent;
  // The stamp alone cannot tell: compare the bytes. The stamp is taken
  // before the read, so a change during the read shows at the next check.
  std::optional<std::string> now = file_->ReadAll();
  if (!now) return Freshness::kReplaced;
  known_ = held;
  if (*now == image) return Freshness::kCurrent;
  *content = std::move(*now);
  return Freshness::kChanged;
}

const std::string& SettingsFile::JournalPath() {
  if (!journal_path_) {
    journal_path_.emplace();
    if (files_.CanChangeNamesIn(ParentOf(path_))) {
      *journal_path_ = UndoJournalPath(path_);
    } else if (!spare_folder_.empty() &&
               (files_.CanChangeNamesIn(spare_folder_) ||
                (MakeFolders(files_, spare_folder_) && files_.CanChangeNamesIn(spare_folder_)))) {
      *journal_path_ = SpareUndoJournalPath(spare_folder_, path_);
    }
  }
  return *journal_path_;
}

SettingsFile::EditResult SettingsFile::Replace(std::string_view current, size_t offset,
                                               size_t old_length, std::string_view bytes) {
  if (broken_) return EditResult::kFailed;
  const bool tail_moves = old_length != bytes.size();
  // Writes nothing, so it cannot overwrite anyone.
  if (!tail_moves && current.substr(offset, old_length) == bytes) return EditResult::kSaved;
  std::string unused;
  if (Check(current, &unused) != Freshness::kCurrent) return EditResult::kStale;

  UndoRecord record;
  record.offset = offset;
  record.old_size = current.size();
  record.old_bytes =
      std::string(tail_moves ? current.substr(offset) : current.substr(offset, old_length));
  const std::string& journal = JournalPath();
  if (!journal.empty() && !files_.ReplaceFile(journal, EncodeUndoRecord(record))) {
    broken_ = true;
    return EditResult::kFailed;
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
    if (Restore(record.offset, record.old_bytes, record.old_size) && !journal.empty()) {
      files_.RemoveFile(journal);
    }
    return EditResult::kFailed;
  }
  known_ = file_->Stamp();
  if (!journal.empty() && !files_.RemoveFile(journal)) {
    // A journal that outlives its edit would undo later ones at the next
    // open: stop here, and that open will come back to the state before
    // this edit.
    broken_ = true;
    return EditResult::kFailed;
  }
  return EditResult::kSaved;
}

}  // namespace keelnode
