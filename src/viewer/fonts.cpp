#include "viewer/fonts.h"

#include <QStringList>

namespace keelnode {

void InstallFontSubstitutes() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QFont::insertSubstitutions(
      QStringLiteral("宋体"),
      {QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("Noto Serif CJK SC"),
       QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
       QStringLiteral("WenQuanYi Zen Hei")});
}

QFont DesignFont(int pixelSize) {
  InstallFontSubstitutes();
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace keelnode
