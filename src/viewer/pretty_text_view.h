// A read-only view of a pretty-printed value that lays out only the lines it
// shows, so a text of hundreds of megabytes opens and scrolls at once: the
// vertical scroll bar counts lines, each painted line is converted and
// coloured when it is painted. Line numbers stand in a margin on the left.
//
// With word wrap on, a line longer than the width takes several rows; the
// scroll bar still counts lines. A line longer than kLineDisplayLimit bytes
// shows only its beginning (the copies still give all of it).
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <memory>
#include <string_view>

#include "json/pretty_printer.h"

namespace keelnode {

class PrettyTextView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  static constexpr size_t kLineDisplayLimit = 16 << 10;

  explicit PrettyTextView(QWidget* parent = nullptr);

  // The text is shared, never copied; it must not change while shown.
  void setText(std::shared_ptr<const PrettyText> text);
  int lineCount() const;
  // Line `line` without its line break, in program text.
  std::string_view line(int line) const;
  // The line shown first and the line marked by the last find (-1: none).
  int firstLine() const;
  int markedLine() const { return marked_; }
  // Marks the line and scrolls it into view.
  void markLine(int line);
  void setWordWrap(bool on);
  bool wordWrap() const { return wrap_; }
  // Colour of each kind of piece; Plain is the text colour.
  static QColor colourOf(TokenKind kind);

 signals:
  void menuRequested(const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void updateScrollBars();
  int marginWidth() const;
  int visibleLines() const;

  std::shared_ptr<const PrettyText> text_ = std::make_shared<const PrettyText>(PrettyText{{}, {0}});
  size_t longestLine_ = 0;  // in bytes, for the horizontal scroll range
  int marked_ = -1;
  bool wrap_ = false;
};

}  // namespace keelnode
