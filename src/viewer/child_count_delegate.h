// Paints a container's number of children after its label, in grey:
// `[1 000]` for an array, `{12}` for an object. Only the view shows it; the
// label and the model's text stay as they are, and copies and searches
// never see it.
#pragma once

#include <QStyledItemDelegate>

#include "viewer/tree_item_model.h"

namespace keelnode {

class ChildCountDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  // `model` must outlive the delegate.
  ChildCountDelegate(const TreeItemModel& model, QObject* parent);

  // What follows the label of an item with `image` and `children`; empty
  // for a scalar.
  static QString CountText(int image, int children);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  QString countOf(const QModelIndex& index) const;

  const TreeItemModel& model_;
};

}  // namespace keelnode
