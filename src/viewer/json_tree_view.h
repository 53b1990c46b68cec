// A tab's tree control: a view over its own TreeItemModel, plus the tab's
// raw text (the text of the last load, before any pre-decoding), which the
// save of the tab's data file reads back from here.
//
// Items are addressed by item number (the record's position in the block);
// the current item is -1 while none is current.
#pragma once

#include <QTreeView>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/tree_item_model.h"

namespace keelnode {

class JsonTreeView : public QTreeView {
  Q_OBJECT
 public:
  explicit JsonTreeView(QWidget* parent = nullptr);

  TreeItemModel& items() { return model_; }
  const TreeItemModel& items() const { return model_; }
  int itemCount() const { return model_.itemCount(); }

  // The whole content, as one tree item block.
  void setContent(std::string block) { model_.setBlock(std::move(block)); }
  const std::string& content() const { return model_.block(); }
  // Deletes all items and adds one top-level item with `label`.
  void showSingleItem(std::string_view label);

  std::string itemText(int item) const { return std::string(model_.label(item)); }
  void setItemText(int item, std::string_view label) { model_.setLabel(item, label); }
  void expandItem(int item);
  // Opens the items (each with children) in one layout, and closes every
  // item when asked to. The current item stays current and visible: where
  // it ends up hidden, its nearest shown ancestor becomes current instead.
  void expandItems(const std::vector<int>& items, bool collapseOthers);

  int currentItem() const;
  // Makes the item current and visible (its ancestors open); an invalid
  // number changes nothing.
  void setCurrentItem(int item);
  // Also scrolls sideways, so that the item's own label shows.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

  const std::string& rawText() const { return *rawText_; }
  // The same text, for keeping beyond this view without a copy: it never
  // changes (a new text replaces it), so another thread may read it.
  std::shared_ptr<const std::string> sharedRawText() const { return rawText_; }
  void setRawText(std::string text) {
    rawText_ = std::make_shared<const std::string>(std::move(text));
  }

 signals:
  void currentItemChanged(int item);
  // Right button on an item (already made current), or the menu key.
  void itemMenuRequested(const QPoint& globalPos);
  void doubleClickedTree();

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void keepCurrentShown();

  TreeItemModel model_;
  std::shared_ptr<const std::string> rawText_ = std::make_shared<const std::string>();
};

}  // namespace keelnode
