#include "app/notice_line.h"

#include <QEvent>
#include <QMouseEvent>

namespace keelnode {
namespace {

constexpr int kHeight = 26;
constexpr int kMargin = 4;

}  // namespace

NoticeLine::NoticeLine(const QString& text, QWidget* anchor)
    : QLabel(text, anchor->parentWidget()), anchor_(anchor) {
  setObjectName(QStringLiteral("恢复提示"));
  setToolTip(QStringLiteral("单击关闭此提示"));
  setStyleSheet(QStringLiteral(
      "background:#fff4c2; color:#5a4400; border:1px solid #e0c860; padding:0 6px;"));
  setCursor(Qt::PointingHandCursor);
  anchor_->installEventFilter(this);
  place();
  show();
  raise();
}

void NoticeLine::place() {
  const QRect area = anchor_->geometry();
  setGeometry(area.left() + kMargin, area.bottom() - kHeight - kMargin, area.width() - 2 * kMargin,
              kHeight);
}

bool NoticeLine::eventFilter(QObject* watched, QEvent* event) {
  if (watched == anchor_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
    place();
  }
  return QLabel::eventFilter(watched, event);
}

void NoticeLine::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) hide();
  QLabel::mousePressEvent(event);
}

}  // namespace keelnode
