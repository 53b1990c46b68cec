// SIGTERM, SIGINT and SIGHUP as requests to close the window, so that
// ending the program from a terminal, with kill or with the session saves
// what the close button saves.
//
// The handler only writes a byte into a pipe; the GUI thread reads it once
// listen() was called, so a request that comes during start-up is answered
// right after it. One object at a time; it puts the previous handlers back
// when it goes.
#pragma once

#include <QObject>
#include <array>
#include <csignal>

#include "services/unique_fd.h"

class QSocketNotifier;

namespace keelnode {

class TerminationRequests : public QObject {
  Q_OBJECT
 public:
  TerminationRequests();
  ~TerminationRequests() override;

  void listen();

 signals:
  void requested();

 private:
  static constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

  UniqueFd read_;
  UniqueFd write_;
  QSocketNotifier* notifier_ = nullptr;
  std::array<struct sigaction, kSignals.size()> previous_{};
};

}  // namespace keelnode
