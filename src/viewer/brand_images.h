// The banner's pictures, drawn by the program: the brand logo (195 x 64)
// and the two 64 x 64 link images (notes, product page).
#pragma once

#include <QPixmap>

namespace keelnode {

QPixmap BrandLogo();
QPixmap NotesImage();
QPixmap HomepageImage();

}  // namespace keelnode
