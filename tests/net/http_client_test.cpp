// The plain road, against a real server on 127.0.0.1.
#include "net/http_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "services/yield_to_ui.h"
#include "test_bytes.h"
#include "test_server.h"

namespace keelnode {
namespace {

using namespace std::chrono_literals;
using nettest::answer;
using nettest::encodeAs;
using nettest::gb;
using nettest::gzipped;
using nettest::httpResponse;
using nettest::RefusingPort;
using nettest::TestServer;

const std::string kJson = "{\"名\":\"中文\"}";

class PlainRoadTest : public ::testing::Test {
 protected:
  PlainRoadTest() { EXPECT_TRUE(client_.initialise()); }
  ~PlainRoadTest() override {
    client_.destroy();
    SetYieldToUiHook(nullptr);
  }

  std::string fetch(std::string_view url, CharsetMode mode = CharsetMode::Auto) {
    mode_ = mode;
    FetchOptions options;
    options.timeouts = PlainTimeouts{1000ms, 1000ms, 1000ms, 3000ms};
    return client_.fetch(url, mode_, options);
  }

  HttpClient client_;
  CharsetMode mode_ = CharsetMode::Auto;
};

TEST_F(PlainRoadTest, SendsExactlyItsHeadersInOrder) {
  TestServer server(answer(httpResponse(200, "{}")));
  EXPECT_EQ(fetch(server.url("/data?x=1#part")), "{}");
  const std::string host = "127.0.0.1:" + std::to_string(server.port());
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0],
            "GET /data?x=1 HTTP/1.1\r\n"
            "Host: " +
                host +
                "\r\n"
                "Referer: http://" +
                host +
                "/data?x=1#part\r\n"
                "Content-Type: application/x-www-form-urlencoded\r\n"
                "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)\r\n"
                "\r\n");
}

TEST_F(PlainRoadTest, CredentialsInTheAddressAreNeverSent) {
  TestServer server(answer(httpResponse(200, "{}")));
  const std::string host = "127.0.0.1:" + std::to_string(server.port());
  for (const std::string& user :
       {std::string("user:pw@"), std::string("a@b:c@"), std::string("only-user@")}) {
    EXPECT_EQ(fetch("http://" + user + host + "/data?x=1&y=2"), "{}") << user;
    EXPECT_EQ(fetch("http://" + user + host), "{}") << user;
  }
  ASSERT_EQ(server.requests().size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    const std::string target = i % 2 == 0 ? "/data?x=1&y=2" : "/";
    const std::string referer = i % 2 == 0 ? "/data?x=1&y=2" : "";
    EXPECT_EQ(server.requests()[i],
              "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\nReferer: http://" + host +
                  referer +
                  "\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; "
                  "Trident/5.0)\r\n"
                  "\r\n")
        << i;
  }
}

TEST_F(PlainRoadTest, AddressIsTrimmedSchemeAnyCaseAndPathEncoded) {
  TestServer server(answer(httpResponse(200, "ok")));
  const std::string address = server.url("/" + gb("路径") + " a");
  EXPECT_EQ(fetch("  HTTP" + address.substr(4) + gb("　") + "\r\n"), "ok");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_TRUE(server.requests()[0].starts_with("GET /%E8%B7%AF%E5%BE%84%20a HTTP/1.1\r\n"))
      << server.requests()[0];
}

TEST_F(PlainRoadTest, DecodesBodiesByMarkMetaAndTest) {
  struct Case {
    std::string body;
    std::string text;
  };
  const std::string big5Meta = "<meta charset=\"big5\">";
  const std::string hkMeta = "<meta charset='Big5-HKSCS'>";
  const std::string unquoted = "<meta charset=Big5>";
  const std::string hkUnquoted = "<meta charset=Big5-HKSCS>";  // answers Big5
  const std::string gbk = gb(kJson);
  const Case cases[] = {
      {kJson, gb(kJson)},
      {"\xEF\xBB\xBF" + kJson, gb(kJson)},
      {"\xFF\xFE" + encodeAs(kJson, "UTF-16LE"), gb(kJson)},
      {"\xFE\xFF" + encodeAs(kJson, "UTF-16BE"), gb(kJson)},
      {big5Meta + encodeAs("中文", "BIG5"), big5Meta + gb("中文")},
      {unquoted + encodeAs("中文", "BIG5"), unquoted + gb("中文")},
      {hkMeta + encodeAs("㗎", "BIG5-HKSCS"), hkMeta + gb("㗎")},
      {hkUnquoted + encodeAs("中㗎", "BIG5-HKSCS"), hkUnquoted + gb("中") + "?"},
      {gbk, gbk},
  };
  for (const Case& c : cases) {
    TestServer server(answer(httpResponse(200, c.body)));
    EXPECT_EQ(fetch(server.url("/")), c.text);
  }
}

TEST_F(PlainRoadTest, GzipBodyIsUndone) {
  TestServer server(answer(httpResponse(200, gzipped(kJson), "Content-Encoding: gzip\r\n")));
  EXPECT_EQ(fetch(server.url("/")), gb(kJson));
  EXPECT_EQ(mode_, CharsetMode::Auto);  // only decodeBody knew it was UTF-8
}

TEST_F(PlainRoadTest, Utf8HeaderRaisesAutoToUtf8) {
  // The four-byte character fails the UTF-8 test; the header decides.
  const std::string body = "[\"中😀\"]";
  TestServer server(answer(httpResponse(200, body, "Content-Type: text/plain; charset=UTF-8\r\n")));
  EXPECT_EQ(fetch(server.url("/")), gb(body));
  EXPECT_EQ(mode_, CharsetMode::Utf8);
  // A fixed mode does not consult the header.
  EXPECT_EQ(fetch(server.url("/"), CharsetMode::Ansi), body);
  EXPECT_EQ(mode_, CharsetMode::Ansi);
}

TEST_F(PlainRoadTest, RawBytesAndServerText) {
  const std::string packed = gzipped("x");
  TestServer raw(answer(httpResponse(200, packed)));
  EXPECT_EQ(fetch(raw.url("/"), CharsetMode::RawBytes), std::string(packed.c_str()));

  TestServer big5(answer(
      httpResponse(200, encodeAs("中文", "BIG5"), "Content-Type: text/plain; charset=big5\r\n")));
  EXPECT_EQ(fetch(big5.url("/"), CharsetMode::ServerText), gb("中文"));

  const std::string undeclared = "\xEF\xBB\xBF" + kJson;
  TestServer plain(answer(httpResponse(200, undeclared)));
  EXPECT_EQ(fetch(plain.url("/"), CharsetMode::ServerText), undeclared);
}

TEST_F(PlainRoadTest, ErrorPagesAreReturnedLikeAnyBody) {
  TestServer missing(answer(httpResponse(404, "not here")));
  EXPECT_EQ(fetch(missing.url("/")), "not here");
  TestServer failing(answer(httpResponse(500, "{\"error\":1}")));
  EXPECT_EQ(fetch(failing.url("/")), "{\"error\":1}");
}

TEST_F(PlainRoadTest, FollowsRedirects) {
  TestServer server([&](const std::string& request) -> std::optional<std::string> {
    if (request.starts_with("GET /start ")) return httpResponse(302, "", "Location: /middle\r\n");
    if (request.starts_with("GET /middle ")) return httpResponse(301, "", "Location: /end\r\n");
    return httpResponse(200, "arrived");
  });
  EXPECT_EQ(fetch(server.url("/start")), "arrived");
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_TRUE(requests[2].starts_with("GET /end HTTP/1.1\r\n"));
  EXPECT_NE(requests[2].find("Referer: " + server.url("/start") + "\r\n"), std::string::npos);
}

TEST_F(PlainRoadTest, UnansweredRequestTimesOutWhileTheWindowRuns) {
  TestServer server([](const std::string&) { return std::nullopt; });
  int yields = 0;
  const std::thread::id caller = std::this_thread::get_id();
  SetYieldToUiHook([&] {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    ++yields;
  });
  mode_ = CharsetMode::Auto;
  FetchOptions options;
  options.timeouts = PlainTimeouts{500ms, 500ms, 500ms, 300ms};
  EXPECT_EQ(client_.fetch(server.url("/"), mode_, options), "");
  EXPECT_GT(yields, 0);
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(PlainRoadTest, RefusedConnectionGivesEmptyText) {
  RefusingPort refusing;
  EXPECT_EQ(fetch("http://127.0.0.1:" + std::to_string(refusing.port()) + "/"), "");
  EXPECT_EQ(fetch(""), "");
}

TEST_F(PlainRoadTest, NestedFetchFromTheWindowHookWorks) {
  TestServer inner(answer(httpResponse(200, "inner")));
  TestServer outer([](const std::string&) -> std::optional<std::string> {
    std::this_thread::sleep_for(100ms);
    return httpResponse(200, "outer");
  });
  std::string nested;
  SetYieldToUiHook([&] {
    if (!nested.empty()) return;
    nested = "started";
    HttpClient second;
    second.initialise();
    CharsetMode mode = CharsetMode::Auto;
    nested = second.fetch(inner.url("/"), mode);
  });
  EXPECT_EQ(fetch(outer.url("/")), "outer");
  EXPECT_EQ(nested, "inner");
}

TEST_F(PlainRoadTest, PostCookiesAndExtraHeaders) {
  TestServer server(
      answer(httpResponse(200, "ok", "Set-Cookie: a=1; Path=/\r\nSet-Cookie: b=2\r\n")));
  mode_ = CharsetMode::Auto;
  FetchOptions options;
  options.postText = "q=1";
  options.keepCookies = true;
  options.extraHeaders = "User-Agent: mine\r\nX-Extra: 1";
  options.cookies = "-1";
  EXPECT_EQ(client_.fetch(server.url("/form"), mode_, options), "ok");
  EXPECT_EQ(client_.storedCookies(), "a=1; b=2");

  FetchOptions again;
  EXPECT_EQ(client_.fetch(server.url("/next"), mode_, again), "ok");
  EXPECT_EQ(again.cookies, "a=1; b=2");
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  const std::string host = "127.0.0.1:" + std::to_string(server.port());
  EXPECT_EQ(requests[0],
            "POST /form HTTP/1.1\r\n"
            "Host: " +
                host +
                "\r\n"
                "Referer: http://" +
                host +
                "/form\r\n"
                "Content-Type: application/x-www-form-urlencoded\r\n"
                "User-Agent: mine\r\n"
                "X-Extra: 1\r\n"
                "Cookie:\r\n"
                "Content-Length: 3\r\n"
                "\r\n"
                "q=1");
  EXPECT_NE(requests[1].find("\r\nCookie: a=1; b=2\r\n"), std::string::npos);
}

TEST_F(PlainRoadTest, NothingWithoutInitialise) {
  TestServer server(answer(httpResponse(200, "ok")));
  client_.destroy();
  EXPECT_EQ(fetch(server.url("/")), "");
  EXPECT_TRUE(server.requests().empty());
}

}  // namespace
}  // namespace keelnode
