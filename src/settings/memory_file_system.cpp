#include "settings/memory_file_system.h"

#include <utility>

namespace keelnode {

// One file, whatever names point to it.
struct MemoryNode {
  uint64_t id = 0;
  std::string bytes;
  int64_t modified = 0;  // a tick of the file system's clock
  int lock_id = 0;       // of the open holding its lock; 0 = none
};

struct MemoryFileSystem::State {
  std::map<std::string, std::shared_ptr<MemoryNode>> files;
  std::set<std::string> directories{"/"};
  std::set<std::string> read_only;
  uint64_t next_id = 1;
  int64_t clock = 0;  // every change is a tick, so stamps always tell changes apart
  int next_lock_id = 1;
  int mutations = 0;
  int fail_at = -1;
  bool crash = false;
  bool crashed = false;
  std::function<void()> observer;

  void Changed(MemoryNode& node) {
    node.modified = ++clock;
    if (observer) observer();
  }

  std::shared_ptr<MemoryNode> NewNode(std::string bytes) {
    auto node = std::make_shared<MemoryNode>();
    node->id = next_id++;
    node->bytes = std::move(bytes);
    node->modified = ++clock;
    return node;
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

  static std::string Parent(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  }
  bool HasParent(const std::string& path) const {
    std::string parent = Parent(path);
    return parent == "." || directories.count(parent) != 0;
  }
  // A name can be made or dropped there.
  bool CanChangeNames(const std::string& path) const {
    return HasParent(path) && read_only.count(Parent(path)) == 0;
  }

  static FileStamp StampOf(const MemoryNode& node) {
    FileStamp stamp;
    stamp.device = 1;
    stamp.inode = node.id;
    stamp.size = node.bytes.size();
    stamp.modified_ns = node.modified;
    stamp.changed_ns = node.modified;
    stamp.settled = true;
    return stamp;
  }
};

namespace {

class MemoryFile final : public EditableFile {
 public:
  MemoryFile(std::shared_ptr<MemoryFileSystem::State> state, std::shared_ptr<MemoryNode> node,
             int lock_id)
      : state_(std::move(state)), node_(std::move(node)), lock_id_(lock_id) {}
  ~MemoryFile() override {
    if (node_->lock_id == lock_id_) node_->lock_id = 0;
  }

  bool WriteAt(uint64_t offset, std::string_view bytes) override {
    bool torn;
    bool ok = state_->Admit(&torn);
    if (!ok && !torn) return false;
    if (torn) bytes = bytes.substr(0, bytes.size() / 2);
    std::string& content = node_->bytes;
    if (content.size() < offset + bytes.size()) content.resize(offset + bytes.size());
    content.replace(offset, bytes.size(), bytes);
    state_->Changed(*node_);
    return ok;
  }

  bool Truncate(uint64_t size) override {
    bool torn;
    if (!state_->Admit(&torn)) return false;
    node_->bytes.resize(size);
    state_->Changed(*node_);
    return true;
  }

  bool Sync() override { return !state_->crashed; }
  std::optional<FileStamp> Stamp() override { return MemoryFileSystem::State::StampOf(*node_); }
  std::optional<std::string> ReadAll() override { return node_->bytes; }

 private:
  std::shared_ptr<MemoryFileSystem::State> state_;
  std::shared_ptr<MemoryNode> node_;
  int lock_id_;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() : state_(std::make_shared<State>()) {}

void MemoryFileSystem::AddDirectory(const std::string& path) {
  state_->directories.insert(path);
}

void MemoryFileSystem::SetReadOnly(const std::string& directory) {
  state_->read_only.insert(directory);
}

void MemoryFileSystem::SetFile(const std::string& path, std::string bytes) {
  auto it = state_->files.find(path);
  if (it == state_->files.end()) {
    state_->files[path] = state_->NewNode(std::move(bytes));
  } else {
    it->second->bytes = std::move(bytes);
    it->second->modified = ++state_->clock;
  }
}

std::optional<std::string> MemoryFileSystem::File(const std::string& path) const {
  auto it = state_->files.find(path);
  if (it == state_->files.end()) return std::nullopt;
  return it->second->bytes;
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
  for (auto& [path, node] : state_->files)
    node->lock_id = 0;
}

std::optional<std::string> MemoryFileSystem::ReadFile(const std::string& path) {
  return File(path);
}

std::optional<FileStamp> MemoryFileSystem::Stat(const std::string& path) {
  auto it = state_->files.find(path);
  if (it == state_->files.end()) return std::nullopt;
  return State::StampOf(*it->second);
}

bool MemoryFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
  bool torn;
  if (!state_->Admit(&torn) || !state_->CanChangeNames(path)) return false;
  auto node = state_->NewNode(std::string(bytes));
  state_->files[path] = node;
  state_->Changed(*node);
  return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
  bool torn;
  if (!state_->Admit(&torn)) return false;
  auto it = state_->files.find(path);
  if (it == state_->files.end()) return true;
  if (!state_->CanChangeNames(path)) return false;
  auto node = it->second;
  state_->files.erase(it);
  state_->Changed(*node);
  return true;
}

bool MemoryFileSystem::MakeDirectory(const std::string& path) {
  // Only a directory that gets made counts as a change.
  if (state_->directories.count(path)) return !state_->crashed;
  bool torn;
  if (!state_->Admit(&torn) || !state_->CanChangeNames(path)) return false;
  state_->directories.insert(path);
  return true;
}

bool MemoryFileSystem::CanChangeNamesIn(const std::string& directory) {
  return state_->directories.count(directory) != 0 && state_->read_only.count(directory) == 0;
}

OpenedFile MemoryFileSystem::OpenForEditing(const std::string& path) {
  if (state_->crashed || !state_->HasParent(path)) return {};
  auto it = state_->files.find(path);
  if (it == state_->files.end()) {
    if (!state_->CanChangeNames(path)) return {};
    it = state_->files.emplace(path, state_->NewNode({})).first;
  }
  std::shared_ptr<MemoryNode> node = it->second;
  if (node->lock_id != 0) return {OpenResult::kLockedByOther, nullptr};
  node->lock_id = state_->next_lock_id++;
  return {OpenResult::kOpened, std::make_unique<MemoryFile>(state_, node, node->lock_id)};
}

}  // namespace keelnode
