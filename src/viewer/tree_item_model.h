// The item model behind every tab's tree: a tree item block (see
// json/tree_item_list.h) shown as a hierarchy.
//
// The block is the model's whole content and is handed back byte for byte.
// Setting it walks the records once and builds flat arrays (record start,
// parent, row, children grouped per parent), so parent, row and child
// lookups are O(1) and a million items are set in one step. Labels become
// QStrings only when the view asks for them.
//
// Item numbers are the records' positions in the block (0 = first record);
// a QModelIndex carries its item number as internal id.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace keelnode {

using IconSet = std::array<QIcon, 3>;  // by image number: scalar, object, array

class TreeItemModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit TreeItemModel(QObject* parent = nullptr);

  // Replaces all items. Depths shape the hierarchy: an item's parent is the
  // nearest earlier item of smaller depth; depths below 1 count as 1.
  void setBlock(std::string block);
  const std::string& block() const { return block_; }
  int itemCount() const { return static_cast<int>(parent_.size()); }

  // Label bytes of an item; empty for an invalid number.
  std::string_view label(int item) const;
  // Rewrites the label inside the block (a zero byte ends the new label).
  bool setLabel(int item, std::string_view label);
  int image(int item) const;
  int depth(int item) const;
  // Shape of the hierarchy; -1 / 0 for an invalid number.
  int parentItem(int item) const;  // -1 for a top-level item
  int childCount(int item) const;
  // The item after the last one below `item`: its descendants are the items
  // between the two, the block being in pre-order.
  int subtreeEnd(int item) const;

  QModelIndex indexOfItem(int item) const;
  // -1 for an invalid index.
  static int itemOf(const QModelIndex& index);

  // Icons copied in; the view repaints with them.
  void setIcons(const IconSet& icons);
  const IconSet& icons() const { return icons_; }

  // Longest label shown in a row, in bytes; longer ones are cut with an
  // ellipsis (the block keeps them whole).
  static constexpr size_t kShownLabelBytes = 2000;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  // Field bytes follow the label's zero byte.
  const char* fields(int item) const;
  // The item whose children `parent` lists; itemCount() for the invisible root.
  int holder(const QModelIndex& parent) const;

  std::string block_;
  std::vector<size_t> start_;        // record starts, plus the end of the last record
  std::vector<int32_t> parent_;      // itemCount() for top-level items
  std::vector<int32_t> row_;         // row under the parent
  std::vector<int32_t> childBegin_;  // per holder (items, then the root): range in children_
  std::vector<int32_t> children_;    // items grouped by holder, in block order
  IconSet icons_;
};

}  // namespace keelnode
