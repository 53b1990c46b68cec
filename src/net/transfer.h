// One HTTP transfer on a worker thread, waited for without blocking events.
//
// runTransfer starts a worker thread that drives libcurl and waits for it on
// the calling (GUI) thread in short steps, calling yieldToUiNow() between
// them, so the window stays responsive and may even start another transfer
// meanwhile. A transfer that outlives its time limit is abandoned: the worker
// is told to stop and woken, and is joined when it ends soon after, else left
// to end on its own. It shares nothing with the caller but a reference-counted
// state block, so an abandoned worker never touches freed memory.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "net/fetch_failure.h"

namespace keelnode {

// Bodies beyond this count as a failed fetch, so a hostile server cannot
// exhaust memory.
inline constexpr uint64_t kMaxResponseBytes = uint64_t{1} << 30;

struct TransferLimits {
  // Each 0 means no limit of ours.
  std::chrono::milliseconds connect{0};  // resolving and connecting, TLS included, per connection
  std::chrono::milliseconds send{0};     // longest stall while the request body goes out
  std::chrono::milliseconds overall{0};  // the whole transfer, redirects included
};

enum class ProxyUse {
  kDirect,       // never a proxy, whatever the environment says
  kEnvironment,  // the user's settings: http_proxy, https_proxy, no_proxy
  kNamed,        // the proxy in TransferRequest::proxy
};

struct TransferRequest {
  std::string url;  // with scheme, ready for a request line
  bool post = false;
  std::string body;                  // sent when post
  std::vector<std::string> headers;  // lines in libcurl's syntax, in order
  ProxyUse proxyUse = ProxyUse::kDirect;
  std::string proxy;
  TransferLimits limits;
  std::string caFile;  // trusted certificates; empty: the system's
  uint64_t maxBodyBytes = kMaxResponseBytes;
  bool letUiRun = true;  // call yieldToUiNow() while waiting
};

struct TransferResult {
  bool complete = false;  // false: failed, timed out or cut off at the size limit
  FetchFailure failure = FetchFailure::kTransfer;  // why, when not complete
  std::string body;     // raw bytes, as the server sent them (chunking undone)
  std::string headers;  // raw header block of the final response, CRLF line ends
};

TransferResult runTransfer(TransferRequest request);

}  // namespace keelnode
