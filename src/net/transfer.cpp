#include "net/transfer.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "net/curl_handles.h"
#include "services/ascii_case.h"
#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kWaitStep = std::chrono::milliseconds(15);
constexpr int kPollStepMs = 50;
// An abandoned worker normally ends within one poll step; it is given this
// long before it is left to end on its own.
constexpr auto kStopGrace = std::chrono::milliseconds(250);
constexpr long kMaxRedirects = 10;
constexpr size_t kMaxHeaderBytes = size_t{1} << 20;

// The only data the waiting thread and the worker share.
struct SharedState {
  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;   // guarded by mutex
  CURLM* multi = nullptr;  // guarded by mutex; set while the worker may be polling it
  std::atomic<bool> stop{false};
  TransferResult result;  // written by the worker before `finished`, read after
};

// What libcurl's callbacks fill in; lives on the worker's stack.
struct Collector {
  const std::atomic<bool>* stop = nullptr;
  uint64_t maxBodyBytes = 0;
  bool overLimit = false;
  std::string body;
  std::string headers;
  curl_off_t uploaded = 0;
  curl_off_t uploadTotal = 0;
  Clock::time_point lastUpload = Clock::now();
};

size_t onBody(char* data, size_t, size_t size, void* user) {
  auto* collector = static_cast<Collector*>(user);
  if (size > collector->maxBodyBytes - collector->body.size()) {
    collector->overLimit = true;
    return 0;  // fails the transfer
  }
  // No exception may cross libcurl's C frames: running out of memory fails
  // the transfer instead.
  try {
    collector->body.append(data, size);
  } catch (...) {
    return 0;
  }
  return size;
}

size_t onHeader(char* data, size_t, size_t size, void* user) {
  auto* collector = static_cast<Collector*>(user);
  const std::string_view line(data, size);
  // Every response of a redirect chain (and an interim 100) starts a new
  // block; only the last one is kept.
  if (StartsWithNoCase(line, "HTTP/")) collector->headers.clear();
  if (collector->headers.size() + size > kMaxHeaderBytes) return 0;
  try {
    collector->headers.append(line);
  } catch (...) {
    return 0;
  }
  return size;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t uploadTotal, curl_off_t uploaded) {
  auto* collector = static_cast<Collector*>(user);
  if (collector->stop->load()) return 1;
  if (uploaded != collector->uploaded || uploadTotal != collector->uploadTotal) {
    collector->uploaded = uploaded;
    collector->uploadTotal = uploadTotal;
    collector->lastUpload = Clock::now();
  }
  return 0;
}

template <typename Value>
bool set(CURL* easy, CURLoption option, Value value) {
  return curl_easy_setopt(easy, option, value) == CURLE_OK;
}

bool configure(CURL* easy, const TransferRequest& request, Collector& collector,
               const CurlList& headers) {
  const bool secure = StartsWithNoCase(request.url, "https://");
  bool ok =
      set(easy, CURLOPT_URL, request.url.c_str()) &&
      set(easy, CURLOPT_PROTOCOLS_STR, "http,https") &&
      // A secure request is never redirected to a plain address.
      set(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https") &&
      set(easy, CURLOPT_FOLLOWLOCATION, 1L) && set(easy, CURLOPT_MAXREDIRS, kMaxRedirects) &&
      set(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) &&
      set(easy, CURLOPT_NOSIGNAL, 1L) &&
      // Cookies set along a redirect chain go with the next request.
      set(easy, CURLOPT_COOKIEFILE, "") && set(easy, CURLOPT_HTTPHEADER, headers.get()) &&
      set(easy, CURLOPT_WRITEFUNCTION, onBody) && set(easy, CURLOPT_WRITEDATA, &collector) &&
      set(easy, CURLOPT_HEADERFUNCTION, onHeader) && set(easy, CURLOPT_HEADERDATA, &collector) &&
      set(easy, CURLOPT_XFERINFOFUNCTION, onProgress) &&
      set(easy, CURLOPT_XFERINFODATA, &collector) && set(easy, CURLOPT_NOPROGRESS, 0L) &&
      set(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.limits.connect.count())) &&
      set(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(request.limits.overall.count()));
  // Ending a transfer must never wait for a name lookup that hangs.
  curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
  if (request.maxBodyBytes > 0)
    ok = ok && set(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBodyBytes));
  if (request.proxyUse == ProxyUse::kDirect) ok = ok && set(easy, CURLOPT_PROXY, "");
  if (request.proxyUse == ProxyUse::kNamed)
    ok = ok && set(easy, CURLOPT_PROXY, request.proxy.c_str());
  if (!request.caFile.empty()) ok = ok && set(easy, CURLOPT_CAINFO, request.caFile.c_str());
  if (request.post) {
    ok = ok && set(easy, CURLOPT_POST, 1L) &&
         set(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size())) &&
         set(easy, CURLOPT_POSTFIELDS, request.body.data());
  }
  return ok;
}

bool uploadStalled(const Collector& collector, std::chrono::milliseconds limit) {
  return limit.count() > 0 && collector.uploadTotal > 0 &&
         collector.uploaded < collector.uploadTotal && Clock::now() - collector.lastUpload > limit;
}

FetchFailure failureOf(CURLcode code, const Collector& collector) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
      return FetchFailure::kUnreachable;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_ABORTED_BY_CALLBACK:  // only the time limit's stop aborts
      return FetchFailure::kTimeout;
    case CURLE_FILESIZE_EXCEEDED:
      return FetchFailure::kTooLarge;
    case CURLE_WRITE_ERROR:
      return collector.overLimit ? FetchFailure::kTooLarge : FetchFailure::kTransfer;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
      return FetchFailure::kTls;
    default:
      return FetchFailure::kTransfer;
  }
}

// Runs the transfer to its end; nothing when it completed, else why not.
std::optional<FetchFailure> drive(CURLM* multi, const Collector& collector,
                                  const TransferLimits& limits, const std::atomic<bool>& stop) {
  while (!stop.load()) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) return FetchFailure::kTransfer;
    if (running == 0) {
      int left = 0;
      const CURLMsg* message = curl_multi_info_read(multi, &left);
      if (!message || message->msg != CURLMSG_DONE) return FetchFailure::kTransfer;
      if (message->data.result == CURLE_OK) return std::nullopt;
      return failureOf(message->data.result, collector);
    }
    if (uploadStalled(collector, limits.send)) return FetchFailure::kTimeout;
    if (curl_multi_poll(multi, nullptr, 0, kPollStepMs, nullptr) != CURLM_OK)
      return FetchFailure::kTransfer;
  }
  return FetchFailure::kTimeout;
}

TransferResult perform(const TransferRequest& request, SharedState& state) {
  TransferResult result;
  Collector collector;
  collector.stop = &state.stop;
  collector.maxBodyBytes = request.maxBodyBytes;
  CurlList headers;
  for (const std::string& line : request.headers) {
    if (!appendLine(headers, line)) return result;
  }
  CurlEasy easy(curl_easy_init());
  CurlMulti multi(curl_multi_init());
  if (!easy || !multi || !configure(easy.get(), request, collector, headers) ||
      curl_multi_add_handle(multi.get(), easy.get()) != CURLM_OK)
    return result;
  {
    std::lock_guard lock(state.mutex);
    state.multi = multi.get();
  }
  const std::optional<FetchFailure> failure =
      drive(multi.get(), collector, request.limits, state.stop);
  result.complete = !failure;
  if (failure) result.failure = *failure;
  {
    std::lock_guard lock(state.mutex);
    state.multi = nullptr;
  }
  curl_multi_remove_handle(multi.get(), easy.get());
  if (result.complete) {
    result.body = std::move(collector.body);
    result.headers = std::move(collector.headers);
  }
  return result;
}

void work(std::shared_ptr<SharedState> state, TransferRequest request) {
  TransferResult result = perform(request, *state);
  {
    std::lock_guard lock(state->mutex);
    state->result = std::move(result);
    state->finished = true;
  }
  state->ended.notify_all();
}

}  // namespace

bool curlReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

TransferResult runTransfer(TransferRequest request) {
  TransferResult unavailable;
  unavailable.failure = FetchFailure::kUnavailable;
  if (!curlReady()) return unavailable;
  auto state = std::make_shared<SharedState>();
  const std::chrono::milliseconds limit = request.limits.overall;
  const bool letUiRun = request.letUiRun;
  std::thread worker;
  try {
    worker = std::thread(work, state, std::move(request));
  } catch (const std::system_error&) {
    return unavailable;
  }
  const Clock::time_point start = Clock::now();
  std::unique_lock lock(state->mutex);
  while (!state->finished && (limit.count() == 0 || Clock::now() - start < limit)) {
    state->ended.wait_for(lock, kWaitStep);
    if (state->finished || !letUiRun) continue;
    // The window's hook may start another transfer: never hold the lock there.
    lock.unlock();
    yieldToUiNow();
    lock.lock();
  }
  if (state->finished) {
    TransferResult result = std::move(state->result);
    lock.unlock();
    worker.join();
    return result;
  }
  state->stop = true;
  if (state->multi) curl_multi_wakeup(state->multi);
  const bool ended = state->ended.wait_for(lock, kStopGrace, [&] { return state->finished; });
  lock.unlock();
  if (ended) {
    worker.join();
  } else {
    worker.detach();
  }
  TransferResult timedOut;
  timedOut.failure = FetchFailure::kTimeout;
  return timedOut;
}

}  // namespace keelnode
