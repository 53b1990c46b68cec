// An in-memory file system for tests and fuzzing, with injected faults.
//
// Files are objects that names point to, as on a disk: replacing a file
// gives its name a new file, while an open one goes on editing the old.
// Mutating operations (WriteAt, Truncate, ReplaceFile, RemoveFile, and
// MakeDirectory of a missing directory) are counted. A fault can be armed at a given count: that
// operation is torn (a WriteAt lands only its first half, the others do
// nothing) and fails; with a crash every later mutating operation fails too,
// as if the process had died and its files were left as they are.
// Locks are released when the EditableFile is destroyed or by Revive().
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "settings/file_system.h"

namespace keelnode {

class MemoryFileSystem final : public FileSystem {
 public:
  MemoryFileSystem();

  // Test setup and inspection. Files need their parent directory ("/" exists).
  void AddDirectory(const std::string& path);
  // Nothing can be created in or removed from the directory any more; its
  // files can still be edited.
  void SetReadOnly(const std::string& directory);
  // Creates the file, or changes an existing one in place (as another
  // program writing into it would).
  void SetFile(const std::string& path, std::string bytes);
  std::optional<std::string> File(const std::string& path) const;
  int mutation_count() const;

  // The operation counted as number `n` (0-based from now) fails torn; with
  // `crash` every later one fails as well.
  void FailAt(int n, bool crash);
  // Ends a crash: operations work again and every lock is dropped.
  void Revive();
  // Called after every mutating operation that took effect.
  void SetObserver(std::function<void()> observer);

  std::optional<std::string> ReadFile(const std::string& path) override;
  std::optional<FileStamp> Stat(const std::string& path) override;
  bool ReplaceFile(const std::string& path, std::string_view bytes) override;
  void RemoveLeftovers(const std::string&) override {}  // nothing is ever left
  bool RemoveFile(const std::string& path) override;
  bool MakeDirectory(const std::string& path) override;
  bool CanChangeNamesIn(const std::string& directory) override;
  OpenedFile OpenForEditing(const std::string& path) override;

  // Shared with open files, which may outlive nothing but must not dangle.
  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace keelnode
