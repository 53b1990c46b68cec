#include "viewer/pretty_text_view.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>

#include "viewer/program_text.h"

namespace keelnode {
namespace {

constexpr int kTextIndent = 6;  // pixels between the margin and the text

// One line as shown: converted, cut at the display limit, with its colours.
struct ShownLine {
  QString text;
  QList<QTextLayout::FormatRange> colours;
};

ShownLine MakeShownLine(std::string_view bytes) {
  ShownLine shown;
  const bool cut = bytes.size() > PrettyTextView::kLineDisplayLimit;
  if (cut) bytes = PrefixWithin(bytes, PrettyTextView::kLineDisplayLimit);
  size_t at = 0;
  for (const Token& token : classifyLine(bytes)) {
    shown.text += ToQString(bytes.substr(at, token.begin - at));
    const int start = static_cast<int>(shown.text.size());
    shown.text += ToQString(bytes.substr(token.begin, token.length));
    QTextCharFormat format;
    format.setForeground(PrettyTextView::colourOf(token.kind));
    shown.colours.push_back({start, static_cast<int>(shown.text.size()) - start, format});
    at = token.begin + token.length;
  }
  shown.text += ToQString(bytes.substr(at));
  if (cut) shown.text += QStringLiteral(" …");
  return shown;
}

}  // namespace

PrettyTextView::PrettyTextView(QWidget* parent) : QAbstractScrollArea(parent) {
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setPixelSize(14);
  setFont(fixed);
  viewport()->setAutoFillBackground(false);
  viewport()->setCursor(Qt::IBeamCursor);
  setFocusPolicy(Qt::StrongFocus);
  verticalScrollBar()->setSingleStep(1);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
          qOverload<>(&QWidget::update));
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(),
          qOverload<>(&QWidget::update));
}

QColor PrettyTextView::colourOf(TokenKind kind) {
  switch (kind) {
    case TokenKind::Name:
      return QColor(128, 0, 128);
    case TokenKind::String:
      return QColor(0, 128, 0);
    case TokenKind::Number:
      return QColor(0, 0, 255);
    case TokenKind::Literal:
      return QColor(192, 96, 0);
    case TokenKind::Bracket:
      return QColor(128, 128, 128);
    case TokenKind::Plain:
      break;
  }
  return QColor(0, 0, 0);
}

void PrettyTextView::setText(std::shared_ptr<const PrettyText> text) {
  text_ = std::move(text);
  longestLine_ = 0;
  const std::vector<size_t>& starts = text_->lineStarts;
  for (size_t k = 0; k + 1 < starts.size(); ++k)
    longestLine_ = std::max(longestLine_, starts[k + 1] - starts[k]);
  longestLine_ = std::max(longestLine_, text_->text.size() - starts.back());
  longestLine_ = std::min(longestLine_, kLineDisplayLimit);
  marked_ = -1;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  updateScrollBars();
  viewport()->update();
}

int PrettyTextView::lineCount() const {
  return static_cast<int>(text_->lineStarts.size());
}

std::string_view PrettyTextView::line(int line) const {
  if (line < 0 || line >= lineCount()) return {};
  const std::string& text = text_->text;
  const size_t start = text_->lineStarts[line];
  size_t end = line + 1 < lineCount() ? text_->lineStarts[line + 1] - 1 : text.size();
  if (end > start && text[end - 1] == '\r') --end;
  return std::string_view(text).substr(start, end - start);
}

int PrettyTextView::firstLine() const {
  return verticalScrollBar()->value();
}

void PrettyTextView::markLine(int line) {
  if (line < 0 || line >= lineCount()) return;
  marked_ = line;
  const int first = firstLine();
  const int shown = visibleLines();
  // A found line is brought to a third of the height, keeping context above.
  if (line < first || line >= first + shown) verticalScrollBar()->setValue(line - shown / 3);
  viewport()->update();
}

void PrettyTextView::setWordWrap(bool on) {
  wrap_ = on;
  updateScrollBars();
  viewport()->update();
}

int PrettyTextView::marginWidth() const {
  const int digits = static_cast<int>(QString::number(lineCount()).size());
  return fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3) + 12;
}

int PrettyTextView::visibleLines() const {
  return std::max(1, viewport()->height() / std::max(1, fontMetrics().height()));
}

void PrettyTextView::updateScrollBars() {
  const int shown = visibleLines();
  verticalScrollBar()->setPageStep(shown);
  // Wrapped lines take more than a row each, so then every line may come first.
  verticalScrollBar()->setRange(0, std::max(0, lineCount() - (wrap_ ? 1 : shown)));
  const int textWidth = viewport()->width() - marginWidth() - kTextIndent;
  const qint64 wanted =
      static_cast<qint64>(longestLine_) * fontMetrics().horizontalAdvance(QLatin1Char('0'));
  const int range =
      wrap_ ? 0 : static_cast<int>(std::clamp<qint64>(wanted - textWidth, 0, 1 << 30));
  horizontalScrollBar()->setPageStep(std::max(1, textWidth));
  horizontalScrollBar()->setSingleStep(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 4);
  horizontalScrollBar()->setRange(0, range);
}

void PrettyTextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void PrettyTextView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QRect area = viewport()->rect();
  const int margin = marginWidth();
  painter.fillRect(area, palette().base());
  painter.fillRect(QRect(0, 0, margin, area.height()), QColor(242, 242, 242));
  const QFontMetrics metrics = fontMetrics();
  const int textWidth = std::max(1, area.width() - margin - kTextIndent);
  const int shift = wrap_ ? 0 : horizontalScrollBar()->value();
  QTextOption option;
  option.setWrapMode(wrap_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  int y = 0;
  for (int n = firstLine(); n < lineCount() && y < area.height(); ++n) {
    ShownLine shown = MakeShownLine(line(n));
    QTextLayout layout(shown.text, font());
    layout.setTextOption(option);
    layout.setFormats(shown.colours);
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
      row.setLineWidth(textWidth);
      row.setPosition(QPointF(0, height));
      height += row.height();
    }
    layout.endLayout();
    const int rowsHeight = std::max(metrics.height(), static_cast<int>(height + 0.5));
    if (n == marked_)
      painter.fillRect(QRect(margin, y, area.width() - margin, rowsHeight), QColor(255, 240, 160));
    painter.save();
    painter.setClipRect(QRect(margin, y, area.width() - margin, rowsHeight));
    layout.draw(&painter, QPointF(margin + kTextIndent - shift, y));
    painter.restore();
    painter.setPen(QColor(140, 140, 140));
    painter.drawText(QRect(0, y, margin - 6, metrics.height()), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(n + 1));
    y += rowsHeight;
  }
}

void PrettyTextView::contextMenuEvent(QContextMenuEvent* event) {
  emit menuRequested(event->globalPos());
}

void PrettyTextView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Home && event->modifiers() & Qt::ControlModifier) {
    verticalScrollBar()->setValue(0);
  } else if (event->key() == Qt::Key_End && event->modifiers() & Qt::ControlModifier) {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

}  // namespace keelnode
