// Which items an expand command opens, worked out on the model before the
// view is touched, so that a command too big for the window can be refused
// without having changed anything.
#pragma once

#include <cstdint>
#include <vector>

#include "viewer/tree_item_model.h"

namespace keelnode {

struct ExpansionPlan {
  std::vector<int> items;  // items with children to open, in block order
  int64_t rowsShown = 0;   // rows they hold (their children together)
};

// Every item with children in `item`'s subtree, `item` included, down to
// `maxLevels` levels below it (0: `item` alone).
ExpansionPlan PlanSubtree(const TreeItemModel& model, int item, int maxLevels);

// Every item with children on levels 1..`level` (a top-level item is on
// level 1), so that the items of level `level` + 1 show.
ExpansionPlan PlanToLevel(const TreeItemModel& model, int level);

}  // namespace keelnode
