// The undo record written beside the settings file before each in-place edit.
//
// It holds what the edit is about to overwrite: the file's size before the
// edit and its old bytes from `offset` on (up to the end of the file when
// the tail moves, only the changed range when it does not). Restoring
// writes those bytes back at `offset` and cuts the file to its old size.
// A record is only trusted when its length and checksum are intact, so a
// torn or foreign file under the journal's name is ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace keelnode {

struct UndoRecord {
  uint64_t offset = 0;
  uint64_t old_size = 0;
  std::string old_bytes;
};

std::string EncodeUndoRecord(const UndoRecord& record);
std::optional<UndoRecord> DecodeUndoRecord(std::string_view bytes);

// `content` with the edit undone, or nothing when the record does not fit
// it (the file was shortened or changed by someone else since).
std::optional<std::string> ApplyUndoRecord(std::string_view content, const UndoRecord& record);

// The journal's path for a settings file: beside it.
std::string UndoJournalPath(const std::string& settings_path);
// Its path in `folder`, for a settings file whose own folder takes no new
// files: named after the file and, so that files of one name in different
// folders do not meet, a hash of its whole path.
std::string SpareUndoJournalPath(const std::string& folder, const std::string& settings_path);
// The user's folder for such journals: $XDG_STATE_HOME/keelnode, else
// ~/.local/state/keelnode; empty when neither names a folder.
std::string DefaultSpareJournalFolder();

}  // namespace keelnode
