// The program's settings: named values in sections, kept in an ini-style
// file that the store edits in place.
//
// The whole file is held as a byte image, and every edit of the image is
// mirrored into the open file at once, touching only the bytes from the
// edit on (settings_file.h makes that safe against crashes). Bytes the store
// does not own - other lines, comments, foreign sections - are never
// changed. The format is described in ini_image.h; in short:
//   - a new section is appended as CR LF + "[name]" (just "[name]" in an
//     empty file); the file never gets a line break at its end;
//   - a new key is inserted right after its section's "]", so it becomes
//     the section's first entry (text that follows the "]" in a file the
//     store did not write is moved to a line of its own); a changed value
//     keeps its place;
//   - where a key occurs twice in a section, the first one counts.
//
// Texts (sections, keys, values) are GB18030 bytes; paths are file-system
// paths. Values never contain CR LF: the typed writers encode it
// (value_codec.h) and the raw writers refuse it, as they refuse a section
// or key containing CR LF and a key starting with "[": either would let a
// later search take a value or a key line for a section header.
//
// Re-entrancy: the searches let the window handle events (yieldToUi), and an
// event handler may use the store in the middle of an edit. Writes are
// therefore queued: a write issued while another is running returns
// kQueued at once and runs right after it. Reads see the image as it is.
// GUI thread only.
//
// While the settings file is open it is locked: another store (in this or
// another process) opening it reads it but cannot write it; its writes
// change only its own image and report failure, silently.
//
// Programs that ignore the lock (an editor, a script) may still change the
// file or put another file in its place. The store never writes from an
// image the file no longer matches: an edit that finds the file changed
// reads it again (opening and locking the new file when it was replaced)
// and is made again on what the file holds now. Reads outside an edit also
// look at the file first.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/file_system.h"
#include "settings/message_hook.h"
#include "settings/value_codec.h"

namespace keelnode {

class SettingsFile;

enum class StorageMode {
  kDiskIni = 0,     // the ini file, edited in place (the program's mode)
  kMemoryOnly = 1,  // the ini file is read; edits never reach the disk
  kRegistry = 2,    // typed values go to registry_store.h's file instead
};

// How a raw edit ended.
enum class EditOutcome {
  kDone,
  kFailed,  // also: changed in memory but not saved
  kQueued,  // will run once the running edit ends
};

class SettingsStore {
 public:
  // Results of the raw edit operations, as their legacy int codes.
  static constexpr int kDone = 0;
  static constexpr int kFailed = -1;  // also: changed in memory but not saved
  static constexpr int kQueued = 3;   // will run once the running edit ends

  SettingsStore();  // on the machine's files
  // `files` must outlive the store.
  explicit SettingsStore(FileSystem& files);
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // Selects the back end and loads the file. True when edits can be saved:
  // false when the file cannot be opened for writing or another store holds
  // it (its content is still read).
  bool Open(const std::string& path, StorageMode mode = StorageMode::kDiskIni);
  bool Load(const std::string& path, bool in_memory);
  // Loads the file again; a held file only when another program changed it.
  void Reload();
  // Releases the file and its lock and empties the image.
  void Close();
  const std::string& GetConfiguredPath() const { return configured_path_; }
  StorageMode mode() const { return mode_; }

  // Where a failure notice goes (see message_hook.h).
  void SetMessageHook(MessageHook hook) { message_hook_ = std::move(hook); }
  // Where undo records go when the settings file's folder takes no new
  // files (empty: nowhere; edits then go ahead unguarded). Set before Open;
  // the default is DefaultSpareJournalFolder() (undo_journal.h).
  void SetSpareJournalFolder(std::string folder) { spare_journal_folder_ = std::move(folder); }
  // Some edit since Open changed only the image: the file could not be
  // written, or kept changing under the edit.
  bool SaveFailed() const { return save_failed_; }

  // Raw access to already encoded values.
  int WriteEntry(std::string_view section, std::string_view key, std::string_view value,
                 bool immediate = false);
  std::string ReadEntry(std::string_view section, std::string_view key,
                        std::string_view default_value = {}, bool empty_as_default = false);
  // The value (cut at a zero byte), or nothing when the entry is absent.
  std::optional<std::string> LookUp(std::string_view section, std::string_view key);
  // Removes the entry's line (its CR LF, key, "=" and value).
  int DeleteEntry(std::string_view section, std::string_view key, bool immediate = false);
  int RenameSection(std::string_view old_name, std::string_view new_name, bool immediate = false);
  int RenameEntry(std::string_view section, std::string_view old_key, std::string_view new_key,
                  bool immediate = false);
  // Runs the queued edits in arrival order: the outcome of the first;
  // nothing when none was waiting; kQueued when called while an edit runs.
  std::optional<EditOutcome> RunPendingEdits();
  // The legacy form: -1 for an empty queue, which is also kFailed.
  int ProcessPending();
  static EditOutcome OutcomeOf(int code);
  static int CodeOf(EditOutcome outcome);
  // 1-based positions; the "[" of the first header line lying strictly
  // within them, or -1.
  int64_t FindSectionHeaderBetween(int64_t from, int64_t to) const;

  // Names of the "[name]" lines; a non-empty include text must occur in the
  // line, a non-empty exclude text must not.
  std::vector<std::string> ListSections(std::string_view include = {},
                                        std::string_view exclude = {}) const;
  // Keys of the lines "key=value" under the section's first header line.
  std::vector<std::string> ListKeys(std::string_view section, std::string_view include = {},
                                    std::string_view exclude = {}) const;
  std::vector<std::string> ListSectionsWithKey(std::string_view key);
  // Keys whose value is exactly `value`, in the sections whose names
  // contain `section_filter` (every section when it is empty).
  std::vector<std::string> FindKeysByValue(std::string_view value,
                                           std::string_view section_filter = {});

  const std::string& GetImageText() const { return image_; }
  // Replaces (or appends to) the whole image and the file.
  bool SetImageText(std::string_view text, bool append = false);
  // Writes the whole image to a file (empty path: the loaded file).
  bool SaveImageAs(const std::string& path = {});

  // The section the typed operations use.
  void SetSection(std::string_view name);
  const std::string& section() const { return section_; }

  // Typed values in the current section. Writers report true only when the
  // value was saved at once; readers return the default unchanged when the
  // key is absent.
  bool WriteText(std::string_view key, std::string_view value);
  std::string ReadText(std::string_view key, std::string_view default_value = {});
  bool WriteNumber(std::string_view key, double value);
  double ReadNumber(std::string_view key, double default_value = 0);
  bool WriteFlag(std::string_view key, bool value);
  bool ReadFlag(std::string_view key, bool default_value = false);
  bool ReadFlagLenient(std::string_view key, bool default_value = false);
  bool WriteDateTime(std::string_view key, DateTime value);
  DateTime ReadDateTime(std::string_view key, DateTime default_value = {});
  // Byte values live in side files: <settings folder>/inibin/<section>-<key>.ibn.
  // A section or key containing "/" has no side file (reads give the default).
  bool WriteBytes(std::string_view key, std::string_view bytes);
  std::string ReadBytes(std::string_view key, std::string_view default_value = {});

 private:
  enum class OpKind { kWrite, kDelete, kRenameSection, kRenameEntry };
  struct PendingOp {
    OpKind kind;
    std::string args[3];
  };

  int Submit(PendingOp op, bool immediate);
  int Run(const PendingOp& op);
  int RunOnce(const PendingOp& op);
  // Runs `edit` again on a fresh image for as long as it finds the file
  // changed under it, a few times at most.
  int RunFresh(const std::function<int()>& edit);
  // Takes in what another program did to the file since it was last seen.
  void Refresh();
  int WriteNow(std::string_view section, std::string_view key, std::string_view value);
  int DeleteNow(std::string_view section, std::string_view key);
  int RenameSectionNow(std::string_view old_name, std::string_view new_name);
  int RenameEntryNow(std::string_view section, std::string_view old_key, std::string_view new_key);

  // The position of the section's "]", searching from *from (moved past
  // matches that do not start a line). Lets the window run once per pass.
  std::optional<size_t> LocateSection(std::string_view section, size_t* from);
  // Mirrors an edit of the image into the file; false when it is not saved.
  // When the file no longer matches the image it changes neither and sets
  // stale_; the caller must then stop.
  bool Edit(size_t offset, size_t old_length, std::string_view bytes);
  bool Saved() const;
  bool WriteTyped(std::string_view key, std::string_view encoded);
  std::optional<std::string> ReadTyped(std::string_view key);
  std::optional<std::string> SideFilePath(std::string_view key) const;

  FileSystem& files_;
  std::string image_;
  std::unique_ptr<SettingsFile> file_;  // disk-ini mode, when the file could be opened
  bool in_memory_ = false;              // memory-only mode: edits succeed in the image
  std::string loaded_path_;
  bool busy_ = false;
  bool stale_ = false;
  bool save_failed_ = false;
  std::deque<PendingOp> pending_;
  std::string spare_journal_folder_;
  std::string configured_path_;
  std::string section_;
  StorageMode mode_ = StorageMode::kDiskIni;
  std::string registry_prefix_;
  MessageHook message_hook_;
};

}  // namespace keelnode
