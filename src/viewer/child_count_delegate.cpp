#include "viewer/child_count_delegate.h"

#include <QApplication>
#include <QPainter>

namespace keelnode {
namespace {

constexpr int kGap = 6;  // pixels between the label and its count

// Digits in groups of three, for reading large counts at a glance.
QString Grouped(int number) {
  QString digits = QString::number(number);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
    digits.insert(at, QLatin1Char(' '));
  return digits;
}

}  // namespace

ChildCountDelegate::ChildCountDelegate(const TreeItemModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

QString ChildCountDelegate::CountText(int image, int children) {
  if (image == 1) return QLatin1Char('{') + Grouped(children) + QLatin1Char('}');
  if (image == 2) return QLatin1Char('[') + Grouped(children) + QLatin1Char(']');
  return {};
}

QString ChildCountDelegate::countOf(const QModelIndex& index) const {
  const int item = TreeItemModel::itemOf(index);
  return CountText(model_.image(item), model_.childCount(item));
}

void ChildCountDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  const QString count = countOf(index);
  if (count.isEmpty()) return;
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QWidget* widget = opt.widget;
  const QStyle* style = widget ? widget->style() : QApplication::style();
  const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const int left = textRect.left() + margin + opt.fontMetrics.horizontalAdvance(opt.text) + kGap;
  const int width = opt.fontMetrics.horizontalAdvance(count);
  // Where the label was cut to fit, a count would cover its end.
  if (left + width > option.rect.right()) return;
  painter->save();
  const bool selected = opt.state.testFlag(QStyle::State_Selected);
  painter->setPen(selected ? opt.palette.color(QPalette::HighlightedText) : QColor(128, 128, 128));
  painter->setFont(opt.font);
  painter->drawText(QRect(left, textRect.top(), width, textRect.height()),
                    Qt::AlignLeft | Qt::AlignVCenter, count);
  painter->restore();
}

QSize ChildCountDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  const QString count = countOf(index);
  if (!count.isEmpty()) size.rwidth() += kGap + option.fontMetrics.horizontalAdvance(count);
  return size;
}

}  // namespace keelnode
