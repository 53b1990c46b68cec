// The secure road, against a real TLS server on 127.0.0.1 whose certificate
// authority the test makes at run time.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>

#include "net/http_client.h"
#include "test_bytes.h"
#include "test_server.h"

namespace keelnode {
namespace {

using namespace std::chrono_literals;
using nettest::answer;
using nettest::gb;
using nettest::gzipped;
using nettest::httpResponse;
using nettest::TestCertificates;
using nettest::TestServer;

const TestCertificates& certificates() {
  static const TestCertificates made;
  return made;
}

std::string expectedRequest(const TestServer& server, std::string_view target) {
  return "GET " + std::string(target) + " HTTP/1.1\r\n" +
         "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n" +
         "Referer: " + server.url(target) + "\r\n" +
         "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, "
         "application/x-shockwave-flash, application/vnd.ms-excel, "
         "application/vnd.ms-powerpoint, application/msword, */*\r\n"
         "Accept-Language: zh-cn\r\n"
         "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)\r\n"
         "\r\n";
}

class SecureRoadTest : public ::testing::Test {
 protected:
  SecureRoadTest() : client_(TransferSettings{certificates().caFile()}) {}

  std::string fetch(std::string url, CharsetMode mode = CharsetMode::Auto,
                    InetReply* reply = nullptr) {
    mode_ = mode;
    InetOptions options;
    options.timeLimit = 3000ms;
    return client_.fetchInet(url, mode_, options, reply);
  }

  HttpClient client_;
  CharsetMode mode_ = CharsetMode::Auto;
};

TEST_F(SecureRoadTest, SendsExactlyItsHeadersInOrderWithoutTheFragment) {
  TestServer server(answer(httpResponse(200, "{}")), &certificates());
  std::string url = server.url("/data?x=1#part");
  CharsetMode mode = CharsetMode::Auto;
  InetOptions options;
  options.timeLimit = 3000ms;
  EXPECT_EQ(client_.fetchInet(url, mode, options), "{}");
  EXPECT_EQ(url, server.url("/data?x=1"));
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0], expectedRequest(server, "/data?x=1"));
}

TEST_F(SecureRoadTest, CredentialsInTheAddressAreNeverSent) {
  TestServer server(answer(httpResponse(200, "{}")), &certificates());
  const std::string plainUrl = server.url("/data?x=1&q=" + gb("名"));
  const std::string withUser = "https://" + gb("用户") + ":p%40ss@" + plainUrl.substr(8);
  EXPECT_EQ(fetch(withUser), "{}");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0], expectedRequest(server, "/data?x=1&q=%E5%90%8D"));
}

TEST_F(SecureRoadTest, AddressNamingAHeaderStillGetsIt) {
  TestServer server(answer(httpResponse(200, "{}")), &certificates());
  EXPECT_EQ(fetch(server.url("/?accept=1&Accept-Language=2&User-Agent:=3")), "{}");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0],
            expectedRequest(server, "/?accept=1&Accept-Language=2&User-Agent:=3"));
}

TEST_F(SecureRoadTest, CapitalSchemeFetchesTheSecureAddress) {
  TestServer server(answer(httpResponse(200, "ok")), &certificates());
  EXPECT_EQ(fetch("HTTPS" + server.url("/").substr(5)), "ok");
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(SecureRoadTest, UntrustedCertificateGivesEmptyText) {
  TestServer server(answer(httpResponse(200, "secret")), &certificates());
  const TestCertificates stranger;
  HttpClient client(TransferSettings{stranger.caFile()});
  std::string url = server.url("/");
  CharsetMode mode = CharsetMode::Auto;
  EXPECT_EQ(client.fetchInet(url, mode), "");
  EXPECT_TRUE(server.requests().empty());
}

TEST_F(SecureRoadTest, TrustsTheAuthorityNamedInTheEnvironment) {
  TestServer server(answer(httpResponse(200, "ok")), &certificates());
  setenv("KEELNODE_CA_BUNDLE", certificates().caFile().c_str(), 1);
  HttpClient client;
  std::string url = server.url("/");
  CharsetMode mode = CharsetMode::Auto;
  const std::string text = client.fetchInet(url, mode);
  unsetenv("KEELNODE_CA_BUNDLE");
  EXPECT_EQ(text, "ok");
}

TEST_F(SecureRoadTest, Utf8HeaderGzipAndRawBytes) {
  const std::string body = "[\"中😀\"]";
  TestServer server(
      answer(httpResponse(200, gzipped(body), "Content-Type: text/json;charset=utf-8\r\n")),
      &certificates());
  EXPECT_EQ(fetch(server.url("/")), gb(body));
  EXPECT_EQ(mode_, CharsetMode::Utf8);
  // Raw bytes still go through decodeBody here: gzip is undone, nothing else.
  EXPECT_EQ(fetch(server.url("/"), CharsetMode::RawBytes), body);
  EXPECT_EQ(mode_, CharsetMode::RawBytes);
}

TEST_F(SecureRoadTest, ReplyCarriesCookiesBodyAndHeaders) {
  TestServer server(
      answer(httpResponse(404, "gone", "Set-Cookie: a=1; Secure\r\nSet-Cookie: b=2\r\n")),
      &certificates());
  InetReply reply;
  EXPECT_EQ(fetch(server.url("/"), CharsetMode::Auto, &reply), "gone");
  EXPECT_EQ(reply.receivedCookies, "a=1;b=2;");
  EXPECT_EQ(reply.body, "gone");
  EXPECT_TRUE(reply.headers.starts_with("HTTP/1.1 404 ")) << reply.headers;
}

TEST_F(SecureRoadTest, RedirectsStaySecure) {
  TestServer plain(answer(httpResponse(200, "downgraded")));
  TestServer server(
      [&](const std::string& request) -> std::optional<std::string> {
        if (request.starts_with("GET /up ")) return httpResponse(302, "", "Location: /end\r\n");
        if (request.starts_with("GET /down "))
          return httpResponse(302, "", "Location: " + plain.url("/") + "\r\n");
        return httpResponse(200, "secure end");
      },
      &certificates());
  EXPECT_EQ(fetch(server.url("/up")), "secure end");
  EXPECT_EQ(fetch(server.url("/down")), "");
  EXPECT_TRUE(plain.requests().empty());
}

TEST_F(SecureRoadTest, TimeLimitAbandonsTheTransfer) {
  TestServer server([](const std::string&) { return std::nullopt; }, &certificates());
  std::string url = server.url("/");
  CharsetMode mode = CharsetMode::Auto;
  InetOptions options;
  options.timeLimit = 300ms;
  InetReply reply;
  EXPECT_EQ(client_.fetchInet(url, mode, options, &reply), "");
  EXPECT_EQ(reply.body, "");
  EXPECT_EQ(server.requests().size(), 1u);
}

}  // namespace
}  // namespace keelnode
