// The program's icon: the brand's mark on a rounded tile, drawn by the
// program at any size. The window shows it, and the build renders it into
// the icon files the desktop shows for the installed program.
#pragma once

#include <QIcon>
#include <QImage>

namespace keelnode {

// The icon at `size` x `size` pixels.
QImage ApplicationIconImage(int size);

// The icon at the sizes desktops ask for.
QIcon ApplicationIcon();

}  // namespace keelnode
