// The entry point of the paste action and the command line.
#include "net/fetch_address.h"

#include <gtest/gtest.h>

#include <chrono>

#include "test_bytes.h"
#include "test_server.h"

namespace keelnode {
namespace {

using namespace std::chrono_literals;
using nettest::answer;
using nettest::gb;
using nettest::httpResponse;
using nettest::TestCertificates;
using nettest::TestServer;

FetchSettings shortLimits() {
  FetchSettings settings;
  settings.plain = PlainTimeouts{1000ms, 1000ms, 1000ms, 3000ms};
  settings.secure = 3000ms;
  return settings;
}

// A server that sends `size` bytes, with or without a Content-Length.
TestServer::Handler sized(size_t size, bool chunked) {
  return [size, chunked](const std::string&) -> std::optional<std::string> {
    const std::string body(size, 'x');
    if (!chunked) return httpResponse(200, body);
    char length[32];
    std::snprintf(length, sizeof length, "%zx", body.size());
    return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" +
           std::string(length) + "\r\n" + body + "\r\n0\r\n\r\n";
  };
}

TEST(FetchAddressTest, RoadFromTheFirstCharacters) {
  EXPECT_EQ(roadFor("http://a"), FetchRoad::kPlain);
  EXPECT_EQ(roadFor("HTTP://a"), FetchRoad::kPlain);
  EXPECT_EQ(roadFor("hTTps://a"), FetchRoad::kSecure);
  EXPECT_EQ(roadFor(" http://a"), FetchRoad::kNone);
  EXPECT_EQ(roadFor("ftp://a"), FetchRoad::kNone);
  EXPECT_EQ(roadFor("http:/a"), FetchRoad::kNone);
  EXPECT_EQ(fetchAddress("{\"a\":1}", CharsetMode::Auto), "");
}

TEST(FetchAddressTest, TakesThePlainRoad) {
  TestServer server(answer(httpResponse(200, "{\"名\":1}")));
  EXPECT_EQ(fetchAddress(server.url("/x"), CharsetMode::Auto, shortLimits()), gb("{\"名\":1}"));
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].find("\r\nContent-Type: "), std::string::npos);
}

TEST(FetchAddressTest, TakesTheSecureRoad) {
  const TestCertificates certificates;
  TestServer server(answer(httpResponse(200, "{}")), &certificates);
  FetchSettings settings = shortLimits();
  settings.transfer.caFile = certificates.caFile();
  EXPECT_EQ(fetchAddress(server.url("/x#f"), CharsetMode::Auto, settings), "{}");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].find("\r\nAccept-Language: zh-cn\r\n"), std::string::npos);
}

TEST(FetchAddressTest, BodiesBeyondTheCapFail) {
  FetchSettings settings = shortLimits();
  settings.transfer.maxBodyBytes = 1000;
  for (bool chunked : {false, true}) {
    TestServer fits(sized(1000, chunked));
    EXPECT_EQ(fetchAddress(fits.url("/"), CharsetMode::Auto, settings), std::string(1000, 'x'));
    TestServer tooLarge(sized(200000, chunked));
    EXPECT_EQ(fetchAddress(tooLarge.url("/"), CharsetMode::Auto, settings), "") << chunked;
  }
}

}  // namespace
}  // namespace keelnode
