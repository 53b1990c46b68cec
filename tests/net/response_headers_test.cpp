#include "net/response_headers.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

TEST(ResponseHeadersTest, Utf8DeclarationInAnyQuotingAndCase) {
  EXPECT_TRUE(headerSaysUtf8("HTTP/1.1 200 OK\r\nContent-Type: text/html; Charset=UTF-8\r\n"));
  EXPECT_TRUE(headerSaysUtf8("Content-Type: text/html; charset=\"utf-8\"\r\n"));
  EXPECT_TRUE(headerSaysUtf8("Content-Type: text/html; charset='utf-8'\r\n"));
  EXPECT_FALSE(headerSaysUtf8("Content-Type: text/html; charset=gbk\r\n"));
  EXPECT_FALSE(headerSaysUtf8("Content-Type: text/html; charset = utf-8\r\n"));
  EXPECT_FALSE(headerSaysUtf8(""));
}

TEST(ResponseHeadersTest, CookiePairsFromSetCookieLinesOnly) {
  const std::string headers =
      "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; Path=/; HttpOnly\r\nset-cookie:b=2\r\n"
      "X-Note: Set-Cookie: c=3\r\nSet-Cookie: \r\nSet-Cookie: d=4 ;x\r\n\r\n";
  EXPECT_EQ(cookiePairs(headers), (std::vector<std::string>{"a=1", "b=2", "d=4"}));
}

TEST(ResponseHeadersTest, DeclaredCharsetOfTheContentType) {
  EXPECT_EQ(declaredCharset("Content-Type: text/plain; charset=Big5\r\n"), "Big5");
  EXPECT_EQ(declaredCharset("content-type: text/plain;CHARSET=\"gbk\" ; x=y\r\n"), "gbk");
  EXPECT_EQ(declaredCharset("Content-Type: text/plain\r\nX: charset=big5\r\n"), "");
  EXPECT_EQ(declaredCharset("Content-Type: text/plain; charset=../../etc\r\n"), "");
}

}  // namespace
}  // namespace keelnode
