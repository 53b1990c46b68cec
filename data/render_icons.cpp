// Writes the program's icon for an installation: for each SIZE,
// OUT/hicolor/SIZExSIZE/apps/NAME.png.
//
//   keelnode_icons OUT NAME SIZE...
#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "viewer/app_icon.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: keelnode_icons OUT NAME SIZE...\n", stderr);
    return 64;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  for (int k = 3; k < argc; ++k) {
    const int size = std::atoi(argv[k]);
    const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(out).arg(size);
    const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (size <= 0 || !QDir().mkpath(folder) ||
        !keelnode::ApplicationIconImage(size).save(file, "PNG")) {
      std::fprintf(stderr, "keelnode_icons: cannot write %s\n", file.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
