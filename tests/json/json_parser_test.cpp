#include "json/json_parser.h"

#include <gtest/gtest.h>

#include "json/text_preparation.h"

namespace keelnode {
namespace {

std::vector<Member> Members(std::string_view text) {
  JsonParser parser;
  std::vector<Member> members;
  parser.splitMembers(text, true, &members);
  return members;
}

std::vector<std::string> Items(std::string_view text) {
  JsonParser parser;
  std::vector<std::string> items;
  parser.splitItems(text, true, &items);
  return items;
}

TEST(JsonParserTest, SkipsTextAroundTheObject) {
  EXPECT_EQ(Members("callback({\"a\":1});"), (std::vector<Member>{{"a", "1"}}));
}

TEST(JsonParserTest, AcceptsUnquotedNamesAndUncheckedScalars) {
  EXPECT_EQ(Members("{a : 'x'}"), (std::vector<Member>{{"a", "'x'"}}));
  EXPECT_EQ(Members("{n: 1e5x, t:true}"), (std::vector<Member>{{"n", "1e5x"}, {"t", "true"}}));
}

TEST(JsonParserTest, TrailingCommasAndEmptyContainers) {
  EXPECT_EQ(Members("{\"a\":1,}"), (std::vector<Member>{{"a", "1"}}));
  EXPECT_EQ(Items("[1,2,]"), (std::vector<std::string>{"1", "2", ""}));
  EXPECT_TRUE(Items("[]").empty());
  EXPECT_TRUE(Members("{}").empty());
  EXPECT_EQ(Items("[,]"), (std::vector<std::string>{"", ""}));
}

TEST(JsonParserTest, DelimitersInsideStringsAreMasked) {
  EXPECT_EQ(Members("{\"k\":\"a, b\"}"), (std::vector<Member>{{"k", "\"a, b\""}}));
  EXPECT_EQ(Members("{\"k\":\"}{][\",\"j\":2}"),
            (std::vector<Member>{{"k", "\"}{][\""}, {"j", "2"}}));
  EXPECT_EQ(Items("[\"a,b\",\"[\"]"), (std::vector<std::string>{"\"a,b\"", "\"[\""}));
}

TEST(JsonParserTest, EscapedQuotesTravelAsPlaceholders) {
  EXPECT_EQ(Members(R"({"k":"x\"y"})"), (std::vector<Member>{{"k", "\"x#SYH#y\""}}));
  EXPECT_EQ(JsonParser::restoreEscapedQuotes("\"x#SYH#y\""), R"("x\"y")");
}

TEST(JsonParserTest, CompactionTrimsStringEdges) {
  EXPECT_EQ(Members("{\"k\": \"  v  \"}"), (std::vector<Member>{{"k", "\"v\""}}));
}

TEST(JsonParserTest, NestedValuesComeBackAsRawText) {
  EXPECT_EQ(Members(R"({"a":{"b":[1,{"c":2}]},"d":3})"),
            (std::vector<Member>{{"a", R"({"b":[1,{"c":2}]})"}, {"d", "3"}}));
  EXPECT_EQ(Items(R"([[1,2],{"x":[3,4]},5])"),
            (std::vector<std::string>{"[1,2]", R"({"x":[3,4]})", "5"}));
}

TEST(JsonParserTest, ParseLevelPicksTheFirstBracket) {
  JsonParser parser;
  std::vector<Member> members;
  std::vector<std::string> items;
  int kind = -1;
  EXPECT_EQ(parser.parseLevel("true", &members, &items, &kind), 1);
  EXPECT_EQ(kind, 2);
  EXPECT_EQ(items, (std::vector<std::string>{"true"}));
  kind = -1;
  EXPECT_EQ(parser.parseLevel("", &members, &items, &kind), 0);
  EXPECT_EQ(kind, 2);
  kind = -1;
  EXPECT_EQ(parser.parseLevel("x [1] {\"a\":2}", &members, &items, &kind), 1);
  EXPECT_EQ(kind, 2);
  EXPECT_EQ(parser.parseLevel("x {\"a\":2} [1]", &members, &items, &kind), 1);
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(members[0].name, "a");
}

TEST(JsonParserTest, MalformedMembersEndTheList) {
  // A name without a colon ends the list; the members before it stay.
  EXPECT_EQ(Members("{\"a\":1,\"b\"}"), (std::vector<Member>{{"a", "1"}}));
  // A value whose bracket never closes ends the list too.
  EXPECT_EQ(Members("{\"a\":1,\"b\":[2,3"), (std::vector<Member>{{"a", "1"}}));
  EXPECT_TRUE(Members("no braces").empty());
}

TEST(JsonParserTest, ValueKindLooksAtTheFirstByte) {
  EXPECT_EQ(JsonParser::valueKind("[1]"), 2);
  EXPECT_EQ(JsonParser::valueKind("{}"), 1);
  EXPECT_EQ(JsonParser::valueKind(" {}"), 0);
  EXPECT_EQ(JsonParser::valueKind(""), 0);
}

TEST(JsonParserTest, ScannersReportOneBasedPositions) {
  JsonParser parser;
  parser.load("{\"ab\":12}");
  int pos = 0;
  EXPECT_EQ(parser.scanMemberName(1, &pos), "ab");
  EXPECT_EQ(pos, 6);
  EXPECT_EQ(parser.scanMemberValue(6, &pos), "12");
  EXPECT_EQ(pos, 9);
  EXPECT_TRUE(parser.isBalanced(1, 9));
  EXPECT_FALSE(parser.isBalanced(0, 9) && parser.isBalanced(-1, 9));
  EXPECT_EQ(parser.extract(1, 9, true), "{\"ab\":12}");
  EXPECT_EQ(parser.extract(6, 9, false), "12");
  EXPECT_EQ(parser.scanMemberName(9, &pos), "超出");
  EXPECT_EQ(pos, -1);
}

TEST(JsonParserTest, SecondBytesOfCharactersAreNeverDelimiters) {
  // GBK characters whose second byte is "\" (0x5C), "{" (0x7B), "]" (0x5D).
  const std::string backslash = "\x81\x5C";
  const std::string brace = "\x81\x7B";
  const std::string bracket = "\x81\x5D";
  EXPECT_EQ(Members("{\"k\":\"" + backslash + "\",\"j\":1}"),
            (std::vector<Member>{{"k", "\"" + backslash + "\""}, {"j", "1"}}));
  EXPECT_EQ(Members("{" + brace + ":1," + bracket + "x:2}"),
            (std::vector<Member>{{brace, "1"}, {bracket + "x", "2"}}));
  EXPECT_EQ(Items("[" + brace + "," + bracket + "]"), (std::vector<std::string>{brace, bracket}));
}

}  // namespace
}  // namespace keelnode

namespace keelnode {
namespace {

// The parser's text operations are the free functions behind a member call;
// nothing in the program calls them through the parser, so this is what
// keeps the two from drifting apart.
TEST(JsonParserAdapterTest, TextOperationsAreTheFreeFunctions) {
  const JsonParser parser;
  for (std::string_view text :
       {std::string_view(" \"na\\\"me\" "), std::string_view("\r\n  'x' \t"),
        std::string_view("{ \"u\" : \"https://a.cn/?q=1&x=2\" , \"h\" : [ \"<b>\\u4e2d</b>\" ] }"),
        std::string_view("\\\\\\\"a\\\"\\\\"), std::string_view("")}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(parser.cleanName(text), CleanName(text));
    EXPECT_EQ(parser.trimValue(text), TrimValue(text));
    EXPECT_EQ(parser.compactWhitespace(text), CompactWhitespace(text));
    std::string protectedByParser(text);
    std::string protectedDirectly(text);
    parser.protectEscapedQuotes(protectedByParser);
    ProtectEscapedQuotes(protectedDirectly);
    EXPECT_EQ(protectedByParser, protectedDirectly);
    EXPECT_EQ(JsonParser::restoreEscapedQuotes(protectedDirectly),
              RestoreEscapedQuotes(protectedDirectly));
  }
  // Blanks and the quotes around it go; the escape inside stays.
  EXPECT_EQ(parser.cleanName(" \"na\\\"me\" "), "na\\\"me");
}

TEST(JsonParserAdapterTest, TheMaskedBufferBlanksStringsAndMarksWideCharacters) {
  JsonParser parser;
  EXPECT_EQ(parser.maskedBuffer(), "");
  // A string's contents blanked; an unquoted name's wide character marked.
  const std::string text = "{\"k\":\"a,]\",\xD6\xD0:1}";
  parser.load(text);
  const std::string_view masked = parser.maskedBuffer();
  ASSERT_EQ(masked.size(), parser.textBuffer().size());
  EXPECT_EQ(masked.substr(0, 11), "{\" \":\"   \",");
  EXPECT_EQ(masked[11], PreparedText::kLeadMark);
  EXPECT_EQ(masked[12], PreparedText::kTrailMark);
  EXPECT_EQ(masked.substr(13), ":1}");
  EXPECT_EQ(masked.find(']'), std::string_view::npos);
}

}  // namespace
}  // namespace keelnode
