// How a later start on the same data folder hands its files to the window
// that already runs there, instead of opening a second window that could
// save nothing: a local socket named after the data folder, which the
// window that owns the folder's settings file listens on.
//
// The start sends its files (absolute names; standard input as its bytes)
// and waits until the window has loaded them; the answer lists the files
// that could not be read, one line each.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace keelnode {

// A file for the window: a name, and for standard input ("-") the bytes
// already read from it.
struct StartFile {
  std::string name;
  std::optional<std::string> content;
};

// The socket of the window on `dataDir`: in $XDG_RUNTIME_DIR (else the
// temporary folder), named after the user and the folder.
QString LaunchSocketPath(const std::string& dataDir);

enum class HandOff {
  kNoWindow,   // nothing listens: this start opens the window
  kDelivered,  // the window took the files; `failures` lists those it could not read
  kNoAnswer,   // something listens but did not answer in time
};

// Sends `files` (relative names made absolute, "-" read from standard
// input once a window is found) to the window listening on `socketPath`.
HandOff HandToRunningWindow(const QString& socketPath, const std::vector<std::string>& files,
                            std::vector<std::string>* failures);

// The window's side: takes each start's files, one start at a time, and
// answers with what `handler` reports.
class LaunchListener : public QObject {
  Q_OBJECT
 public:
  // Returns one line per file that could not be read.
  using Handler = std::function<std::vector<std::string>(const std::vector<StartFile>&)>;

  explicit LaunchListener(Handler handler, QObject* parent = nullptr);
  ~LaunchListener() override;

  // Listens on `socketPath`; a socket left by a window that ended without
  // removing it is replaced (only the owner of the folder's settings file
  // listens, so no live window can own it). False when it cannot listen.
  // Starts that arrive are held until release().
  bool listen(const QString& socketPath);
  // From now on starts are served: the window has loaded its own files.
  void release();

 private:
  struct Request {
    QPointer<QLocalSocket> socket;  // the start may have gone meanwhile
    std::vector<StartFile> files;
  };
  void accept();
  void read(QLocalSocket* socket);
  void serve();

  Handler handler_;
  QLocalServer* server_;
  std::deque<Request> pending_;
  bool serving_ = false;
  bool held_ = true;
};

}  // namespace keelnode
