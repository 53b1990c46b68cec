#include "viewer/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

#include "viewer/brand_images.h"

namespace keelnode {

QImage ApplicationIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  // A light tile, so that the mark reads on dark and light panels alike.
  QLinearGradient sky(0, 2, 0, 62);
  sky.setColorAt(0, QColor(252, 253, 255));
  sky.setColorAt(1, QColor(208, 228, 247));
  p.setPen(QPen(QColor(50, 110, 180), 2));
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(3, 3, 58, 58), 12, 12);
  // The mark's box (4..60 x 16..62) centred on the tile.
  p.translate(32, 33);
  p.scale(0.82, 0.82);
  p.translate(-32, -39);
  PaintBrandMark(p);
  return image;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addPixmap(QPixmap::fromImage(ApplicationIconImage(size)));
  return icon;
}

}  // namespace keelnode
