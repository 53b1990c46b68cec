// A small HTTP (or HTTPS) server on 127.0.0.1 for the fetch tests.
//
// It listens on an ephemeral port, serves one connection at a time on its
// own thread, records every raw request and answers each with what the
// handler returns, closing the connection afterwards.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "services/unique_fd.h"
#include "test_certificates.h"

namespace keelnode::nettest {

using keelnode::UniqueFd;

// A complete response with Content-Length and "Connection: close".
std::string httpResponse(int status, std::string_view body, std::string_view headers = "");

class TestServer {
 public:
  // The raw response for a request; nothing to keep the connection open
  // without a word until the client gives up or the server stops.
  using Handler = std::function<std::optional<std::string>(const std::string& request)>;

  explicit TestServer(Handler handler, const TestCertificates* tls = nullptr);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" (or https) followed by `path`.
  std::string url(std::string_view path) const;
  std::vector<std::string> requests() const;

 private:
  void serve();
  void handle(UniqueFd connection);

  Handler handler_;
  const TestCertificates* tls_;
  UniqueFd listener_;
  UniqueFd stopRead_;
  UniqueFd stopWrite_;
  uint16_t port_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A handler that gives every request the same response.
inline TestServer::Handler answer(std::string response) {
  return [response = std::move(response)](const std::string&) { return response; };
}

// A port on 127.0.0.1 that refuses connections while this object lives.
class RefusingPort {
 public:
  RefusingPort();
  uint16_t port() const { return port_; }

 private:
  UniqueFd socket_;
  uint16_t port_ = 0;
};

}  // namespace keelnode::nettest
