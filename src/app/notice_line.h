// A one-line notice laid over the bottom edge of a widget (the tab control),
// for news that must not stop the user: it follows the widget's size and
// goes when clicked.
#pragma once

#include <QLabel>

namespace keelnode {

class NoticeLine : public QLabel {
  Q_OBJECT
 public:
  // Shown at once over `anchor`, a child widget of the notice's parent.
  NoticeLine(const QString& text, QWidget* anchor);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void place();

  QWidget* anchor_;
};

}  // namespace keelnode
