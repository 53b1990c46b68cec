#include "viewer/brand_images.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "viewer/fonts.h"

namespace keelnode {
namespace {

QPixmap Blank(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

void Smooth(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
}

}  // namespace

void PaintBrandMark(QPainter& p) {
  p.save();
  // Two hills over a stream.
  QPainterPath hills;
  hills.moveTo(4, 50);
  hills.lineTo(22, 16);
  hills.lineTo(33, 34);
  hills.lineTo(42, 22);
  hills.lineTo(60, 50);
  hills.closeSubpath();
  QLinearGradient green(0, 16, 0, 50);
  green.setColorAt(0, QColor(90, 180, 110));
  green.setColorAt(1, QColor(30, 110, 60));
  p.setPen(Qt::NoPen);
  p.setBrush(green);
  p.drawPath(hills);
  p.setPen(QPen(QColor(40, 130, 220), 3, Qt::SolidLine, Qt::RoundCap));
  QPainterPath stream;
  stream.moveTo(6, 56);
  stream.cubicTo(20, 50, 40, 62, 58, 54);
  p.setBrush(Qt::NoBrush);
  p.drawPath(stream);
  p.restore();
}

QPixmap BrandLogo() {
  QPixmap pixmap = Blank(195, 64);
  QPainter p(&pixmap);
  Smooth(p);
  PaintBrandMark(p);

  QFont title = DesignFont(26);
  title.setBold(true);
  p.setFont(title);
  QLinearGradient ink(64, 0, 195, 0);
  ink.setColorAt(0, QColor(20, 90, 170));
  ink.setColorAt(1, QColor(30, 150, 110));
  p.setPen(QPen(QBrush(ink), 1));
  p.drawText(QRectF(64, 4, 131, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("岚溪软件"));
  QFont sub = DesignFont(13);
  p.setFont(sub);
  p.setPen(QColor(110, 110, 110));
  p.drawText(QRectF(66, 40, 129, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("JSON 树形解析"));
  return pixmap;
}

QPixmap NotesImage() {
  QPixmap pixmap = Blank(64, 64);
  QPainter p(&pixmap);
  Smooth(p);
  QRadialGradient ball(26, 24, 34);
  ball.setColorAt(0, QColor(255, 214, 110));
  ball.setColorAt(1, QColor(235, 140, 20));
  p.setPen(QPen(QColor(190, 110, 10), 2));
  p.setBrush(ball);
  p.drawEllipse(QRectF(8, 6, 48, 48));
  QFont mark = DesignFont(36);
  mark.setBold(true);
  p.setFont(mark);
  p.setPen(Qt::white);
  p.drawText(QRectF(8, 6, 48, 48), Qt::AlignCenter, QStringLiteral("?"));
  return pixmap;
}

QPixmap HomepageImage() {
  QPixmap pixmap = Blank(64, 64);
  QPainter p(&pixmap);
  Smooth(p);
  // A house: the product's home page.
  QPainterPath roof;
  roof.moveTo(8, 30);
  roof.lineTo(32, 8);
  roof.lineTo(56, 30);
  roof.closeSubpath();
  p.setPen(QPen(QColor(150, 30, 30), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(215, 60, 50));
  p.drawPath(roof);
  p.setPen(QPen(QColor(60, 90, 140), 2));
  p.setBrush(QColor(235, 240, 250));
  p.drawRect(QRectF(15, 30, 34, 24));
  p.setBrush(QColor(70, 130, 210));
  p.drawRect(QRectF(27, 38, 10, 16));
  return pixmap;
}

}  // namespace keelnode
