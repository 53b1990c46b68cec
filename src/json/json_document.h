// A JSON text turned into a filled node store, and the viewer's questions
// about it: the tree item list, the path of a node, the value at a path.
//
// Node 1 is always the root: name "JSON", level 1, kind 1 or 2, value the
// whole text as loaded. Array items are named "[n]", counted from 0 or 1 as
// the load asked. Tree item k shows node k + 1.
#pragma once

#include <string>
#include <string_view>

#include "json/json_parser.h"
#include "json/node_store.h"
#include "json/tree_item_list.h"

namespace keelnode {

class JsonDocument {
 public:
  JsonDocument();

  // With singleQuote, `text` receives the converted text. Never fails:
  // malformed text yields whatever the parser found (at worst the root).
  void load(std::string& text, bool zeroBased, bool singleQuote);
  // The same, taking the text over instead of copying it.
  void loadOwned(std::string text, bool zeroBased, bool singleQuote);

  // The label of node n's tree item: its name, and for a scalar ":" and the
  // value as written (escaped quotes restored). `out` is replaced.
  void treeLabel(int n, std::string& out) const;

  // One item per node in node order: label, image = selected image = kind,
  // value = node number, depth = level.
  TreeItemList buildTreeItems() const;

  void setBasePath(std::string_view path) { basePath_ = path; }
  std::string valueAtRelativePath(std::string_view path) const;
  // `path` in the internal form; startNode 0 = from the root.
  std::string valueAtPath(std::string_view path, int startNode) const;
  // Node found by valueAtPath's walk, or -1; 1 (the root) for an empty path.
  int nodeAtPath(std::string_view path, int startNode) const;
  // Quotes of a string value stripped, escaped-quote placeholders restored.
  std::string displayValue(std::string_view text) const;
  // The same, reusing `out`'s storage (for callers that show many values).
  void displayValueInto(std::string_view text, std::string& out) const;
  // Internal-form path of node n; empty for the root or an invalid n.
  std::string pathOfNode(int n) const;

  const NodeStore& store() const { return store_; }
  bool zeroBasedIndices() const { return zeroBasedIndices_; }

 private:
  int nodeAtSegments(const std::vector<std::string>& segments, int startNode) const;

  bool zeroBasedIndices_ = false;
  NodeStore store_;
  std::string basePath_;
};

}  // namespace keelnode
