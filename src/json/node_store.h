// One parsed JSON document as a flat pre-order array of nodes.
//
// Every node is immediately followed by its whole subtree. Nodes are numbered
// from 1 in array order; an invalid number is anything outside 1..count().
// Names and values are views into text the store owns (an arena of buffers),
// so the many values that are slices of one source text share it instead of
// each holding a copy.
//
// Besides the fields callers see, the store keeps each node's parent and the
// end of its subtree, so that lookups skip whole subtrees and appending under
// the last open node costs O(1).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "json/text_arena.h"
#include "services/huge_pages.h"

namespace keelnode {

enum NodeKind : int32_t { kScalar = 0, kObject = 1, kArray = 2 };

struct NodeRecord {
  std::string name;
  int32_t kind = kScalar;
  std::string value;
  int32_t tag = 0;
  int32_t level = 0;
  int32_t childCount = 0;
  int32_t ordinal = 0;
};

class NodeStore {
 public:
  NodeStore();
  ~NodeStore();
  NodeStore(const NodeStore& other);
  NodeStore& operator=(const NodeStore& other);
  NodeStore(NodeStore&&) noexcept;
  NodeStore& operator=(NodeStore&&) noexcept;

  // Appends a node as the last child of `parent`, or as the last top-level
  // node when `parent` is not a valid number. Copies name and value.
  int insert(int parent, std::string_view name, int kind, std::string_view value);
  // As insert(), but name and value must already live in text the store owns
  // (see Adopt); nothing is copied.
  int insertShared(int parent, std::string_view name, int kind, std::string_view value);
  // Texts the store owns; views stay valid until clear().
  std::string_view Adopt(std::string text) { return arena_.Keep(std::move(text)); }
  std::string_view AdoptCopy(std::string_view text) { return arena_.Copy(text); }
  // Shared ownership of the owned text that holds `text` (a name or value
  // view), for readers that keep it past the next load; null if none.
  std::shared_ptr<const std::string> Holder(std::string_view text) const {
    return arena_.Holder(text);
  }

  int nextAfterSubtree(int n) const;
  int parent(int n) const;
  // First node of exactly `level` named `name` from 0-based `start` on, not
  // leaving the subtree the scan started in; -1 when there is none.
  int findChild(int level, std::string_view name, int start) const;

  int level(int n) const { return valid(n) ? nodes_[n - 1].level : -1; }
  int childCount(int n) const { return valid(n) ? nodes_[n - 1].childCount : -1; }
  int kind(int n) const { return valid(n) ? nodes_[n - 1].kind : -1; }
  int tag(int n) const { return valid(n) ? nodes_[n - 1].tag : -1; }
  int ordinal(int n) const { return valid(n) ? nodes_[n - 1].ordinal : -1; }
  bool hasChildren(int n) const { return valid(n) && nodes_[n - 1].childCount != 0; }
  std::string name(int n) const { return std::string(nameView(n)); }
  std::string value(int n) const { return std::string(valueView(n)); }
  std::string_view nameView(int n) const {
    return valid(n) ? nodes_[n - 1].name : std::string_view();
  }
  std::string_view valueView(int n) const {
    return valid(n) ? nodes_[n - 1].value : std::string_view();
  }

  bool setName(int n, std::string_view name);
  bool setValue(int n, std::string_view value);
  bool setKind(int n, int kind);
  bool setTag(int n, int number, bool add);

  int count() const { return static_cast<int>(nodes_.size()); }
  void reserve(size_t nodes);
  int topLevelCount() const { return topLevelCount_; }
  void clear();
  int copyAll(std::vector<NodeRecord>& out) const;

  // The child of `parent` named `name` that findChild(level(parent) + 1, name,
  // parent) finds, answered from a name index built on first use for parents
  // with many children.
  int firstChildNamed(int parent, std::string_view name) const;

  size_t memoryBytes() const;

 private:
  struct Node {
    std::string_view name;
    std::string_view value;
    int32_t kind;
    int32_t tag;
    int32_t level;
    int32_t childCount;
    int32_t ordinal;
    int32_t parent;  // node number, 0 for a top-level node
  };

  bool valid(int n) const { return n >= 1 && n <= count(); }
  int subtreeEnd(int n) const;  // number of the last node of n's subtree
  void CloseOpenNodesFrom(int level);
  void RebuildStructure();
  void Invalidate();

  std::vector<Node, LargeArrayAllocator<Node>> nodes_;
  // Last descendant of each node; for nodes still on the open path (the
  // ancestors of the last node and the last node itself) it is unset (0)
  // and the subtree runs to the end.
  std::vector<int32_t, LargeArrayAllocator<int32_t>> end_;
  std::vector<int32_t> openPath_;
  int topLevelCount_ = 0;
  TextArena arena_;
  // Name lookups among the children of wide parents; built on first use.
  mutable std::unique_ptr<class ChildNameIndex> nameIndex_;
};

}  // namespace keelnode
