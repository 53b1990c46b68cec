// The two sets of tree icons, drawn by the program: pictures (a blue gem, a
// small structure diagram, red brackets) or the characters 值 象 组 in blue,
// green and red. Indexed by image number = node kind.
#pragma once

#include "viewer/tree_item_model.h"

namespace keelnode {

constexpr int kTreeIconSize = 20;

IconSet MakeIconSet(bool textIcons);

}  // namespace keelnode
