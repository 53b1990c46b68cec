// The design font "宋体" mapped to the CJK fonts found on the system.
#pragma once

#include <QFont>

namespace keelnode {

// Registers the substitutes for "宋体" once; harmless to call again.
void InstallFontSubstitutes();
// "宋体" at the given pixel height.
QFont DesignFont(int pixelSize);

}  // namespace keelnode
