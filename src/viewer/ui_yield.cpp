#include "viewer/ui_yield.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "services/yield_to_ui.h"

namespace keelnode {

void InstallUiYieldHook() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  SetYieldToUiHook([] {
    static QElapsedTimer since_last;
    if (since_last.isValid() && since_last.elapsed() < 30) return;
    QCoreApplication::processEvents();
    since_last.start();
  });
}

void PauseWithEvents(int milliseconds) {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < milliseconds) {
    QThread::msleep(10);
    QCoreApplication::processEvents();
  }
}

}  // namespace keelnode
