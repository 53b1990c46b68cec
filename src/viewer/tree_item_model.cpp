#include "viewer/tree_item_model.h"

#include <utility>

#include "json/tree_item_list.h"
#include "services/code_page.h"
#include "services/yield_to_ui.h"
#include "viewer/program_text.h"

namespace keelnode {

TreeItemModel::TreeItemModel(QObject* parent)
    : QAbstractItemModel(parent), start_{0}, childBegin_{0, 0} {}

void TreeItemModel::setBlock(std::string block) {
  // Built aside first: the walk lets the window handle events, and the view
  // must not see a half-built model meanwhile.
  std::vector<size_t> start;
  std::vector<int32_t> parent;
  std::vector<std::pair<int32_t, int32_t>> open;  // (item, depth) of the current ancestors
  size_t end = 0;
  const int count = ForEachTreeItem(block, [&](int item, const TreeItemRecord& record) {
    const size_t offset = static_cast<size_t>(record.label.data() - block.data());
    start.push_back(offset);
    end = offset + record.label.size() + TreeItemList::kFixedBytes;
    const int32_t depth = record.depth < 1 ? 1 : record.depth;
    while (!open.empty() && open.back().second >= depth)
      open.pop_back();
    parent.push_back(open.empty() ? -1 : open.back().first);
    open.emplace_back(item, depth);
    yieldToUi();
    return true;
  });
  start.push_back(end);

  // Children grouped per holder (every item, then the invisible root at
  // index `count`), in block order, by counting first.
  std::vector<int32_t> childBegin(static_cast<size_t>(count) + 2, 0);
  for (int32_t& p : parent) {
    if (p < 0) p = count;
    ++childBegin[static_cast<size_t>(p) + 1];
  }
  for (size_t h = 1; h < childBegin.size(); ++h)
    childBegin[h] += childBegin[h - 1];
  std::vector<int32_t> cursor(childBegin.begin(), childBegin.end() - 1);
  std::vector<int32_t> children(static_cast<size_t>(count));
  std::vector<int32_t> row(static_cast<size_t>(count));
  for (int32_t item = 0; item < count; ++item) {
    const int32_t p = parent[item];
    row[item] = cursor[p] - childBegin[p];
    children[cursor[p]++] = item;
  }

  beginResetModel();
  block_ = std::move(block);
  start_ = std::move(start);
  parent_ = std::move(parent);
  row_ = std::move(row);
  childBegin_ = std::move(childBegin);
  children_ = std::move(children);
  endResetModel();
}

std::string_view TreeItemModel::label(int item) const {
  if (item < 0 || item >= itemCount()) return {};
  const size_t length = start_[item + 1] - start_[item] - TreeItemList::kFixedBytes;
  return std::string_view(block_).substr(start_[item], length);
}

const char* TreeItemModel::fields(int item) const {
  return block_.data() + start_[item] + label(item).size() + 1;
}

int TreeItemModel::image(int item) const {
  return item < 0 || item >= itemCount() ? -1 : ReadInt32LE(fields(item));
}

int TreeItemModel::depth(int item) const {
  return item < 0 || item >= itemCount() ? -1 : ReadInt32LE(fields(item) + 16);
}

int TreeItemModel::parentItem(int item) const {
  if (item < 0 || item >= itemCount()) return -1;
  return parent_[item] == itemCount() ? -1 : parent_[item];
}

int TreeItemModel::childCount(int item) const {
  if (item < 0 || item >= itemCount()) return 0;
  return childBegin_[item + 1] - childBegin_[item];
}

int TreeItemModel::subtreeEnd(int item) const {
  if (item < 0 || item >= itemCount()) return -1;
  // The last child's last child ... is the last descendant.
  int last = item;
  while (childCount(last) > 0)
    last = children_[childBegin_[last + 1] - 1];
  return last + 1;
}

bool TreeItemModel::setLabel(int item, std::string_view text) {
  if (item < 0 || item >= itemCount()) return false;
  text = CutAtZero(text);
  const size_t old_length = label(item).size();
  block_.replace(start_[item], old_length, text);
  const ptrdiff_t delta = static_cast<ptrdiff_t>(text.size()) - static_cast<ptrdiff_t>(old_length);
  for (size_t k = static_cast<size_t>(item) + 1; k < start_.size(); ++k)
    start_[k] += delta;
  const QModelIndex changed = indexOfItem(item);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
  return true;
}

QModelIndex TreeItemModel::indexOfItem(int item) const {
  if (item < 0 || item >= itemCount()) return {};
  return createIndex(row_[item], 0, static_cast<quintptr>(item));
}

int TreeItemModel::itemOf(const QModelIndex& index) {
  return index.isValid() ? static_cast<int>(index.internalId()) : -1;
}

void TreeItemModel::setIcons(const IconSet& icons) {
  icons_ = icons;
  // A range tells the views to repaint everything they show.
  const int top = rowCount();
  if (top > 0) emit dataChanged(index(0, 0), index(top - 1, 0), {Qt::DecorationRole});
}

int TreeItemModel::holder(const QModelIndex& parent) const {
  if (!parent.isValid()) return itemCount();
  const int item = itemOf(parent);
  return item < itemCount() && parent.model() == this ? item : -1;
}

QModelIndex TreeItemModel::index(int row, int column, const QModelIndex& parent) const {
  const int h = holder(parent);
  if (column != 0 || row < 0 || h < 0 || row >= childBegin_[h + 1] - childBegin_[h]) return {};
  return createIndex(row, 0, static_cast<quintptr>(children_[childBegin_[h] + row]));
}

QModelIndex TreeItemModel::parent(const QModelIndex& child) const {
  const int item = itemOf(child);
  if (item < 0 || item >= itemCount()) return {};
  const int p = parent_[item];
  return p == itemCount() ? QModelIndex() : createIndex(row_[p], 0, static_cast<quintptr>(p));
}

int TreeItemModel::rowCount(const QModelIndex& parent) const {
  const int h = holder(parent);
  if (h < 0 || parent.column() > 0) return 0;
  return childBegin_[h + 1] - childBegin_[h];
}

int TreeItemModel::columnCount(const QModelIndex&) const {
  return 1;
}

bool TreeItemModel::hasChildren(const QModelIndex& parent) const {
  return rowCount(parent) > 0;
}

QVariant TreeItemModel::data(const QModelIndex& index, int role) const {
  const int item = itemOf(index);
  if (item < 0 || item >= itemCount()) return {};
  if (role == Qt::DisplayRole) {
    const std::string_view text = label(item);
    const std::string_view head = PrefixWithin(text, kShownLabelBytes);
    QString shown = ToQString(head);
    if (head.size() < text.size()) shown += QStringLiteral("...");
    // A row is one line: line breaks and tabs inside a value show as blanks.
    for (QChar& c : shown) {
      if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
    }
    return shown;
  }
  if (role == Qt::DecorationRole) {
    const int number = image(item);
    if (number >= 0 && number < static_cast<int>(icons_.size())) return icons_[number];
  }
  return {};
}

}  // namespace keelnode
