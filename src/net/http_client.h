// Fetching a document from a web address, on libcurl.
//
// Two roads, kept apart because they send different requests:
//
// fetch (the plain road) sends, after the request line "GET <path> HTTP/1.1"
// and libcurl's "Host:" line, exactly these lines in this order:
//   Referer: <the address, fragment kept, "http://" put in front when it has no scheme>
//   Content-Type: application/x-www-form-urlencoded
//   User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)
// followed by FetchOptions::extraHeaders and a Cookie line when asked for.
// libcurl's own "Accept: */*" (and for a post "Expect:") is kept off.
//
// fetchInet (the secure road) sends, after the request line and "Host:":
//   Referer: <the address without its fragment>
//   Accept: image/gif, image/bmp, ..., application/msword, */*
//   Accept-Language: zh-cn
//   User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)
// with InetOptions::extraHeaders first, and Accept, Accept-Language and
// User-Agent only when those do not name them already.
//
// Both roads request the address without its fragment (non-ASCII and other
// bytes that may not stand in a request line percent-encoded as UTF-8),
// follow up to 10 redirects (never from a secure address to a plain one),
// go direct unless a proxy is named, never decode Content-Encoding
// themselves (decodeBody undoes gzip) and ignore the status code: an error
// page is returned like any other body. The typed calls say why a transfer
// failed, timed out or grew too large; the legacy ones give empty text.
//
// Time limits: the plain road allows resolve + connect (10 s + 10 s) for
// each connection, a stall of at most 60 s while a request body goes out, and
// 120 s for the whole transfer; the secure road allows 120 s for the whole
// transfer. Both run the transfer on a worker thread and keep calling
// yieldToUiNow() while they wait.
//
// Certificates of secure addresses are verified against the system's
// trusted authorities, or against only those in the PEM file named by
// TransferSettings::caFile or, when that is empty, by the environment
// variable KEELNODE_CA_BUNDLE. Tests point either at the authority they
// generate.
//
// Thread rule: use a client on one thread (the GUI thread).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/charset_mode.h"
#include "net/transfer.h"

namespace keelnode {

inline constexpr std::string_view kBrowserAgent =
    "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)";

struct TransferSettings {
  std::string caFile;  // see above; empty: KEELNODE_CA_BUNDLE, else the system's
  uint64_t maxBodyBytes = kMaxResponseBytes;
  uint64_t maxTextBytes = uint64_t{1} << 30;  // what a gzip body may inflate to
};

// The plain road's limits; 0 means none. `receive` bounds the whole
// transfer, counted from its start.
struct PlainTimeouts {
  std::chrono::milliseconds resolve{10000};
  std::chrono::milliseconds connect{10000};
  std::chrono::milliseconds send{60000};
  std::chrono::milliseconds receive{120000};
};

struct FetchOptions {
  std::string postText;  // a post body makes the request a POST
  // -1: the platform defaults; below 1: the limits above; else every limit
  // is this many seconds. `timeouts`, when given, wins.
  float timeoutSeconds = 0;
  std::optional<PlainTimeouts> timeouts;
  // Not given or "-1": direct. "IE": the user's settings (http_proxy and
  // friends). Empty: direct. Else the proxy to use.
  std::optional<std::string> proxy;
  bool synchronous = false;  // wait without letting window events through
  std::string postBytes;     // wins over postText
  std::string referer;       // empty: the address
  // Sent as the Cookie header; "-1" sends an empty one. When empty it takes
  // a copy of the client's stored cookies (the caller sees it).
  std::string cookies;
  bool keepCookies = false;  // store the received cookies in the client
  std::string contentType;   // empty: application/x-www-form-urlencoded
  std::string userAgent;     // empty: kBrowserAgent
  std::string extraHeaders;  // "Name: value" lines separated by CRLF
};

struct InetOptions {
  std::string postText;
  float timeoutSeconds = 0;                            // 0: 120 s
  std::optional<std::chrono::milliseconds> timeLimit;  // wins over timeoutSeconds
  std::string proxy;                                   // empty: direct
  std::string postBytes;                               // wins over postText
  std::string referer;                                 // empty: the address
  std::string cookies;                                 // sent as the Cookie header
  std::string extraHeaders;                            // "Name: value" lines separated by CRLF
};

// What the secure road hands back besides the text.
struct InetReply {
  std::string receivedCookies;  // "name=value;" for each cookie the response set
  std::string body;             // raw response body
  std::string headers;          // raw header block of the final response
};

class HttpClient {
 public:
  explicit HttpClient(TransferSettings settings = {});

  // Sets libcurl up; false when it cannot be used. The plain road works
  // only between initialise and destroy.
  bool initialise();
  void destroy();

  // The plain road. In Auto mode a charset=utf-8 response header raises
  // `mode` to Utf8. ServerText decodes by the charset the response declares
  // (none: the bytes as they are); RawBytes returns the bytes unchanged.
  FetchResult fetchDocument(std::string_view url, CharsetMode& mode, FetchOptions& options);
  // Legacy forms: empty text on failure.
  std::string fetch(std::string_view url, CharsetMode& mode, FetchOptions& options);
  std::string fetch(std::string_view url, CharsetMode& mode);

  // The secure road (plain addresses work too). `url` loses its fragment in
  // place. In Auto mode a charset=utf-8 response header raises `mode` to
  // Utf8; every mode, RawBytes and ServerText included, goes through
  // decodeBody.
  FetchResult fetchInetDocument(std::string& url, CharsetMode& mode,
                                const InetOptions& options = {}, InetReply* reply = nullptr);
  std::string fetchInet(std::string& url, CharsetMode& mode, const InetOptions& options = {},
                        InetReply* reply = nullptr);

  const std::string& storedCookies() const { return storedCookies_; }
  void clearCookies() { storedCookies_.clear(); }

 private:
  TransferSettings settings_;
  bool initialised_ = false;
  std::string storedCookies_;
};

}  // namespace keelnode
