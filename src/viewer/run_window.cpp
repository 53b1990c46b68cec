#include "viewer/run_window.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <string>

#include "viewer/fonts.h"

namespace keelnode {
namespace {

bool ConnectsTo(const std::string& socketPath, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;  // abstract names start with a zero byte
  if (socketPath.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, socketPath.data(), socketPath.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                             socketPath.size() + (abstract ? 0 : 1));
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
  ::close(fd);
  return connected;
}

// "[host]:N[.S]": a local display (no host, or "unix") is probed on its
// socket; one on another host is taken as it is.
bool XDisplayReachable(const std::string& display) {
  const size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = display.substr(0, colon);
  if (!host.empty() && host != "unix") return true;
  std::string number = display.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
  const std::string socketPath = "/tmp/.X11-unix/X" + number;
  return ConnectsTo(socketPath, true) || ConnectsTo(socketPath, false);
}

}  // namespace

bool DisplayAvailable() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
    return true;
  const QByteArray display = qgetenv("DISPLAY");
  return !display.isEmpty() && XDisplayReachable(display.toStdString());
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
