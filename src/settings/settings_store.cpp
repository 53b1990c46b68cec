#include "settings/settings_store.h"

#include <utility>

#include "services/code_page.h"
#include "services/yield_to_ui.h"
#include "settings/ini_image.h"
#include "settings/settings_file.h"
#include "settings/settings_texts.h"
#include "settings/undo_journal.h"

namespace keelnode {
namespace {

constexpr size_t npos = std::string_view::npos;
// A header that is still missing after this many appends in one write
// means something keeps changing the image under the write.
constexpr int kMostSectionAppends = 10;
// Another program that rewrites the file this often during one edit wins.
constexpr int kMostRefreshes = 3;

bool HasLineBreak(std::string_view text) {
  return text.find("\r\n") != npos;
}

// A line that starts with "[" can be taken for a section header (the
// section search looks only at where a line starts), so no key may start one.
bool StartsWithBracket(std::string_view key) {
  return !key.empty() && key.front() == '[';
}

}  // namespace

SettingsStore::SettingsStore() : SettingsStore(DiskFileSystem()) {}

SettingsStore::SettingsStore(FileSystem& files)
    : files_(files), spare_journal_folder_(DefaultSpareJournalFolder()) {}

SettingsStore::~SettingsStore() = default;

bool SettingsStore::Open(const std::string& path, StorageMode mode) {
  configured_path_ = path;
  mode_ = mode;
  save_failed_ = false;
  if (mode == StorageMode::kRegistry) {
    Close();  // lets go of a file (and its lock) held from an earlier Open
    return true;
  }
  return Load(path, mode == StorageMode::kMemoryOnly);
}

bool SettingsStore::Load(const std::string& path, bool in_memory) {
  Close();
  loaded_path_ = path;
  if (in_memory) {
    image_ = SettingsFile::Read(files_, path, spare_journal_folder_);
    in_memory_ = true;
    return true;
  }
  SettingsFile::Opened opened = SettingsFile::Open(files_, path, spare_journal_folder_);
  image_ = std::move(opened.content);
  file_ = std::move(opened.file);
  return file_ != nullptr;
}

void SettingsStore::Reload() {
  if (file_ && !file_->broken()) {
    Refresh();
    return;
  }
  Load(loaded_path_, in_memory_);
}

void SettingsStore::Close() {
  file_.reset();
  in_memory_ = false;
  image_.clear();
}

bool SettingsStore::Saved() const {
  return in_memory_ || (file_ && !file_->broken());
}

void SettingsStore::Refresh() {
  if (!file_ || file_->broken()) return;
  std::string content;
  switch (file_->Check(image_, &content)) {
    case SettingsFile::Freshness::kCurrent:
      return;
    case SettingsFile::Freshness::kChanged:
      image_ = std::move(content);
      return;
    case SettingsFile::Freshness::kReplaced:
      // Lets go of the old file and takes the one under the name now.
      Load(loaded_path_, false);
      return;
  }
}

bool SettingsStore::Edit(size_t offset, size_t old_length, std::string_view bytes) {
  bool saved = in_memory_;
  if (file_) {
    switch (file_->Replace(image_, offset, old_length, bytes)) {
      case SettingsFile::EditResult::kStale:
        stale_ = true;
        return false;
      case SettingsFile::EditResult::kSaved:
        saved = true;
        break;
      case SettingsFile::EditResult::kFailed:
        break;
    }
  }
  if (!saved) save_failed_ = true;
  image_.replace(offset, old_length, bytes);
  return saved;
}

int SettingsStore::RunFresh(const std::function<int()>& edit) {
  for (int refreshes = 0;; ++refreshes) {
    stale_ = false;
    const int result = edit();
    if (!stale_) return result;
    if (refreshes == kMostRefreshes) {
      save_failed_ = true;
      return kFailed;
    }
    Refresh();
  }
}

std::optional<size_t> SettingsStore::LocateSection(std::string_view section, size_t* from) {
  const std::string pattern = HeaderPattern(section);
  for (;;) {
    // An event handler may change the image here; nothing found before
    // this point is used after it.
    yieldToUi();
    size_t p = image_.find(pattern, *from);
    if (p == npos) return std::nullopt;
    if (StartsLine(image_, p)) {
      *from = p;
      return p + pattern.size() - 1;
    }
    *from = p + 1;
  }
}

std::optional<std::string> SettingsStore::LookUp(std::string_view section, std::string_view key) {
  // Not in the middle of an edit: it finds changes itself, and its search
  // positions belong to the image it started on.
  if (!busy_) Refresh();
  size_t from = 0;
  std::optional<size_t> header_end = LocateSection(section, &from);
  if (!header_end) return std::nullopt;
  std::optional<EntryRange> entry = FindEntry(image_, *header_end, key);
  if (!entry) return std::nullopt;
  std::string_view value(image_);
  return std::string(
      CutAtZero(value.substr(entry->value_start, entry->value_end - entry->value_start)));
}

std::string SettingsStore::ReadEntry(std::string_view section, std::string_view key,
                                     std::string_view default_value, bool empty_as_default) {
  std::optional<std::string> value = LookUp(section, key);
  if (!value || (empty_as_default && value->empty())) return std::string(default_value);
  return std::move(*value);
}

int64_t SettingsStore::FindSectionHeaderBetween(int64_t from, int64_t to) const {
  if (from < 1) from = 1;
  if (to < from) return -1;
  size_t found =
      FindHeaderBetween(image_, static_cast<size_t>(from - 1), static_cast<size_t>(to - 1));
  return found == npos ? -1 : static_cast<int64_t>(found) + 1;
}

int SettingsStore::WriteEntry(std::string_view section, std::string_view key,
                              std::string_view value, bool immediate) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || StartsWithBracket(key)) {
    return kFailed;
  }
  return Submit({OpKind::kWrite, {std::string(section), std::string(key), std::string(value)}},
                immediate);
}

int SettingsStore::DeleteEntry(std::string_view section, std::string_view key, bool immediate) {
  return Submit({OpKind::kDelete, {std::string(section), std::string(key), {}}}, immediate);
}

int SettingsStore::RenameSection(std::string_view old_name, std::string_view new_name,
                                 bool immediate) {
  if (HasLineBreak(new_name)) return kFailed;
  return Submit({OpKind::kRenameSection, {std::string(old_name), std::string(new_name), {}}},
                immediate);
}

int SettingsStore::RenameEntry(std::string_view section, std::string_view old_key,
                               std::string_view new_key, bool immediate) {
  if (HasLineBreak(new_key) || StartsWithBracket(new_key)) return kFailed;
  return Submit(
      {OpKind::kRenameEntry, {std::string(section), std::string(old_key), std::string(new_key)}},
      immediate);
}

int SettingsStore::Submit(PendingOp op, bool immediate) {
  if (immediate) return Run(op);
  pending_.push_back(std::move(op));
  if (busy_) return kQueued;
  return ProcessPending();
}

EditOutcome SettingsStore::OutcomeOf(int code) {
  if (code == kDone) return EditOutcome::kDone;
  return code == kQueued ? EditOutcome::kQueued : EditOutcome::kFailed;
}

int SettingsStore::CodeOf(EditOutcome outcome) {
  switch (outcome) {
    case EditOutcome::kDone:
      return kDone;
    case EditOutcome::kQueued:
      return kQueued;
    case EditOutcome::kFailed:
      break;
  }
  return kFailed;
}

int SettingsStore::ProcessPending() {
  const std::optional<EditOutcome> outcome = RunPendingEdits();
  return outcome ? CodeOf(*outcome) : -1;
}

std::optional<EditOutcome> SettingsStore::RunPendingEdits() {
  if (pending_.empty()) return std::nullopt;
  // The running edit drains the queue when it ends.
  if (busy_) return EditOutcome::kQueued;
  busy_ = true;
  int first = kFailed;
  for (bool is_first = true; !pending_.empty(); is_first = false) {
    // Taken off the queue before it runs, so that nothing it lets run can
    // see it again.
    PendingOp op = std::move(pending_.front());
    pending_.pop_front();
    int result = Run(op);
    if (is_first) first = result;
  }
  busy_ = false;
  return OutcomeOf(first);
}

int SettingsStore::Run(const PendingOp& op) {
  return RunFresh([&] { return RunOnce(op); });
}

int SettingsStore::RunOnce(const PendingOp& op) {
  switch (op.kind) {
    case OpKind::kWrite:
      return WriteNow(op.args[0], op.args[1], op.args[2]);
    case OpKind::kDelete:
      return DeleteNow(op.args[0], op.args[1]);
    case OpKind::kRenameSection:
      return RenameSectionNow(op.args[0], op.args[1]);
    case OpKind::kRenameEntry:
      return RenameEntryNow(op.args[0], op.args[1], op.args[2]);
  }
  return kFailed;
}

int SettingsStore::WriteNow(std::string_view section, std::string_view key,
                            std::string_view value) {
  size_t from = 0;
  bool saved = true;
  for (int appends = 0;;) {
    if (std::optional<size_t> header_end = LocateSection(section, &from)) {
      if (std::optional<EntryRange> entry = FindEntry(image_, *header_end, key)) {
        saved &= Edit(entry->value_start, entry->value_end - entry->value_start, value);
      } else {
        // The new key goes first in its section, value and all in one edit.
        const size_t after = *header_end + 1;
        std::string line = "\r\n";
        line.append(key).append("=").append(value);
        // Text after "]" (only in files the store did not write) gets a line
        // of its own: joined to the new line it would become part of the
        // value, and the header would stay invisible to the boundary test.
        if (after < image_.size() && image_.compare(after, 2, "\r\n") != 0) line += "\r\n";
        saved &= Edit(after, 0, line);
      }
      return saved ? kDone : kFailed;
    }
    from = image_.size();
    std::string header = image_.empty() ? "" : "\r\n";
    header += HeaderPattern(section);
    saved &= Edit(image_.size(), 0, header);
    if (stale_) return kFailed;
    if (++appends > kMostSectionAppends) {
      ShowProgramMessage(message_hook_, settings_text::kStoreFailure, kMessageIconExclamation);
      std::string_view shown = CutAtZero(image_);
      if (message_hook_) {
        message_hook_(shown, 0, settings_text::kToolkitCaption);
      } else {
        WriteMessageToStderr(shown, 0, settings_text::kToolkitCaption);
      }
      return kFailed;
    }
  }
}

int SettingsStore::DeleteNow(std::string_view section, std::string_view key) {
  size_t from = 0;
  std::optional<size_t> header_end = LocateSection(section, &from);
  if (!header_end) return kFailed;
  std::optional<EntryRange> entry = FindEntry(image_, *header_end, key);
  if (!entry) return kFailed;
  const size_t line_start = entry->key_start - 2;  // its CR LF
  return Edit(line_start, entry->value_end - line_start, {}) ? kDone : kFailed;
}

int SettingsStore::RenameSectionNow(std::string_view old_name, std::string_view new_name) {
  size_t from = 0;
  std::optional<size_t> header_end = LocateSection(old_name, &from);
  if (!header_end) return kFailed;
  return Edit(*header_end - old_name.size(), old_name.size(), new_name) ? kDone : kFailed;
}

int SettingsStore::RenameEntryNow(std::string_view section, std::string_view old_key,
                                  std::string_view new_key) {
  size_t from = 0;
  std::optional<size_t> header_end = LocateSection(section, &from);
  if (!header_end) return kFailed;
  std::optional<EntryRange> entry = FindEntry(image_, *header_end, old_key);
  if (!entry) return kFailed;
  return Edit(entry->key_start, old_key.size(), new_key) ? kDone : kFailed;
}

}  // namespace keelnode
