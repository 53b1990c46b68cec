#include "viewer/tree_expansion.h"

namespace keelnode {
namespace {

// Levels of items first..end-1 counted from `first` (level 0), parents
// coming before their children.
std::vector<int> RelativeLevels(const TreeItemModel& model, int first, int end) {
  std::vector<int> levels(static_cast<size_t>(end - first), 0);
  for (int item = first + 1; item < end; ++item)
    levels[item - first] = levels[model.parentItem(item) - first] + 1;
  return levels;
}

}  // namespace

ExpansionPlan PlanSubtree(const TreeItemModel& model, int item, int maxLevels) {
  ExpansionPlan plan;
  const int end = model.subtreeEnd(item);
  if (end < 0) return plan;
  const std::vector<int> levels = RelativeLevels(model, item, end);
  for (int k = item; k < end; ++k) {
    const int children = model.childCount(k);
    if (children == 0 || levels[k - item] > maxLevels) continue;
    plan.items.push_back(k);
    plan.rowsShown += children;
  }
  return plan;
}

ExpansionPlan PlanToLevel(const TreeItemModel& model, int level) {
  ExpansionPlan plan;
  // Levels from 1 at the top; the walk follows parent links, so it needs
  // no room beyond the levels of the current ancestors.
  std::vector<int> open;  // ancestors of the item being looked at
  for (int item = 0; item < model.itemCount(); ++item) {
    const int parent = model.parentItem(item);
    while (!open.empty() && open.back() != parent)
      open.pop_back();
    open.push_back(item);
    if (static_cast<int>(open.size()) > level) {
      item = model.subtreeEnd(item) - 1;  // nothing below opens either
      continue;
    }
    const int children = model.childCount(item);
    if (children == 0) continue;
    plan.items.push_back(item);
    plan.rowsShown += children;
  }
  return plan;
}

}  // namespace keelnode
