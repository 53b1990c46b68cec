#include "net/header_list.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

using Lines = std::vector<std::string>;

TEST(HeaderListTest, KeepsOrderAndReplacesByNameInPlace) {
  HeaderList headers;
  headers.set("Referer", "http://a/");
  headers.set("User-Agent", "one");
  headers.set("user-agent", "two");
  headers.set("Cookie", "");
  EXPECT_TRUE(headers.has("REFERER"));
  EXPECT_FALSE(headers.has("Accept"));
  EXPECT_EQ(headers.curlLines({"Accept", "Cookie"}),
            (Lines{"Referer: http://a/", "User-Agent: two", "Cookie;", "Accept:"}));
}

TEST(HeaderListTest, ReadsLinesAndRefusesWhatWouldBreakTheRequest) {
  HeaderList headers;
  headers.addLines("A: 1\r\nbad line\r\nB: \r\n: x\r\nC: 3: 4\r\nD: 5\nE: 6");
  headers.set("F", "x\ry");
  headers.set("G H", "x");
  EXPECT_EQ(headers.curlLines({}), (Lines{"A: 1", "C: 3: 4"}));
}

}  // namespace
}  // namespace keelnode
