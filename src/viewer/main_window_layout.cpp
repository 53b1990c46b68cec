// Layout at every resize, and the options that act on the window itself.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>

#include "viewer/controls.h"
#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer/text_box.h"

namespace keelnode {

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
}

void MainWindow::layOut() {
  const int cw = width();
  const int ch = height();
  searchBar_->setGeometry(0, ch - searchBar_->height(), cw, searchBar_->height());

  const int h = std::max(0, ch - tabs_->y() - searchBar_->height());
  tabs_->resize(tabs_->width(), h);
  // The tab control's client area is the whole control; the trees start
  // below the tab strip.
  const QRect treeArea(0, 34, tabs_->width(), std::max(0, h - 34));
  for (JsonTreeView* view : trees_)
    view->setGeometry(treeArea);

  const int boxWidth = std::max(0, cw - pathBox_->x() - 10);
  pathBox_->resize(boxWidth, pathBox_->height());
  const double third = h / 3.0;
  valueBox_->resize(boxWidth, std::max(0, static_cast<int>(2 * third - 5)));
  decodedBox_->setGeometry(decodedBox_->x(), valueBox_->y() + valueBox_->height() + 5, boxWidth,
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
