// The entry point of the paste action and the command line.
#include "net/fetch_address.h"

#include <gtest/gtest.h>

#include <chrono>

#include "services/code_page.h"
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

// The fetched text, or why there is none, so that one comparison shows both.
std::string fetched(std::string_view address, const FetchSettings& settings = shortLimits()) {
  FetchResult result = fetchAddress(address, CharsetMode::Auto, settings);
  if (result) return std::move(result).value();
  return "<" + std::string(fetchFailureText(result.error())) + ">";
}

TEST(FetchAddressTest, RoadFromTheFirstCharacters) {
  EXPECT_EQ(roadFor("http://a"), FetchRoad::kPlain);
  EXPECT_EQ(roadFor("HTTP://a"), FetchRoad::kPlain);
  EXPECT_EQ(roadFor("hTTps://a"), FetchRoad::kSecure);
  EXPECT_EQ(roadFor(" http://a"), FetchRoad::kNone);
  EXPECT_EQ(roadFor("ftp://a"), FetchRoad::kNone);
  EXPECT_EQ(roadFor("http:/a"), FetchRoad::kNone);
  EXPECT_EQ(fetched("{\"a\":1}"), "<not an http:// or https:// address>");
}

TEST(FetchAddressTest, TakesThePlainRoad) {
  TestServer server(answer(httpResponse(200, "{\"名\":1}")));
  EXPECT_EQ(fetched(server.url("/x")), gb("{\"名\":1}"));
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].find("\r\nContent-Type: "), std::string::npos);
}

TEST(FetchAddressTest, TakesTheSecureRoad) {
  const TestCertificates certificates;
  TestServer server(answer(httpResponse(200, "{}")), &certificates);
  FetchSettings settings = shortLimits();
  settings.transfer.caFile = certificates.caFile();
  EXPECT_EQ(fetched(server.url("/x#f"), settings), "{}");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].find("\r\nAccept-Language: zh-cn\r\n"), std::string::npos);
}

TEST(FetchAddressTest, BodiesBeyondTheCapFail) {
  FetchSettings settings = shortLimits();
  settings.transfer.maxBodyBytes = 1000;
  for (bool chunked : {false, true}) {
    TestServer fits(sized(1000, chunked));
    EXPECT_EQ(fetched(fits.url("/"), settings), std::string(1000, 'x'));
    TestServer tooLarge(sized(200000, chunked));
    EXPECT_EQ(fetched(tooLarge.url("/"), settings), "<the document is too large>") << chunked;
  }
}

TEST(FetchAddressTest, AGzipBodyIsBoundByWhatItInflatesTo) {
  const std::string document = "{\"url\":\"https://x.cn/?a=1&b=2\",\"名\":\"<b>值</b>\"}";
  const std::string bomb = nettest::gzipped(std::string(4 << 20, ' ') + document);
  TestServer server(answer(httpResponse(200, bomb, "Content-Encoding: gzip\r\n")));
  FetchSettings settings = shortLimits();
  EXPECT_EQ(fetched(server.url("/"), settings), std::string(4 << 20, ' ') + gb(document));
  // Past the limit it is refused, not shown as compressed bytes.
  settings.transfer.maxTextBytes = 1 << 20;
  EXPECT_EQ(fetched(server.url("/"), settings), "<the document is too large>");
  // A corrupt stream is shown as the bytes it is.
  const std::string broken = bomb.substr(0, 40);
  TestServer corrupt(answer(httpResponse(200, broken)));
  EXPECT_EQ(fetched(corrupt.url("/"), settings), std::string(CutAtZero(broken)));
}

TEST(FetchAddressTest, SaysWhyAFetchFailed) {
  const nettest::RefusingPort refusing;
  EXPECT_EQ(fetched("http://127.0.0.1:" + std::to_string(refusing.port()) + "/"),
            "<the host cannot be reached>");
  TestServer silent([](const std::string&) { return std::nullopt; });
  FetchSettings quick = shortLimits();
  quick.plain.receive = 300ms;
  EXPECT_EQ(fetched(silent.url("/"), quick), "<timed out>");
  // A certificate nobody trusts.
  const TestCertificates certificates;
  const TestCertificates other;
  TestServer secure(answer(httpResponse(200, "{}")), &certificates);
  FetchSettings untrusted = shortLimits();
  untrusted.transfer.caFile = other.caFile();
  EXPECT_EQ(fetched(secure.url("/"), untrusted), "<the secure connection failed>");
}

}  // namespace
}  // namespace keelnode
