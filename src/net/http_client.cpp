#include "net/http_client.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "net/address.h"
#include "net/charset_conversion.h"
#include "net/curl_handles.h"
#include "net/decode_body.h"
#include "net/header_list.h"
#include "net/response_headers.h"
#include "services/code_page.h"

namespace keelnode {
namespace {

using std::chrono::milliseconds;

constexpr std::string_view kFormType = "application/x-www-form-urlencoded";
constexpr std::string_view kInetAccept =
    "image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
    "application/msword, */*";
constexpr milliseconds kInetLimit{120000};
constexpr double kTolerance = 1e-7;

std::string trustedCertificates(const TransferSettings& settings) {
  if (!settings.caFile.empty()) return settings.caFile;
  const char* fromEnvironment = std::getenv("KEELNODE_CA_BUNDLE");
  return fromEnvironment ? fromEnvironment : "";
}

// Limits beyond this (about 24 days) are taken as this.
constexpr double kLongestSeconds = 2'000'000;

milliseconds wholeMilliseconds(double seconds) {
  return milliseconds(std::llround(std::min(seconds, kLongestSeconds) * 1000));
}

PlainTimeouts plainTimeouts(const FetchOptions& options) {
  if (options.timeouts) return *options.timeouts;
  const double t = options.timeoutSeconds;
  // -1 keeps the platform's own limits, under which the wait was 120 s.
  if (std::fabs(t + 1) <= kTolerance)
    return {milliseconds(0), milliseconds(60000), milliseconds(30000), milliseconds(120000)};
  if (t - 1 < -kTolerance || !std::isfinite(t)) return {};
  const milliseconds each = wholeMilliseconds(t);
  return {each, each, each, wholeMilliseconds(std::round(t))};
}

milliseconds inetLimit(const InetOptions& options) {
  if (options.timeLimit) return *options.timeLimit;
  // A limit of 0 or less would end the wait before it starts.
  return options.timeoutSeconds > kTolerance ? wholeMilliseconds(options.timeoutSeconds)
                                             : kInetLimit;
}

TransferLimits plainLimits(const PlainTimeouts& timeouts) {
  TransferLimits limits;
  limits.connect = timeouts.resolve.count() > 0 && timeouts.connect.count() > 0
                       ? timeouts.resolve + timeouts.connect
                       : timeouts.connect;
  limits.send = timeouts.send;
  limits.overall = timeouts.receive;
  return limits;
}

void setPlainProxy(const std::optional<std::string>& proxy, TransferRequest& request) {
  if (!proxy || proxy->empty() || *proxy == "-1") return;  // direct
  if (*proxy == "IE") {
    request.proxyUse = ProxyUse::kEnvironment;
  } else {
    request.proxyUse = ProxyUse::kNamed;
    request.proxy = Gb18030ToUtf8(*proxy);
  }
}

std::string joinPairs(const std::vector<std::string>& pairs, std::string_view separator,
                      bool trailing) {
  std::string joined;
  for (size_t i = 0; i < pairs.size(); ++i) {
    joined += pairs[i];
    if (trailing || i + 1 < pairs.size()) joined += separator;
  }
  return joined;
}

// The body decoded by the charset its response declares, as the plain
// road's request object does; without a known one the bytes as they are.
std::string serverText(const TransferResult& result) {
  const std::string charset = declaredCharset(result.headers);
  if (!charset.empty()) {
    if (std::optional<std::string> text = convertToProgramText(result.body, charset.c_str()))
      return std::move(*text);
  }
  return std::string(CutAtZero(result.body));
}

}  // namespace

HttpClient::HttpClient(TransferSettings settings) : settings_(std::move(settings)) {}

bool HttpClient::initialise() {
  initialised_ = curlReady();
  return initialised_;
}

void HttpClient::destroy() {
  initialised_ = false;
  storedCookies_.clear();
}

std::string HttpClient::fetch(std::string_view url, CharsetMode& mode) {
  FetchOptions options;
  return fetch(url, mode, options);
}

std::string HttpClient::fetch(std::string_view url, CharsetMode& mode, FetchOptions& options) {
  return fetchDocument(url, mode, options).value_or(std::string());
}

FetchResult HttpClient::fetchDocument(std::string_view url, CharsetMode& mode,
                                      FetchOptions& options) {
  if (!initialised_) return Fail(FetchFailure::kUnavailable);
  const std::string_view address = trimAddress(url);
  TransferRequest request;
  request.url = toWireAddress(withoutFragment(withWebScheme(address)));
  request.body = options.postBytes.empty() ? options.postText : options.postBytes;
  request.post = !request.body.empty();

  HeaderList headers;
  headers.set("Referer", toWireAddress(withWebScheme(
                             options.referer.empty() ? address : trimAddress(options.referer))));
  headers.set("Content-Type", options.contentType.empty() ? kFormType : options.contentType);
  headers.set("User-Agent", options.userAgent.empty() ? kBrowserAgent : options.userAgent);
  headers.addLines(options.extraHeaders);
  if (options.cookies.empty() && !storedCookies_.empty()) options.cookies = storedCookies_;
  if (options.cookies == "-1") {
    headers.set("Cookie", "");
  } else if (!options.cookies.empty()) {
    headers.set("Cookie", options.cookies);
  }
  request.headers = headers.curlLines({"Accept", "Expect"});

  setPlainProxy(options.proxy, request);
  request.limits = plainLimits(plainTimeouts(options));
  request.caFile = trustedCertificates(settings_);
  request.maxBodyBytes = settings_.maxBodyBytes;
  request.letUiRun = !options.synchronous;

  const TransferResult result = runTransfer(std::move(request));
  if (!result.complete) return Fail(result.failure);
  if (options.keepCookies) storedCookies_ = joinPairs(cookiePairs(result.headers), "; ", false);
  switch (mode) {
    case CharsetMode::ServerText:
      return serverText(result);
    case CharsetMode::RawBytes:
      return std::string(CutAtZero(result.body));
    default:
      if (mode == CharsetMode::Auto && headerSaysUtf8(result.headers)) mode = CharsetMode::Utf8;
      CharsetMode used = mode;
      return decodeFetchedBody(result.body, used, settings_.maxTextBytes);
  }
}

std::string HttpClient::fetchInet(std::string& url, CharsetMode& mode, const InetOptions& options,
                                  InetReply* reply) {
  return fetchInetDocument(url, mode, options, reply).value_or(std::string());
}

FetchResult HttpClient::fetchInetDocument(std::string& url, CharsetMode& mode,
                                          const InetOptions& options, InetReply* reply) {
  url = std::string(withoutFragment(url));
  const std::string_view address = trimAddress(url);
  TransferResult result;
  if (!address.empty()) {
    TransferRequest request;
    request.url = toWireAddress(withWebScheme(address));
    request.body = options.postBytes.empty() ? options.postText : options.postBytes;
    request.post = !request.body.empty();

    HeaderList headers;
    headers.addLines(options.extraHeaders);
    headers.set("Referer", toWireAddress(options.referer.empty() ? address : options.referer));
    if (!headers.has("Accept")) headers.set("Accept", kInetAccept);
    if (!headers.has("Accept-Language")) headers.set("Accept-Language", "zh-cn");
    if (request.post && !headers.has("Content-Type")) headers.set("Content-Type", kFormType);
    if (!trimAddress(options.cookies).empty()) headers.set("Cookie", options.cookies);
    if (!headers.has("User-Agent")) headers.set("User-Agent", kBrowserAgent);
    request.headers = headers.curlLines({"Expect"});

    if (!options.proxy.empty()) {
      request.proxyUse = ProxyUse::kNamed;
      request.proxy = Gb18030ToUtf8(options.proxy);
    }
    request.limits.overall = inetLimit(options);
    request.caFile = trustedCertificates(settings_);
    request.maxBodyBytes = settings_.maxBodyBytes;
    result = runTransfer(std::move(request));
  }
  if (reply) {
    reply->receivedCookies = joinPairs(cookiePairs(result.headers), ";", true);
    reply->body = result.body;
    reply->headers = result.headers;
  }
  if (address.empty()) return Fail(FetchFailure::kNoRoad);
  if (!result.complete) return Fail(result.failure);
  if (mode == CharsetMode::Auto && headerSaysUtf8(result.headers)) mode = CharsetMode::Utf8;
  CharsetMode used = mode;
  return decodeFetchedBody(result.body, used, settings_.maxTextBytes);
}

}  // namespace keelnode
