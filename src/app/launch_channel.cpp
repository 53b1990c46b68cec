#include "app/launch_channel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <filesystem>
#include <system_error>

#include "app/input_text.h"
#include "app/window_arguments.h"

namespace keelnode {
namespace {

const QByteArray kGreeting = QByteArrayLiteral("keelnode-launch/1");
constexpr int kConnectMs = 2000;
// Loading a large file takes the window a while; it answers once loaded.
constexpr int kAnswerMs = 120000;
constexpr quint8 kNamedFile = 0;
constexpr quint8 kContent = 1;

QByteArray Bytes(const std::string& text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Text(const QByteArray& bytes) {
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::string AbsoluteName(const std::string& name) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(name, error);
  return error ? name : absolute.lexically_normal().string();
}

}  // namespace

QString LaunchSocketPath(const std::string& dataDir) {
  // One folder, one name, however it is written.
  std::error_code error;
  std::filesystem::path folder = std::filesystem::weakly_canonical(dataDir, error);
  if (error) folder = dataDir;
  std::string name = folder.lexically_normal().string();
  while (name.size() > 1 && name.back() == '/')
    name.pop_back();
  const QByteArray key =
      QCryptographicHash::hash(Bytes(name), QCryptographicHash::Sha256).toHex().left(20);
  QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!base.startsWith(QLatin1Char('/')) || !QFileInfo(base).isDir()) base = QDir::tempPath();
  return base + QStringLiteral("/keelnode-%1-%2").arg(getuid()).arg(QString::fromLatin1(key));
}

HandOff HandToRunningWindow(const QString& socketPath, const std::vector<std::string>& files,
                            std::vector<std::string>* failures) {
  // Only a socket of this user's: in a shared temporary folder another user
  // could have put one there to read the files.
  struct stat info;
  if (lstat(QFile::encodeName(socketPath).constData(), &info) != 0 || !S_ISSOCK(info.st_mode) ||
      info.st_uid != getuid()) {
    return HandOff::kNoWindow;
  }
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(kConnectMs)) return HandOff::kNoWindow;

  QByteArray request;
  {
    QDataStream out(&request, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kGreeting << static_cast<qint32>(files.size());
    for (const std::string& file : files) {
      if (file == "-") {
        std::string bytes;
        std::string error;
        if (!ReadWholeDescriptor(STDIN_FILENO, bytes, &error)) {
          failures->push_back("cannot read standard input: " + error);
          continue;
        }
        out << kContent << Bytes(file) << Bytes(bytes);
      } else {
        out << kNamedFile << Bytes(AbsoluteName(file)) << QByteArray();
      }
    }
  }
  socket.write(request);
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(kAnswerMs)) return HandOff::kNoAnswer;
  }
  QDataStream in(&socket);
  in.setVersion(QDataStream::Qt_6_0);
  while (true) {
    in.startTransaction();
    qint32 count = 0;
    in >> count;
    std::vector<std::string> lines;
    for (qint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
      QByteArray line;
      in >> line;
      lines.push_back(Text(line));
    }
    if (in.commitTransaction()) {
      failures->insert(failures->end(), lines.begin(), lines.end());
      return HandOff::kDelivered;
    }
    if (!socket.waitForReadyRead(kAnswerMs)) return HandOff::kNoAnswer;
  }
}

LaunchListener::LaunchListener(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &LaunchListener::accept);
}

LaunchListener::~LaunchListener() = default;

bool LaunchListener::listen(const QString& socketPath) {
  if (server_->listen(socketPath)) return true;
  if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
  QLocalServer::removeServer(socketPath);
  return server_->listen(socketPath);
}

void LaunchListener::accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
    if (socket->bytesAvailable() > 0) read(socket);
  }
}

void LaunchListener::read(QLocalSocket* socket) {
  QDataStream in(socket);
  in.setVersion(QDataStream::Qt_6_0);
  in.startTransaction();
  QByteArray greeting;
  qint32 count = 0;
  in >> greeting >> count;
  // Whatever does not speak the protocol is sent away as soon as that shows.
  if (in.status() == QDataStream::Ok &&
      (greeting != kGreeting || count < 0 || static_cast<size_t>(count) > kMostStartFiles)) {
    in.abortTransaction();
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->disconnectFromServer();
    return;
  }
  std::vector<StartFile> files;
  for (qint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
    quint8 kind = kNamedFile;
    QByteArray name;
    QByteArray content;
    in >> kind >> name >> content;
    StartFile file{Text(name), std::nullopt};
    if (kind == kContent) file.content = Text(content);
    files.push_back(std::move(file));
  }
  if (!in.commitTransaction()) return;  // more to come
  disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
  pending_.push_back({socket, std::move(files)});
  serve();
}

void LaunchListener::release() {
  held_ = false;
  serve();
}

void LaunchListener::serve() {
  // Loads hand the window turns, in which another start may arrive: it
  // waits in the queue.
  if (serving_ || held_) return;
  serving_ = true;
  while (!pending_.empty()) {
    Request request = std::move(pending_.front());
    pending_.pop_front();
    const std::vector<std::string> failures = handler_(request.files);
    if (!request.socket) continue;
    QByteArray answer;
    QDataStream out(&answer, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << static_cast<qint32>(failures.size());
    for (const std::string& line : failures)
      out << Bytes(line);
    request.socket->write(answer);
    request.socket->flush();
    request.socket->disconnectFromServer();
  }
  serving_ = false;
}

}  // namespace keelnode
