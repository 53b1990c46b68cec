#include "viewer/icon_sets.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace keelnode {
namespace {

using Draw = std::function<void(QPainter&)>;

// Drawn in a 20 x 20 design space, at 1x and 2x for sharp high-DPI screens.
QIcon Render(const Draw& draw) {
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(kTreeIconSize * scale, kTreeIconSize * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    draw(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

void Gem(QPainter& p) {
  QPainterPath outline;
  outline.moveTo(10, 2);
  outline.lineTo(17, 8);
  outline.lineTo(10, 18);
  outline.lineTo(3, 8);
  outline.closeSubpath();
  QLinearGradient fill(3, 2, 17, 18);
  fill.setColorAt(0, QColor(120, 190, 255));
  fill.setColorAt(1, QColor(20, 70, 200));
  p.setPen(QPen(QColor(15, 50, 150), 1));
  p.setBrush(fill);
  p.drawPath(outline);
  p.setPen(QPen(QColor(230, 245, 255), 1));
  p.drawLine(QPointF(3, 8), QPointF(17, 8));
  p.drawLine(QPointF(7, 8), QPointF(10, 2.5));
  p.drawLine(QPointF(13, 8), QPointF(10, 2.5));
}

void Structure(QPainter& p) {
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.drawLine(QPointF(10, 8), QPointF(10, 11));
  p.drawLine(QPointF(5, 11), QPointF(15, 11));
  p.drawLine(QPointF(5, 11), QPointF(5, 13));
  p.drawLine(QPointF(15, 11), QPointF(15, 13));
  auto box = [&p](QRectF r, QColor c) {
    p.setBrush(c);
    p.drawRect(r);
  };
  box(QRectF(6, 2, 8, 6), QColor(250, 200, 40));
  box(QRectF(1.5, 13, 7, 5.5), QColor(60, 130, 230));
  box(QRectF(11.5, 13, 7, 5.5), QColor(240, 120, 170));
}

void Brackets(QPainter& p) {
  p.setPen(QPen(QColor(210, 30, 30), 2.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({QPointF(8, 3), QPointF(4, 3), QPointF(4, 17), QPointF(8, 17)}));
  p.drawPolyline(QPolygonF({QPointF(12, 3), QPointF(16, 3), QPointF(16, 17), QPointF(12, 17)}));
}

Draw Character(const char* utf8, QColor colour) {
  return [text = QString::fromUtf8(utf8), colour](QPainter& p) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(0, 0, kTreeIconSize, kTreeIconSize), Qt::AlignCenter, text);
  };
}

}  // namespace

IconSet MakeIconSet(bool textIcons) {
  if (textIcons) {
    return {Render(Character("值", QColor(20, 60, 220))),
            Render(Character("象", QColor(0, 140, 40))),
            Render(Character("组", QColor(210, 20, 20)))};
  }
  return {Render(Gem), Render(Structure), Render(Brackets)};
}

}  // namespace keelnode
