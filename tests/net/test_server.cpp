#include "test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <utility>

namespace keelnode::nettest {
namespace {

constexpr size_t kMaxRequestBytes = 1 << 20;

// Reads and writes on a plain or a TLS connection, giving up when the
// server is told to stop.
class Connection {
 public:
  Connection(int fd, int stopFd, SSL* ssl) : fd_(fd), stopFd_(stopFd), ssl_(ssl) {}

  // Waits until the connection has data (true) or the server stops or the
  // peer hangs up (false).
  bool waitReadable() {
    if (ssl_ && SSL_pending(ssl_) > 0) return true;
    pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    if (poll(fds, 2, -1) <= 0) return false;
    return (fds[1].revents & POLLIN) == 0 && (fds[0].revents & (POLLIN | POLLHUP)) != 0;
  }

  // Bytes read, 0 at the end or on failure.
  long read(char* buffer, size_t size) {
    if (!waitReadable()) return 0;
    if (ssl_) return SSL_read(ssl_, buffer, static_cast<int>(size));
    return recv(fd_, buffer, size, 0);
  }

  bool writeAll(std::string_view data) {
    while (!data.empty()) {
      const long n = ssl_ ? SSL_write(ssl_, data.data(), static_cast<int>(data.size()))
                          : send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

 private:
  int fd_;
  int stopFd_;
  SSL* ssl_;
};

size_t contentLength(const std::string& head) {
  for (size_t pos = head.find("\r\n"); pos != std::string::npos; pos = head.find("\r\n", pos + 2)) {
    if (strncasecmp(head.c_str() + pos + 2, "Content-Length:", 15) == 0)
      return std::strtoul(head.c_str() + pos + 17, nullptr, 10);
  }
  return 0;
}

// The whole request (head and body); empty when the client went away.
std::string readRequest(Connection& connection) {
  std::string request;
  char buffer[4096];
  size_t headEnd = std::string::npos;
  while (request.size() < kMaxRequestBytes) {
    if (headEnd == std::string::npos) {
      headEnd = request.find("\r\n\r\n");
      if (headEnd != std::string::npos) headEnd += 4;
    }
    if (headEnd != std::string::npos && request.size() >= headEnd + contentLength(request))
      return request;
    const long n = connection.read(buffer, sizeof buffer);
    if (n <= 0) return {};
    request.append(buffer, static_cast<size_t>(n));
  }
  return {};
}

sockaddr_in loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

uint16_t boundPort(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  EXPECT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
  return ntohs(address.sin_port);
}

UniqueFd boundSocket() {
  UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = loopback(0);
  EXPECT_EQ(bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  return fd;
}

}  // namespace

std::string httpResponse(int status, std::string_view body, std::string_view headers) {
  std::string response = "HTTP/1.1 " + std::to_string(status) + " Status\r\n";
  response += headers;
  response += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  response += body;
  return response;
}

TestServer::TestServer(Handler handler, const TestCertificates* tls)
    : handler_(std::move(handler)), tls_(tls), listener_(boundSocket()) {
  signal(SIGPIPE, SIG_IGN);  // a client that gives up must not end the test
  EXPECT_EQ(listen(listener_.get(), 16), 0);
  port_ = boundPort(listener_.get());
  int fds[2];
  EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0);
  stopRead_ = UniqueFd(fds[0]);
  stopWrite_ = UniqueFd(fds[1]);
  thread_ = std::thread([this] { serve(); });
}

TestServer::~TestServer() {
  const char stop = 's';
  EXPECT_EQ(write(stopWrite_.get(), &stop, 1), 1);
  thread_.join();
}

std::string TestServer::url(std::string_view path) const {
  return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) +
         std::string(path);
}

std::vector<std::string> TestServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void TestServer::serve() {
  while (true) {
    pollfd fds[2] = {{listener_.get(), POLLIN, 0}, {stopRead_.get(), POLLIN, 0}};
    if (poll(fds, 2, -1) <= 0 || (fds[1].revents & POLLIN)) return;
    UniqueFd connection(accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (connection.get() >= 0) handle(std::move(connection));
  }
}

void TestServer::handle(UniqueFd connection) {
  const timeval limit{10, 0};  // never let a stuck handshake hold the server for good
  setsockopt(connection.get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(connection.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  std::unique_ptr<SSL, decltype(&SSL_free)> ssl(nullptr, SSL_free);
  if (tls_) {
    ssl.reset(SSL_new(tls_->serverContext()));
    SSL_set_fd(ssl.get(), connection.get());
    if (SSL_accept(ssl.get()) != 1) return;
  }
  Connection io(connection.get(), stopRead_.get(), ssl.get());
  const std::string request = readRequest(io);
  if (request.empty()) return;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
  }
  if (std::optional<std::string> response = handler_(request)) {
    io.writeAll(*response);
    if (ssl) SSL_shutdown(ssl.get());
    shutdown(connection.get(), SHUT_WR);
  }
  // Hold the connection until the client is done with it, or gives up
  // waiting for an answer that never comes.
  char sink[4096];
  while (io.read(sink, sizeof sink) > 0) {
  }
}

RefusingPort::RefusingPort() : socket_(boundSocket()), port_(boundPort(socket_.get())) {}

}  // namespace keelnode::nettest
