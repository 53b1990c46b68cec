#include <gtest/gtest.h>

#include "json/json_parser.h"

namespace keelnode {
namespace {

TEST(JsonPathTest, NormalisingBetweenForms) {
  JsonParser parser;
  EXPECT_EQ(parser.normalisePath("a[0].b", 1), "a.[0].b");
  EXPECT_EQ(parser.normalisePath("a.[0].[1]", 0), "a[0][1]");
  // Matches do not overlap: the second index of nested arrays gets no dot.
  EXPECT_EQ(parser.normalisePath("a[0][1]", 1), "a.[0][1]");
  EXPECT_EQ(parser.normalisePath("m[2]", 1), "m.[2]");
  EXPECT_EQ(parser.normalisePath("data.[12].name", 0), "data[12].name");
  EXPECT_EQ(parser.normalisePath("a.[x].b", 0), "a.[x].b");
  EXPECT_EQ(parser.normalisePath("[0]", 1), "[0]");
  EXPECT_EQ(parser.normalisePath("\xD6\xD0[3]", 1), "\xD6\xD0.[3]");
  EXPECT_EQ(parser.normalisePath("a[0]", 2), "");
}

TEST(JsonPathTest, SplittingKeepsQuotedDots) {
  JsonParser parser;
  EXPECT_EQ(parser.splitPath("x.\"a.b\""), 2);
  EXPECT_EQ(parser.pathSegments(), (std::vector<std::string>{"x", "a.b"}));
  EXPECT_EQ(parser.splitPath("x.''a.b''.c"), 3);
  EXPECT_EQ(parser.pathSegments(), (std::vector<std::string>{"x", "a.b", "c"}));
  EXPECT_EQ(parser.splitPath("data.[0].name"), 3);
  EXPECT_EQ(parser.pathSegments()[1], "[0]");
  // An unclosed quote on the last pass adds nothing.
  EXPECT_EQ(parser.splitPath("a.\"b.c"), 1);
  EXPECT_EQ(parser.splitPath(""), 1);
  EXPECT_EQ(parser.pathSegments(), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace keelnode
