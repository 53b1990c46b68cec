#include "viewer/run_window.h"

#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "viewer/fonts.h"

namespace keelnode {
namespace {

// Qt aborts the process when the X server refuses it (no authorisation,
// too many clients), so the check is the same handshake Qt makes.
bool XDisplayAccepts(const char* display) {
  // libxcb writes the server's refusal to stderr; the caller says it in one
  // line of its own. Nothing else runs yet that could write meanwhile.
  const int savedStderr = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (savedStderr >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
  xcb_connection_t* connection = xcb_connect(display, nullptr);
  if (savedStderr >= 0 && null >= 0) ::dup2(savedStderr, STDERR_FILENO);
  if (null >= 0) ::close(null);
  if (savedStderr >= 0) ::close(savedStderr);
  const bool accepted = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);  // also frees a connection in error
  return accepted;
}

}  // namespace

bool DisplayAvailable() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
    return true;
  const QByteArray display = qgetenv("DISPLAY");
  return !display.isEmpty() && XDisplayAccepts(display.constData());
}

void SetUpApplication() {
  InstallFontSubstitutes();
  QApplication::setFont(DesignFont(15));
}

void ScheduleScreenshot(QWidget& window) {
  const QString path = qEnvironmentVariable("KEELNODE_SCREENSHOT");
  if (path.isEmpty()) return;
  const QStringList size = qEnvironmentVariable("KEELNODE_SCREENSHOT_SIZE").split(QLatin1Char('x'));
  if (size.size() == 2) window.resize(size[0].toInt(), size[1].toInt());
  QTimer::singleShot(1000, &window, [&window, path] {
    window.grab().save(path);
    QCoreApplication::quit();
  });
}

}  // namespace keelnode
