#include "json/node_store.h"

#include <unordered_map>

namespace keelnode {

// First child of a parent by name, for parents with many children.
class ChildNameIndex {
 public:
  std::unordered_map<int, std::unordered_map<std::string_view, int>> byParent;
};

namespace {
constexpr int kIndexedChildCount = 32;
}  // namespace

void NodeStore::Invalidate() {
  nameIndex_.reset();
}

NodeStore::NodeStore() = default;
NodeStore::~NodeStore() = default;
NodeStore::NodeStore(NodeStore&&) noexcept = default;
NodeStore& NodeStore::operator=(NodeStore&&) noexcept = default;

NodeStore::NodeStore(const NodeStore& other) {
  *this = other;
}

NodeStore& NodeStore::operator=(const NodeStore& other) {
  if (this == &other) return *this;
  arena_ = other.arena_;
  TextArena::Rebaser rebase(other.arena_, arena_);
  nodes_ = other.nodes_;
  for (Node& node : nodes_) {
    node.name = rebase(node.name);
    node.value = rebase(node.value);
  }
  end_ = other.end_;
  openPath_ = other.openPath_;
  topLevelCount_ = other.topLevelCount_;
  nameIndex_.reset();
  return *this;
}

int NodeStore::insert(int parent, std::string_view name, int kind, std::string_view value) {
  return insertShared(parent, arena_.Copy(name), kind, arena_.Copy(value));
}

void NodeStore::CloseOpenNodesFrom(int level) {
  while (!openPath_.empty() && nodes_[openPath_.back() - 1].level >= level) {
    end_[openPath_.back() - 1] = count();
    openPath_.pop_back();
  }
}

int NodeStore::insertShared(int parent, std::string_view name, int kind, std::string_view value) {
  Invalidate();
  Node node{name, value, kind, 0, 1, 0, 0, 0};
  if (!valid(parent)) {
    CloseOpenNodesFrom(1);
    node.ordinal = ++topLevelCount_;
    nodes_.push_back(node);
    end_.push_back(0);
    openPath_.push_back(count());
    return count();
  }
  Node& p = nodes_[parent - 1];
  node.level = p.level + 1;
  node.parent = parent;
  node.ordinal = ++p.childCount;
  if (end_[parent - 1] == 0) {
    // The parent's subtree runs to the end: appending keeps pre-order.
    CloseOpenNodesFrom(node.level);
    nodes_.push_back(node);
    end_.push_back(0);
    openPath_.push_back(count());
    return count();
  }
  const int position = end_[parent - 1] + 1;
  nodes_.insert(nodes_.begin() + (position - 1), node);
  RebuildStructure();
  return position;
}

void NodeStore::RebuildStructure() {
  end_.assign(nodes_.size(), 0);
  openPath_.clear();
  for (int n = 1; n <= count(); ++n) {
    while (!openPath_.empty() && nodes_[openPath_.back() - 1].level >= nodes_[n - 1].level) {
      end_[openPath_.back() - 1] = n - 1;
      openPath_.pop_back();
    }
    nodes_[n - 1].parent = openPath_.empty() ? 0 : openPath_.back();
    openPath_.push_back(n);
  }
}

int NodeStore::subtreeEnd(int n) const {
  return end_[n - 1] != 0 ? end_[n - 1] : count();
}

int NodeStore::nextAfterSubtree(int n) const {
  if (!valid(n)) return -1;
  const int end = subtreeEnd(n);
  return end < count() ? end + 1 : -1;
}

int NodeStore::parent(int n) const {
  if (!valid(n)) return -1;
  return nodes_[n - 1].level == 1 ? 0 : nodes_[n - 1].parent;
}

int NodeStore::findChild(int level, std::string_view name, int start) const {
  int i = start < 0 ? 0 : start;
  while (i < count()) {
    const Node& node = nodes_[i];
    if (node.level == level) {
      if (node.name == name) return i + 1;
      i = subtreeEnd(i + 1);
    } else if (node.level < level) {
      return -1;
    } else {
      i = subtreeEnd(i + 1);
    }
  }
  return -1;
}

int NodeStore::firstChildNamed(int parent, std::string_view name) const {
  if (!valid(parent)) return -1;
  const Node& p = nodes_[parent - 1];
  if (p.childCount < kIndexedChildCount) return findChild(p.level + 1, name, parent);
  if (!nameIndex_) nameIndex_ = std::make_unique<ChildNameIndex>();
  auto [it, fresh] = nameIndex_->byParent.try_emplace(parent);
  if (fresh) {
    it->second.reserve(p.childCount);
    for (int child = parent + 1, k = 0; k < p.childCount; ++k, child = subtreeEnd(child) + 1)
      it->second.try_emplace(nodes_[child - 1].name, child);
  }
  auto hit = it->second.find(name);
  return hit == it->second.end() ? -1 : hit->second;
}

bool NodeStore::setName(int n, std::string_view name) {
  if (!valid(n)) return false;
  Invalidate();
  nodes_[n - 1].name = arena_.Copy(name);
  return true;
}

bool NodeStore::setValue(int n, std::string_view value) {
  if (!valid(n)) return false;
  nodes_[n - 1].value = arena_.Copy(value);
  return true;
}

bool NodeStore::setKind(int n, int kind) {
  if (!valid(n)) return false;
  nodes_[n - 1].kind = kind;
  return true;
}

bool NodeStore::setTag(int n, int number, bool add) {
  if (!valid(n)) return false;
  nodes_[n - 1].tag = add ? nodes_[n - 1].tag + number : number;
  return true;
}

void NodeStore::reserve(size_t nodes) {
  nodes_.reserve(nodes);
  end_.reserve(nodes);
}

void NodeStore::clear() {
  // Let go of the memory too: the next document may be much smaller.
  decltype(nodes_)().swap(nodes_);
  decltype(end_)().swap(end_);
  openPath_.clear();
  topLevelCount_ = 0;
  arena_.Clear();
  Invalidate();
}

int NodeStore::copyAll(std::vector<NodeRecord>& out) const {
  out.clear();
  out.reserve(nodes_.size());
  for (const Node& n : nodes_)
    out.push_back({std::string(n.name), n.kind, std::string(n.value), n.tag, n.level, n.childCount,
                   n.ordinal});
  return count();
}

size_t NodeStore::memoryBytes() const {
  return nodes_.capacity() * sizeof(Node) + end_.capacity() * sizeof(int32_t) + arena_.bytes();
}

}  // namespace keelnode
