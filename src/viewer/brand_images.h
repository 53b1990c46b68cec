// The banner's pictures, drawn by the program: the brand logo (195 x 64)
// and the two 64 x 64 link images (notes, product page).
#pragma once

#include <QPixmap>

class QPainter;

namespace keelnode {

// The brand's mark (two hills over a stream), drawn in the logo's 64 x 64
// corner: x 4..60, y 16..62.
void PaintBrandMark(QPainter& painter);

QPixmap BrandLogo();
QPixmap NotesImage();
QPixmap HomepageImage();

}  // namespace keelnode
