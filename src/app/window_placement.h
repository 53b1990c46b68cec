// Where a window whose place was saved opens now that the screens may be
// others: a laptop taken off its second monitor must not open the window
// on the monitor that is gone.
#pragma once

#include <QRect>
#include <QSize>
#include <vector>

namespace keelnode {

// The window's frame at `saved` (position of its frame, size of its client
// area) on screens whose available areas are `areas`, the primary first.
// It stays where it was while enough of its top edge (where it is taken
// hold of) lies on one of them; else it goes near the primary's top-left
// corner. A size larger than the area it ends on shrinks to that area (not
// below `minimum`) and the window then moves into it. With no screens at all
// it stays as saved.
QRect PlaceOnScreens(const QRect& saved, const std::vector<QRect>& areas, QSize minimum);

// The same for a window on the screens there are now.
QRect PlaceOnCurrentScreens(const QRect& saved, QSize minimum);

}  // namespace keelnode
