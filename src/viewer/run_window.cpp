#include "viewer/run_window.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "viewer/fonts.h"
#include "viewer/main_window.h"

namespace keelnode {
namespace {

bool DisplayAvailable() {
  return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
         qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

void ScheduleScreenshot(MainWindow& window) {
  const QString path = qEnvironmentVariable("KEELNODE_SCREENSHOT");
  if (path.isEmpty()) return;
  const QStringList size = qEnvironmentVariable("KEELNODE_SCREENSHOT_SIZE").split(QLatin1Char('x'));
  if (size.size() == 2) window.resize(size[0].toInt(), size[1].toInt());
  QTimer::singleShot(1000, &window, [&window, path] {
    window.grab().save(path);
    QCoreApplication::quit();
  });
}

}  // namespace

int RunMainWindow(int& argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fputs("keelnode: no display available for the window\n", stderr);
    return kNoDisplayStatus;
  }
  QApplication app(argc, argv);
  InstallFontSubstitutes();
  QApplication::setFont(DesignFont(15));
  MainWindow window;
  window.show();
  ScheduleScreenshot(window);
  return QApplication::exec();
}

}  // namespace keelnode
