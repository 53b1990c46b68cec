#include "settings/memory_file_system.h"

#include <utility>

namespace keelnode {

struct MemoryFileSystem::State {
  std::map<std::string, std::string> files;
  std::set<std::string> directories{"/"};
  std::map<std::string, int> lock_owner;  // path -> id of the open holding it
  int next_lock_id = 1;
  int mutations = 0;
  int fail_at = -1;
  bool crash = false;
  bool crashed = false;
  std::function<void()> observer;

  void Changed() const {
    if (observer) observer();
  }

  // Counts a mutating operation; false when it must fail. `torn` tells the
  // caller to apply half of it.
  bool Admit(bool* torn) {
    *torn = false;
    if (crashed) return false;
    int index = mutations++;
    if (index != fail_at) return true;
    *torn = true;
    crashed = crash;
    return false;
  }

  bool HasParent(const std::string& path) const {
    size_t slash = path.find_last_of('/');
    std::string parent = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    return parent == "." || directories.count(parent) != 0;
  }
};

namespace {

class MemoryFile final : public EditableFile {
 public:
  MemoryFile(std::shared_ptr<MemoryFileSystem::State> state, std::string path, int lock_id)
      : state_(std::move(state)), path_(std::move(path)), lock_id_(lock_id) {}
  ~MemoryFile() override {
    auto it = state_->lock_owner.find(path_);
    if (it != state_->lock_owner.end() && it->second == lock_id_) state_->lock_owner.erase(it);
  }

  bool WriteAt(uint64_t offset, std::string_view bytes) override {
    bool torn;
    bool ok = state_->Admit(&torn);
    if (!ok && !torn) return false;
    if (torn) bytes = bytes.substr(0, bytes.size() / 2);
    std::string& content = state_->files[path_];
    if (content.size() < offset + bytes.size()) content.resize(offset + bytes.size());
    content.replace(offset, bytes.size(), bytes);
    state_->Changed();
    return ok;
  }

  bool Truncate(uint64_t size) override {
    bool torn;
    if (!state_->Admit(&torn)) return false;
    state_->files[path_].resize(size);
    state_->Changed();
    return true;
  }

  bool Sync() override { return !state_->crashed; }

 private:
  std::shared_ptr<MemoryFileSystem::State> state_;
  std::string path_;
  int lock_id_;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() : state_(std::make_shared<State>()) {}

void MemoryFileSystem::AddDirectory(const std::string& path) {
  state_->directories.insert(path);
}

void MemoryFileSystem::SetFile(const std::string& path, std::string bytes) {
  state_->files[path] = std::move(bytes);
}

std::optional<std::string> MemoryFileSystem::File(const std::string& path) const {
  auto it = state_->files.find(path);
  if (it == state_->files.end()) return std::nullopt;
  return it->second;
}

int MemoryFileSystem::mutation_count() const {
  return state_->mutations;
}

void MemoryFileSystem::FailAt(int n, bool crash) {
  state_->fail_at = state_->mutations + n;
  state_->crash = crash;
}

void MemoryFileSystem::SetObserver(std::function<void()> observer) {
  state_->observer = std::move(observer);
}

void MemoryFileSystem::Revive() {
  state_->crashed = false;
  state_->fail_at = -1;
  state_->lock_owner.clear();
}

std::optional<std::string> MemoryFileSystem::ReadFile(const std::string& path) {
  return File(path);
}

bool MemoryFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
  bool torn;
  if (!state_->Admit(&torn) || !state_->HasParent(path)) return false;
  state_->files[path] = std::string(bytes);
  state_->Changed();
  return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
  bool torn;
  if (!state_->Admit(&torn)) return false;
  state_->files.erase(path);
  state_->Changed();
  return true;
}

bool MemoryFileSystem::MakeDirectory(const std::string& path) {
  bool torn;
  if (!state_->Admit(&torn) || !state_->HasParent(path)) return false;
  state_->directories.insert(path);
  return true;
}

OpenedFile MemoryFileSystem::OpenForEditing(const std::string& path) {
  if (state_->crashed || !state_->HasParent(path)) return {};
  if (state_->lock_owner.count(path)) return {OpenResult::kLockedByOther, nullptr};
  state_->files.try_emplace(path);
  int id = state_->next_lock_id++;
  state_->lock_owner[path] = id;
  return {OpenResult::kOpened, std::make_unique<MemoryFile>(state_, path, id)};
}

}  // namespace keelnode
