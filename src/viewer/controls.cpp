#include "viewer/controls.h"

#include <QDesktopServices>
#include <QMouseEvent>

#include "viewer/fonts.h"

namespace keelnode {

int ModifierBits(Qt::KeyboardModifiers modifiers) {
  int bits = 0;
  if (modifiers & Qt::ControlModifier) bits |= 1;
  if (modifiers & Qt::ShiftModifier) bits |= 2;
  if (modifiers & Qt::AltModifier) bits |= 4;
  return bits;
}

ImageLabel::ImageLabel(QWidget* parent) : QLabel(parent) {
  setCursor(Qt::PointingHandCursor);
}

void ImageLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void ImageLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) emit clicked();
}

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  setCursor(Qt::PointingHandCursor);
  setAlignment(Qt::AlignCenter);
  setFont(DesignFont(12));
  // A style sheet keeps the look whatever font the window sets later.
  setStyleSheet(QStringLiteral("color: #0000ff; text-decoration: underline;"));
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  emit leftPressed();
  if (address_.isValid()) OpenAddress(address_);
}

void MouseButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    event->accept();
    emit rightPressed(ModifierBits(event->modifiers()));
    return;
  }
  QPushButton::mousePressEvent(event);
}

void OpenAddress(const QUrl& address) {
  QDesktopServices::openUrl(address);
}

}  // namespace keelnode
