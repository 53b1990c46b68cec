#include <gtest/gtest.h>

#include "json/json_parser.h"
#include "services/regex_service.h"

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

TEST(JsonPathTest, NormalisingMatchesThePathPatterns) {
  RegexService to_compact;
  to_compact.Compile("\\.(\\[\\d+\\])");
  RegexService to_internal;
  to_internal.Compile("([^\\.])(\\[\\d+\\])(\\.?)");
  JsonParser parser;
  const char* const pieces[] = {".",        "[",     "]",  "0",  "12", "a",
                                "\xD6\xD0", "\x81[", "\n", "\"", "x"};
  uint64_t state = 7;
  for (int i = 0; i < 5000; ++i) {
    std::string path;
    for (int k = 0; k < 1 + i % 14; ++k) {
      state = state * 6364136223846793005u + 1442695040888963407u;
      path += pieces[(state >> 33) % (sizeof pieces / sizeof pieces[0])];
    }
    ASSERT_EQ(parser.normalisePath(path, 0), to_compact.Replace(path, "$1")) << path;
    ASSERT_EQ(parser.normalisePath(path, 1), to_internal.Replace(path, "$1.$2$3")) << path;
  }
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

namespace keelnode {
namespace {

TEST(JsonPathShapesTest, AQuotedNameKeepsItsManyDots) {
  std::string name;
  for (int i = 0; i < 50000; ++i)
    name += "a.";
  name += "b";
  // Closed: one segment for the whole name; left open: the name is no
  // segment at all.
  EXPECT_TRUE(JsonParser::PathSegments("x.\"" + name + "\"") ==
              (std::vector<std::string>{"x", name}));
  EXPECT_TRUE(JsonParser::PathSegments("x.\"" + name) == std::vector<std::string>{"x"});
}

}  // namespace
}  // namespace keelnode
