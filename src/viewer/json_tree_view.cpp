#include "viewer/json_tree_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include "json/tree_item_list.h"
#include "viewer/child_count_delegate.h"

namespace keelnode {

JsonTreeView::JsonTreeView(QWidget* parent) : QTreeView(parent), model_(this) {
  setModel(&model_);
  setHeaderHidden(true);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setIconSize(QSize(20, 20));
  setAnimated(false);
  setItemDelegate(new ChildCountDelegate(model_, this));
  // One column as wide as the rows it shows, scrolled by the pixel, so that
  // a deep or long label can be read to its end.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void JsonTreeView::showSingleItem(std::string_view label) {
  TreeItemList list;
  list.AddItem(label, 0, 0, 0, 0, 0, 1);
  model_.setBlock(list.TakeBytes());
}

void JsonTreeView::expandItem(int item) {
  const QModelIndex index = model_.indexOfItem(item);
  if (index.isValid()) expand(index);
}

void JsonTreeView::expandItems(const std::vector<int>& items, bool collapseOthers) {
  if (collapseOthers) collapseAll();
  // With a layout pending, expand() only records the item; the one layout
  // that follows opens them all, instead of one layout per item.
  scheduleDelayedItemsLayout();
  for (int item : items)
    expand(model_.indexOfItem(item));
  keepCurrentShown();
}

void JsonTreeView::keepCurrentShown() {
  const int current = currentItem();
  if (current < 0) return;
  std::vector<int> chain;  // current, then its ancestors up to the top
  for (int item = current; item >= 0; item = model_.parentItem(item))
    chain.push_back(item);
  // The first closed item from the top down is the lowest one still shown.
  int shown = current;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!isExpanded(model_.indexOfItem(*it))) {
      shown = *it;
      break;
    }
  }
  setCurrentItem(shown);
}

int JsonTreeView::currentItem() const {
  return TreeItemModel::itemOf(currentIndex());
}

void JsonTreeView::setCurrentItem(int item) {
  const QModelIndex index = model_.indexOfItem(item);
  if (!index.isValid()) return;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  scrollTo(index);
}

void JsonTreeView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  QTreeView::scrollTo(index, hint);
  if (!index.isValid()) return;
  // The base brings the column into view, which is all of every row here:
  // bring the item's own arrow, icon and label into view instead, its start
  // first where it is wider than the view.
  executeDelayedItemsLayout();
  const QRect row = visualRect(index);
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const int width = itemDelegateForIndex(index)->sizeHint(option, index).width();
  const int left = row.left() - indentation();
  const int right = std::min(row.left() + width, left + viewport()->width());
  QScrollBar* bar = horizontalScrollBar();
  if (left < 0)
    bar->setValue(bar->value() + left);
  else if (right > viewport()->width())
    bar->setValue(bar->value() + right - viewport()->width());
}

void JsonTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  emit currentItemChanged(TreeItemModel::itemOf(current));
}

void JsonTreeView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) return;
    setCurrentItem(TreeItemModel::itemOf(index));
    emit itemMenuRequested(event->globalPosition().toPoint());
    return;
  }
  QTreeView::mousePressEvent(event);
}

void JsonTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit doubleClickedTree();
}

void JsonTreeView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() != QContextMenuEvent::Keyboard || !currentIndex().isValid()) return;
  const QRect item = visualRect(currentIndex());
  emit itemMenuRequested(viewport()->mapToGlobal(item.center()));
}

}  // namespace keelnode
