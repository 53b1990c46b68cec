// Layout at every resize, and the options that act on the window itself.
//
// From the design width up, the layout is the one the window always had:
// controls at their design places, the boxes and the search bar following
// the window's edges. Below it the window reflows instead of cutting off
// its right side: the options move in with the right edge, the tree and
// the boxes share what width there is in their design proportion, the
// search box gives up width first and, when that is not enough, the search
// options go to a second row of the search bar.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>

#include "viewer/controls.h"
#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer/text_box.h"

namespace keelnode {
namespace {

// Design places of what moves when the window is narrower than its design.
constexpr int kOptionsLeft[] = {776, 912};  // the two columns of the options
constexpr int kTabsWidth = 536;             // the tree column (and the paste button)
constexpr int kColumnGap = 6;               // between the tree column and the boxes
constexpr int kOuterMargins = 8 + kColumnGap + 10;
constexpr int kSearchBoxWidth = 368;
constexpr int kNarrowestSearchBox = 120;
constexpr int kSearchRow = 32;  // the search bar's height per row, less its margin
constexpr int kBarHeight = 40;

struct SearchPlaces {
  int boxWidth;
  int nextLeft;     // and 上一个 83 to its right
  int optionsLeft;  // 查找选项：, then the modes and 忽略大小写 at their design steps
  int optionsTop;
  int height;
};

SearchPlaces PlaceSearchBar(int narrowBy, int cw) {
  constexpr int kDesignNext = 381;
  constexpr int kDesignOptions = 552;
  if (narrowBy <= kSearchBoxWidth - kNarrowestSearchBox) {
    // One row, as designed, with the search box shortened.
    return {kSearchBoxWidth - narrowBy, kDesignNext - narrowBy, kDesignOptions - narrowBy, 8,
            kBarHeight};
  }
  // Two rows: the box and its buttons across the top, the options below.
  const int buttons = (kDesignNext - 8 - kSearchBoxWidth) + 83 + 80;
  const int boxWidth = cw - 8 - buttons - 9;
  return {boxWidth, 8 + boxWidth + kDesignNext - 8 - kSearchBoxWidth, 8, 8 + kSearchRow,
          kBarHeight + kSearchRow};
}

}  // namespace

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
}

void MainWindow::layOut() {
  const int cw = width();
  const int ch = height();
  const int narrowBy = std::max(0, kDesignWidth - cw);

  const int columns[] = {kOptionsLeft[0] - narrowBy, kOptionsLeft[1] - narrowBy};
  for (QCheckBox* option : {zeroBased_, arrayNodes_, singleQuotes_})
    option->move(columns[0], option->y());
  for (QCheckBox* option : {textIcons_, decodeFirst_, topmost_})
    option->move(columns[1], option->y());
  // The brand walks between the links and the options; without room for
  // it there, it is not shown rather than shown over them.
  constexpr int kBrandGap = 20;
  const int walkLeft = homepageImage_->x() + homepageImage_->width() + kBrandGap;
  const int walkRight = columns[0] - kBrandGap;
  brandImage_->setVisible(walkRight - walkLeft >= brandImage_->width());
  if (brandImage_->x() + brandImage_->width() > walkRight + 1)
    brandImage_->move(std::max(walkLeft, walkRight + 1 - brandImage_->width()), brandImage_->y());

  const SearchPlaces bar = PlaceSearchBar(narrowBy, cw);
  searchBar_->setGeometry(0, ch - bar.height, cw, bar.height);
  searchText_->resize(bar.boxWidth, searchText_->height());
  pasteSearch_->move(8 + bar.boxWidth - 44, pasteSearch_->y());
  next_->move(bar.nextLeft, next_->y());
  previous_->move(bar.nextLeft + 83, previous_->y());
  searchOptionsLabel_->move(bar.optionsLeft, bar.optionsTop);
  plainMode_->move(bar.optionsLeft + 88, bar.optionsTop);
  wildcardMode_->move(bar.optionsLeft + 160, bar.optionsTop);
  patternMode_->move(bar.optionsLeft + 232, bar.optionsTop);
  ignoreCase_->move(bar.optionsLeft + 355, bar.optionsTop);

  const int column = narrowBy == 0
                         ? kTabsWidth
                         : kTabsWidth * (cw - kOuterMargins) / (kDesignWidth - kOuterMargins);
  pasteJson_->resize(column, pasteJson_->height());
  const int h = std::max(0, ch - tabs_->y() - searchBar_->height());
  tabs_->resize(column, h);
  // The tab control's client area is the whole control; the trees start
  // below the tab strip.
  const QRect treeArea(0, 34, tabs_->width(), std::max(0, h - 34));
  for (JsonTreeView* view : trees_)
    view->setGeometry(treeArea);

  const int boxLeft = tabs_->x() + column + kColumnGap;
  const int boxWidth = std::max(0, cw - boxLeft - 10);
  pathBox_->setGeometry(boxLeft, pathBox_->y(), boxWidth, pathBox_->height());
  const double third = h / 3.0;
  valueBox_->setGeometry(boxLeft, valueBox_->y(), boxWidth,
                         std::max(0, static_cast<int>(2 * third - 5)));
  decodedBox_->setGeometry(boxLeft, valueBox_->y() + valueBox_->height() + 5, boxWidth,
                           static_cast<int>(third));

  banner_->resize(frameGeometry().width(), banner_->height());
}

void MainWindow::applyIconSet() {
  const IconSet& icons = textIcons_->isChecked() ? textIconSet_ : pictureIcons_;
  trees_[0]->items().setIcons(icons);
  for (int k = 1; k < kTabCount; ++k)
    trees_[k]->items().setIcons(trees_[0]->items().icons());
}

void MainWindow::applyTopmost() {
  const bool on = topmost_->isChecked();
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  // Changing a window flag hides the window; show it again where it was.
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (shown) show();
}

void MainWindow::stepBrandImage() {
  constexpr int kGap = 20;
  if (brandMovingRight_) {
    brandImage_->move(brandImage_->x() + 1, brandImage_->y());
    if (brandImage_->x() + brandImage_->width() > arrayNodes_->x() - kGap) {
      brandMovingRight_ = false;
    }
  } else {
    brandImage_->move(brandImage_->x() - 1, brandImage_->y());
    if (brandImage_->x() < homepageImage_->x() + homepageImage_->width() + kGap) {
      brandMovingRight_ = true;
    }
  }
}

}  // namespace keelnode
