// Small controls the windows are built from: images and links that answer
// the mouse, and a button that also reports its right button.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace keelnode {

// Modifier keys as the handlers receive them: Ctrl 1, Shift 2, Alt 4.
int ModifierBits(Qt::KeyboardModifiers modifiers);

// A picture that reports a left click.
class ImageLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ImageLabel(QWidget* parent = nullptr);
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

// Underlined blue text at the links' 12-pixel size; reports the left
// button going down. A link that holds an address opens it in the default
// browser.
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  LinkLabel(const QString& caption, QWidget* parent);
  void setAddress(const QUrl& address) { address_ = address; }
  const QUrl& address() const { return address_; }
 signals:
  void leftPressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QUrl address_;
};

// A push button that also reports the right button going down, with the
// modifier keys held.
class MouseButton : public QPushButton {
  Q_OBJECT
 public:
  using QPushButton::QPushButton;
 signals:
  void rightPressed(int modifierBits);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// Opens an address with the desktop's default handler; the result is not
// checked.
void OpenAddress(const QUrl& address);

}  // namespace keelnode
