#include "app/termination_requests.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace keelnode {
namespace {

int g_requestPipe = -1;

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(g_requestPipe, &byte, 1);
  errno = saved;
}

}  // namespace

TerminationRequests::TerminationRequests() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  read_ = UniqueFd(fds[0]);
  write_ = UniqueFd(fds[1]);
  g_requestPipe = write_.get();
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t k = 0; k < kSignals.size(); ++k)
    ::sigaction(kSignals[k], &action, &previous_[k]);
}

TerminationRequests::~TerminationRequests() {
  delete notifier_;  // before its descriptor closes
  if (!write_.valid()) return;
  for (size_t k = 0; k < kSignals.size(); ++k)
    ::sigaction(kSignals[k], &previous_[k], nullptr);
  g_requestPipe = -1;
}

void TerminationRequests::listen() {
  if (!read_.valid() || notifier_ != nullptr) return;
  notifier_ = new QSocketNotifier(read_.get(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char bytes[64];
    while (::read(read_.get(), bytes, sizeof bytes) > 0) {
    }
    emit requested();
  });
}

}  // namespace keelnode
